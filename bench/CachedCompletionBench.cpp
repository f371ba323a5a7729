// The completion popup with a large catalogue already in its cache: 10,000
// tables of 20 columns each. Measured on the UI thread, from the key press
// until the list is filled and painted:
//   - Shift+Space: the table list;
//   - the suggestions that open by themselves where a table goes ("FROM ta"),
//     after an alias's dot, and in an expression of a two-table statement;
//   - a typed character in a 20,000-line script with suggestions open.
// Baselines of the same run: a plain QListView given the same 10,000 names
// in a QStringListModel and painted; the same key typed where no suggestion
// follows it. The target for a filled popup is 50 ms.
//
//   bench_completion_cached [runs]
#include "BenchTiming.h"
#include "assist/CatalogCache.h"
#include "BenchDocument.h"
#include "assist/CodeAssist.h"
#include "assist/CompletionList.h"
#include "assist/KeywordLanguage.h"
#include "catalog/ObjectBrowser.h"
#include "common/DocumentContext.h"
#include "db/Connection.h"
#include "db/ProcessLocale.h"
#include "document/QueryDocument.h"
#include "settings/AppPaths.h"
#include "store/HomeSeeding.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kTables = 10000;
constexpr int kColumns = 20;

QString tableName(int i) {
    return QStringLiteral("table_%1").arg(i, 5, 10, QLatin1Char('0'));
}

CatalogCache::Readers fakeCatalogue() {
    CatalogCache::Readers r;
    r.tables = [](const QString&) -> Result<CatalogCache::Tables> {
        CatalogCache::Tables t;
        t.dialect = SqlDialect::forServer(db::ServerFamily::PostgreSQL, QStringLiteral("\""));
        t.schemas = QStringList{QStringLiteral("public")};
        for (int i = 0; i < kTables; ++i)
            t.tables.push_back({QStringLiteral("public"), tableName(i), assist::Kind::Table, true});
        t.sortByText(); // as the catalogue reader does
        return t;
    };
    r.tablesIn = [](const QString&, const QString&) -> Result<CatalogCache::TableList> { return CatalogCache::TableList{}; };
    r.columns = [](const QString&, const QString&, const QString&, const QString& table) -> Result<QStringList> {
        QStringList c;
        for (int i = 0; i < kColumns; ++i)
            c << QStringLiteral("%1_column_%2").arg(table.right(5)).arg(i);
        return c;
    };
    return r;
}

void line(const char* label, double value, const char* against, double baseline) {
    std::printf("%-52s %8.2f ms  vs %-22s %8.2f ms   ratio %.2fx\n", label, value, against, baseline, value / baseline);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    db::useUtf8Ctype();
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 9;
    QTemporaryDir home;
    AppPaths::set(home.path());
    store::ensureSeeded();
    const QString cs = QStringLiteral("Provider=SQLite;Data Source=") + home.filePath(QStringLiteral("b.db"));
    db::Connection::open(cs, {15, true});

    QueryDocument d;
    if (!openBenchDocument(d, cs)) return 1;
    CompletionPopup* popup = d.parts().assist->popup();
    CatalogCache* cache = popup->cache();
    cache->setReaders(fakeCatalogue());
    // every table and every table's columns in the cache, read from the database the document uses
    if (!QTest::qWaitFor([&] { return !d.parts().objects->isBusy(); }, 10000)) return 1;
    const QString database = d.context().database();
    int answered = 0;
    cache->requestTables(cs, [&](const auto&) { ++answered; });
    if (!QTest::qWaitFor([&] { return answered == 1; }, 30000)) return 1;
    for (int i = 0; i < kTables; i += 200) {
        const int batch = std::min(200, kTables - i);
        answered = 0;
        for (int k = i; k < i + batch; ++k)
            cache->requestColumns(cs, {database, QString(), tableName(k)}, [&](const auto&) { ++answered; });
        if (!QTest::qWaitFor([&] { return answered == batch; }, 30000)) return 1;
    }

    // baseline: any list of the same names, filled and painted
    QStringList names;
    for (int i = 0; i < kTables; ++i)
        names << tableName(i);
    std::vector<double> plain;
    QListView view;
    view.resize(330, 250);
    view.setUniformItemSizes(true);
    view.show();
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        auto* model = new QStringListModel(names, &view);
        view.setModel(model);
        view.setCurrentIndex(model->index(0));
        view.repaint();
        plain.push_back(ms(t));
    }
    const double base = median(plain);
    view.hide();
    QApplication::setActiveWindow(&d);
    if (!QTest::qWaitForWindowActive(&d)) return 1;

    SqlEditor* editor = d.editor();
    auto measure = [&](const QString& script, const std::function<void()>& press, CompletionPopup::List list) {
        std::vector<double> times;
        for (int r = 0; r < runs; ++r) {
            editor->setText(script);
            editor->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
            editor->setFocus();
            QTest::qWait(1);
            QElapsedTimer t;
            t.start();
            press();
            popup->repaint();
            times.push_back(ms(t));
            CompletionList* shown = popup->list(list);
            if (!popup->isOpen() || popup->currentList() != list || shown->isPlaceholder()) {
                std::fprintf(stderr, "the list was not filled at once: %s (open %d, list %d, text %s, focus %d)\n",
                             qPrintable(script), popup->isOpen(), int(popup->currentList()),
                             qPrintable(shown->textAt(0)), editor->hasFocus());
                std::exit(1);
            }
            popup->dismiss();
        }
        return median(times);
    };
    const double tables = measure(QStringLiteral("SELECT * FROM "),
                                  [&] { QTest::keyClick(editor, Qt::Key_Space, Qt::ShiftModifier); }, CompletionPopup::Tables);
    const double fromTyped = measure(QStringLiteral("SELECT * FROM t"), [&] { QTest::keyClick(editor, Qt::Key_A); },
                                     CompletionPopup::Suggestions);
    const double dot = measure(QStringLiteral("SELECT * FROM table_04711 t WHERE t"),
                               [&] { QTest::keyClick(editor, Qt::Key_Period); }, CompletionPopup::Suggestions);
    const double expression = measure(QStringLiteral("SELECT * FROM table_00001 a JOIN table_09999 b ON b.x = a.x WHERE t"),
                                      [&] { QTest::keyClick(editor, Qt::Key_A); }, CompletionPopup::Suggestions);

    // a character typed at the end of a 20,000-line script, suggestions following
    QString big;
    for (int i = 0; big.count(QLatin1Char('\n')) < 20000; ++i)
        big += QStringLiteral("SELECT a.id, b.note FROM table_%1 a JOIN table_00002 b ON b.id = a.id\nWHERE a.id > %2;\n")
                   .arg(i % kTables, 5, 10, QLatin1Char('0'))
                   .arg(i);
    // the key typed where suggestions follow it, and where none does (a comment)
    auto keyIn = [&](const QString& tail) {
        editor->setText(big + tail);
        editor->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
        editor->setFocus();
        QTest::qWait(650); // the pause after which the rest of the script is indexed
        std::vector<double> times;
        for (int r = 0; r < runs; ++r) {
            QElapsedTimer t;
            t.start();
            QTest::keyClick(editor, Qt::Key_1);
            editor->repaint();
            popup->repaint();
            times.push_back(ms(t));
            QTest::keyClick(editor, Qt::Key_Backspace);
            QTest::qWait(5);
        }
        return median(times);
    };
    const double keyWithSuggestions = keyIn(QStringLiteral("SELECT * FROM table_00003 x WHERE x.00003_column_"));
    const double keyAlone = keyIn(QStringLiteral("-- a note "));

    std::printf("== completion popup, %d tables x %d columns cached, median of %d runs ==\n", kTables, kColumns, runs);
    line("a plain list of 10,000 names, filled (baseline)", base, "", base);
    line("Shift+Space: the table list filled", tables, "plain list", base);
    line("typed \"FROM ta\": suggestions filled", fromTyped, "plain list", base);
    line("typed \"t.\": the alias's columns filled", dot, "plain list", base);
    line("typed \"WHERE ta\": two tables' columns, functions, ...", expression, "plain list", base);
    line("a key in a 20,000-line script, suggestions open", keyWithSuggestions, "the key, none open", keyAlone);
    line("  target for a filled popup", std::max({tables, fromTyped, dot, expression}), "target", 50);
    return 0;
}
