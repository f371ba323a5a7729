// The completion popup on a database with many tables: how long the UI
// thread takes to open the table list (Shift+Space), cold and from the
// catalogue cache, how long until a cold list is filled, typing in the
// list, and the longest stall of the UI thread while the catalogue is read.
// The baseline of this run is the schema reader's own read of the same
// names (what any table list has to wait for once); the target for an
// opening is 100 ms.
//
//   bench_completion "<connection string>" [runs]
#include "BenchTiming.h"
#include "assist/CatalogCache.h"
#include "assist/CodeAssist.h"
#include "assist/CompletionList.h"
#include "assist/KeywordLanguage.h"
#include "catalog/SchemaReader.h"
#include "BenchDocument.h"
#include "db/ProcessLocale.h"
#include "document/QueryDocument.h"
#include "settings/AppPaths.h"
#include "store/HomeSeeding.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void line(const char* label, double value, const char* against, double baseline) {
    std::printf("%-44s %9.1f ms  vs %-24s %9.1f ms   ratio %.2fx\n", label, value, against, baseline,
                value / baseline);
}

bool filled(CompletionPopup* p) {
    CompletionList* l = p->list(CompletionPopup::Tables);
    return !l->isPlaceholder();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    db::useUtf8Ctype();
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CONNECTION_STRING [runs]\n", argv[0]);
        return 2;
    }
    const QString cs = QString::fromLocal8Bit(argv[1]);
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
    QTemporaryDir home;
    AppPaths::set(home.path());
    store::ensureSeeded();

    // baseline: the schema reader's read of the names, as the cache does it
    std::vector<double> reads;
    qsizetype names = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        const auto user = catalog::getTableList(cs);
        const auto system = catalog::getSystemTableList(cs);
        reads.push_back(ms(t));
        if (!user || !system) {
            std::fprintf(stderr, "cannot read the tables: %s\n",
                         qPrintable(user ? system.error() : user.error()));
            return 1;
        }
        names = user->size() + system->size();
    }
    const double read = *std::min_element(reads.begin(), reads.end());

    QueryDocument d;
    if (!openBenchDocument(d, cs)) return 1;
    CompletionPopup* popup = d.parts().assist->popup();
    d.editor()->setFocus();
    d.editor()->setText(QStringLiteral("SELECT * FROM "));
    d.editor()->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);

    std::vector<double> coldOpen, coldFill, warmOpen, typing, stalls;
    for (int i = 0; i < runs; ++i) {
        popup->cache()->refresh();
        // the UI thread's ticks while the catalogue is read on a worker
        QElapsedTimer tick;
        double longest = 0;
        QTimer ticker;
        ticker.setInterval(2);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longest = std::max(longest, ms(tick));
            tick.restart();
        });
        QElapsedTimer t;
        t.start();
        QTest::keyClick(d.editor(), Qt::Key_Space, Qt::ShiftModifier);
        popup->repaint();
        coldOpen.push_back(ms(t));
        tick.start();
        ticker.start();
        if (!QTest::qWaitFor([&] { return filled(popup); }, 60000)) {
            std::fprintf(stderr, "the table list was not filled\n");
            return 1;
        }
        popup->repaint();
        coldFill.push_back(ms(t));
        ticker.stop();
        stalls.push_back(longest);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);

        t.restart();
        QTest::keyClick(d.editor(), Qt::Key_Space, Qt::ShiftModifier);
        popup->repaint();
        warmOpen.push_back(ms(t));
        if (!filled(popup)) std::fprintf(stderr, "the cached list was not shown at once\n");
        // locate as you type through all the names
        t.restart();
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("zzz"));
        popup->repaint();
        typing.push_back(ms(t) / 3);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        d.editor()->setText(QStringLiteral("SELECT * FROM "));
        d.editor()->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    }

    std::printf("== completion popup, %lld table names, median of %d runs ==\n",
                static_cast<long long>(names), runs);
    line("catalogue read (schema reader, baseline)", read, "", read);
    line("Shift+Space: popup open, cold (UI thread)", median(coldOpen), "target", 100);
    line("Shift+Space: list filled, cold", median(coldFill), "catalogue read", read);
    line("longest UI stall during the cold read", median(stalls), "target", 100);
    line("Shift+Space: popup open and filled, cached", median(warmOpen), "target", 100);
    line("a typed character, located in the list", median(typing), "target", 100);
    return 0;
}
