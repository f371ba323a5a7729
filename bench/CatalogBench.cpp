// Opening the "User Tables" folder of a 10,000-table PostgreSQL database in
// the object browser, from the selection to the children laid out and
// painted, next to the bare catalogue read of the same tables through the
// db layer (connect + table listing) as the baseline of this run.
//
//   bench_catalog CONNECTION-STRING [RUNS]
//
// The tables live in a database of their own (created once, then reused),
// so the test database stays small.
#include "catalog/ObjectBrowser.h"
#include "catalog/ObjectTreeModel.h"
#include "common/DocumentContext.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "db/ProcessLocale.h"
#include "settings/AppPaths.h"
#include "store/HomeSeeding.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTreeView>
#include <cstdio>

namespace {

const QString kDatabase = QStringLiteral("sqlqe_bench_catalog");
constexpr int kTables = 10000;

bool waitFor(const std::function<bool()>& done, int ms = 60000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

void ensureTables(const QString& serverCs, const QString& benchCs) {
    auto admin = db::Connection::open(serverCs);
    if (admin->query(QStringLiteral("SELECT 1 FROM pg_database WHERE datname = ?"), {kDatabase}).rows.empty())
        admin->exec(QStringLiteral("CREATE DATABASE ") + kDatabase);
    auto conn = db::Connection::open(benchCs);
    const db::Table have = conn->query(QStringLiteral(
        "SELECT count(*) FROM pg_tables WHERE schemaname = 'public' AND tablename LIKE 'bench%'"));
    if (have.text(0, have.columns.value(0)).toInt() >= kTables) return;
    std::fprintf(stderr, "creating %d tables in %s (once)...\n", kTables, qPrintable(kDatabase));
    // in batches: one transaction would run out of lock slots
    for (int first = 1; first <= kTables; first += 500)
        conn->exec(QStringLiteral(
                       "DO $$ BEGIN FOR i IN %1..%2 LOOP EXECUTE format("
                       "'CREATE TABLE IF NOT EXISTS bench%s (id integer, name text, amount numeric(10,2))', "
                       "lpad(i::text, 5, '0')); END LOOP; END $$")
                       .arg(first)
                       .arg(std::min(kTables, first + 499)));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    db::useUtf8Ctype();
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s POSTGRESQL-CONNECTION-STRING [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
    const QString serverCs = QString::fromLocal8Bit(argv[1]);
    db::ConnectionString parsed(serverCs);
    parsed.set(QStringLiteral("Database"), kDatabase);
    const QString cs = parsed.toString();
    QTemporaryDir home;
    AppPaths::resolve(home.path(), QString());
    store::ensureSeeded();
    ensureTables(serverCs, cs);

    // baseline: connect and list the tables, nothing else
    double baseline = 1e9;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        auto conn = db::Connection::open(cs);
        const db::Table tables = conn->schema(db::Schema::Tables, {kDatabase});
        baseline = std::min(baseline, double(t.nsecsElapsed()) / 1e9);
        if (tables.rows.size() < size_t(kTables))
            std::fprintf(stderr, "only %zu tables listed\n", tables.rows.size());
    }

    QComboBox chooser;
    DocumentContext context;
    ObjectBrowser browser(context, nullptr, &chooser);
    browser.resize(400, 800);
    browser.show();
    context.setConnection(cs);
    double best = 1e9, scroll = 1e9;
    for (int i = 0; i < runs; ++i) {
        browser.addLists();
        if (!waitFor([&] { return !browser.isBusy(); })) return 1;
        const ObjectTreeModel* m = browser.model();
        const int folder = m->findKey(QStringLiteral("CCU|") + kDatabase);
        if (folder < 0) {
            std::fprintf(stderr, "no table folder for %s\n", qPrintable(kDatabase));
            return 1;
        }
        QElapsedTimer t;
        t.start();
        // a click on the folder, then its expansion as soon as the children are in
        const QModelIndex index = m->indexOf(folder);
        browser.tree()->setCurrentIndex(index);
        browser.openNode(folder);
        browser.tree()->expand(index);
        if (!waitFor([&] { return m->childrenOf(folder).size() >= size_t(kTables); })) return 1;
        browser.tree()->viewport()->repaint();
        best = std::min(best, double(t.nsecsElapsed()) / 1e9);
        t.restart();
        browser.tree()->scrollToBottom();
        browser.tree()->viewport()->repaint();
        scroll = std::min(scroll, double(t.nsecsElapsed()) / 1e9);
    }
    std::printf("%-44s %8.3f s  vs %-22s %8.3f s   ratio %.2fx  (%s the 1 s target)\n",
                "object browser: open a 10,000-table folder", best, "connect + list tables", baseline,
                best / baseline, best < 1.0 ? "within" : "MISSES");
    std::printf("%-44s %8.3f s\n", "object browser: scroll to its last table", scroll);
    return best < 1.0 ? 0 : 1;
}
