// prepareScriptText on a 10 MB script, next to a plain linear pass over the
// same text (a case conversion) as the baseline of this machine and run, and
// next to the literal pass-by-pass comment removal on a smaller script.
#include "script/ScriptText.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

// A dump-like script: INSERT rows with a comment on many of them, section
// separators repeated throughout, a few block comments.
QString makeScript(qsizetype bytes) {
    QString s;
    s.reserve(bytes + 1024);
    for (int i = 0; s.size() < bytes; ++i) {
        if (i % 500 == 0) s += QStringLiteral("-- ----------------------------------------\r\n-- Section %1\r\n").arg(i / 500);
        if (i % 1000 == 0) s += QStringLiteral("/* batch %1: customers and their orders */\r\n").arg(i);
        s += QStringLiteral("INSERT INTO orders (id, customer, total, note) VALUES (%1, %2, %3.50, 'n%4');")
                 .arg(i).arg(i % 977).arg(i % 313).arg(i);
        if (i % 3 == 0) s += QStringLiteral(" -- row %1").arg(i);
        s += QStringLiteral("\r\n");
    }
    return s;
}

double seconds(const std::function<void()>& f) {
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e9;
}

QString literalReplaceAll(QString text, const QString& find) {
    qsizetype pos = 0;
    for (qsizetype p; (p = text.indexOf(find, pos)) >= 0; pos = p) text.remove(p, find.size());
    return text;
}

QString literalStripComments(QString t) {
    for (;;) {
        const qsizetype a = t.indexOf(QLatin1String("/*"));
        const qsizetype b = a >= 0 ? t.indexOf(QLatin1String("*/"), a + 1) : -1;
        if (b >= 0) {
            t = literalReplaceAll(t, t.mid(a, b - a + 2));
            continue;
        }
        const qsizetype d = t.indexOf(QLatin1String("--"));
        if (d < 0) return t;
        const qsizetype e = t.indexOf(QLatin1String("\r\n"), d);
        t = literalReplaceAll(t, e >= 0 ? t.mid(d, e - d) : t.mid(d));
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString big = makeScript(10 * 1024 * 1024);
    QString out;
    double best = 1e9, base = 1e9;
    for (int i = 0; i < 3; ++i) {
        best = std::min(best, seconds([&] { out = script::prepareScriptText(big); }));
        base = std::min(base, seconds([&] { out = big.toUpper(); }));
    }
    std::printf("%-44s %8.3f s  vs %-22s %8.3f s   ratio %.2fx\n", "prepareScriptText, 10 MB script", best,
                "one toUpper pass", base, best / base);

    const QString small = makeScript(256 * 1024);
    const double fast = seconds([&] { out = script::stripComments(small); });
    QString literal;
    const double slow = seconds([&] { literal = literalStripComments(small); });
    std::printf("%-44s %8.3f s  vs %-22s %8.3f s   ratio %.3fx%s\n", "stripComments, 256 kB script", fast,
                "pass-by-pass method", slow, fast / slow, literal == out ? "" : "   RESULTS DIFFER");

    // Texts that once made comment removal quadratic: line comments in an
    // LF-only file (each runs to the end), and many long comments that share
    // a long start. Each is timed next to one toUpper pass over itself.
    auto pathological = [&](const char* label, const QString& text) {
        const double t = seconds([&] { out = script::prepareScriptText(text); });
        const double b = seconds([&] { QString u = text.toUpper(); });
        std::printf("%-44s %8.3f s  vs %-22s %8.3f s   ratio %.2fx\n", label, t, "one toUpper pass", b, t / b);
    };
    QString lf;
    for (int i = 0; i < 16000; ++i) lf += QStringLiteral("-- comment line %1\n").arg(i);
    pathological("16,000 LF comment lines after a statement", QStringLiteral("SELECT 1;\n") + lf);
    QString big200;
    const QString longStart = QString(300, QLatin1Char('='));
    for (int i = 0; big200.size() < 100 * 1024 * 1024; ++i)
        big200 += QStringLiteral("-- ") + longStart + QString::number(i) + QStringLiteral("\r\n");
    pathological("200 MB of distinct long CR LF comments", big200);
    QString lf200 = big200;
    lf200.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    pathological("200 MB of LF comments", lf200);
    return literal == out ? 0 : 1;
}
