// Statement bounds of a 20 MB script (the work behind Ctrl+Enter and the
// check before a run), next to one plain pass over the same text: counting
// its ';' characters, and one toUpper pass (the baseline of the other script
// benchmarks). The script mixes what makes splitting work hard: dollar-quoted
// bodies, procedures with BEGIN … END, strings and comments holding ';',
// T-SQL GO lines, and a 2 MB single-line dump.
#include "script/StatementSplitter.h"
#include "script/UnfilteredChanges.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <functional>

namespace {

QString makeScript(qsizetype chars) {
    QString s;
    s.reserve(chars + 4096);
    for (int i = 0; s.size() < chars; ++i) {
        switch (i % 8) {
        case 0:
            s += QStringLiteral(
                     "CREATE FUNCTION f%1(a int) RETURNS int AS $body$\nBEGIN\n  -- add; carefully\n"
                     "  RETURN a + %1; -- it's fine\nEND;\n$body$ LANGUAGE plpgsql;\n")
                     .arg(i);
            break;
        case 1:
            s += QStringLiteral(
                     "CREATE PROCEDURE p%1()\nBEGIN\n  DECLARE n INT DEFAULT 0;\n  IF n > 1 THEN SET n = 1; "
                     "END IF;\n  UPDATE t SET v = CASE WHEN v > 0 THEN v ELSE 0 END WHERE id = %1;\nEND;\n")
                     .arg(i);
            break;
        case 2:
            s += QStringLiteral("SELECT 'a;b -- c', \"x;y\", [z;w] /* one; two */ FROM t WHERE id = %1;\n")
                     .arg(i);
            break;
        case 3:
            s += QStringLiteral("UPDATE orders SET status = 'sent' WHERE id = %1\nGO\n").arg(i);
            break;
        default:
            s += QStringLiteral(
                     "INSERT INTO orders (id, customer, total, note) VALUES (%1, %2, %3.50, 'n;%1');\n")
                     .arg(i)
                     .arg(i % 977)
                     .arg(i % 313);
        }
    }
    QString dump; // one long line, as dumps write them
    for (int i = 0; dump.size() < 2 * 1024 * 1024; ++i)
        dump += QStringLiteral("INSERT INTO d VALUES (%1, 'x');").arg(i);
    return s + dump;
}

double seconds(const std::function<void()>& f) {
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e9;
}

void report(const char* label, double t, const char* baseLabel, double base) {
    std::printf("%-44s %8.3f s  vs %-22s %8.3f s   ratio %.2fx\n", label, t, baseLabel, base, t / base);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString script = makeScript(20 * 1024 * 1024);
    std::vector<script::StatementRange> ranges;
    std::vector<script::UnfilteredChange> changes;
    qsizetype semicolons = 0;
    double split = 1e9, check = 1e9, count = 1e9, upper = 1e9;
    for (int i = 0; i < 3; ++i) {
        split = std::min(split, seconds([&] { ranges = script::splitStatements(script); }));
        check = std::min(check, seconds([&] { changes = script::findUnfilteredChanges(script); }));
        count = std::min(count, seconds([&] { semicolons = script.count(QLatin1Char(';')); }));
        upper = std::min(upper, seconds([&] { QString u = script.toUpper(); }));
    }
    const double at = seconds([&] {
        for (int line = 0; line < 100000; ++line)
            script::statementAt(ranges, {line * 7, 3});
    });
    std::printf("20 MB script: %zu statements, %lld ';' characters, %zu unfiltered changes\n", ranges.size(),
                static_cast<long long>(semicolons), changes.size());
    report("splitStatements, 20 MB script", split, "counting its ';'", count);
    report("splitStatements, 20 MB script", split, "one toUpper pass", upper);
    report("findUnfilteredChanges, 20 MB script", check, "one toUpper pass", upper);
    std::printf("%-44s %8.3f s  (%.2f us each)\n", "statementAt, 100,000 carets", at, at * 10);
    return ranges.empty() ? 1 : 0;
}
