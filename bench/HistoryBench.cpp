// Reading and searching a query history of 5,000 runs, as the History tab
// does it (the store's listing with the scripts cut to their beginnings,
// then the list's model filled), next to a plain SELECT of the same rows
// through the db layer as the baseline of this run.
//
//   bench_history [RUNS]
//
// The target: the list answers within 100 ms, with and without a search.
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "history/HistoryModel.h"
#include "settings/AppPaths.h"
#include "store/HistoryStore.h"
#include "store/HomeSeeding.h"
#include "store/ResourceDb.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

constexpr int kEntries = 5000;
constexpr double kTarget = 0.100;

// Scripts of a few hundred characters, some of several thousand, a few
// holding the searched word.
QString script(int i, QRandomGenerator& random) {
    QString s = QStringLiteral("SELECT o.id, o.placed_at, c.name, sum(l.amount) AS total\r\nFROM orders o\r\n"
                               "JOIN customers c ON c.id = o.customer_id\r\nJOIN lines l ON l.order_id = o.id\r\n"
                               "WHERE o.id > %1\r\nGROUP BY o.id, o.placed_at, c.name\r\n")
                    .arg(i);
    const int padding = random.bounded(20) == 0 ? 4000 : random.bounded(400);
    s += QStringLiteral("-- ") + QString(padding, QLatin1Char('x')) + QStringLiteral("\r\n");
    if (i % 500 == 0) s += QStringLiteral("-- invoice_100%_check\r\n");
    return s;
}

double best(int runs, const std::function<void()>& work) {
    double b = 1e9;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        b = std::min(b, double(t.nsecsElapsed()) / 1e9);
    }
    return b;
}

bool report(const char* what, double ours, double baseline) {
    std::printf("%-44s %8.3f s  vs %-22s %8.3f s   ratio %.2fx  (%s the 0.1 s target)\n", what, ours,
                "plain SELECT, same rows", baseline, ours / baseline, ours < kTarget ? "within" : "MISSES");
    return ours < kTarget;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTemporaryDir home;
    AppPaths::resolve(home.path(), QString());
    store::ensureSeeded();

    HistoryStore store;
    QRandomGenerator random(7);
    const QDateTime start = QDateTime::currentDateTimeUtc().addDays(-30);
    for (int i = 0; i < kEntries; ++i) {
        HistoryEntry e;
        e.started = start.addSecs(i * 60);
        e.durationMs = random.bounded(5000);
        e.connection = i % 3 ? QStringLiteral("Demo") : QStringLiteral("Driver={PostgreSQL Unicode};Server=db;PWD=x");
        e.rows = random.bounded(100000);
        e.outcome = QStringLiteral("Success");
        e.message = QStringLiteral("Success");
        e.text = script(i, random);
        e.textLength = e.text.size();
        if (!store.add(e, kEntries)) return 1;
    }

    const auto plain = [](const QString& where, const db::Params& params) {
        auto conn = ResourceDb::open();
        const db::Table t = conn->query(QStringLiteral("SELECT * FROM history") + where, params);
        if (t.rows.empty()) std::abort();
    };
    const QString pattern = HistoryStore::containsPattern(QStringLiteral("100%_"));
    const double allBase = best(runs, [&] { plain(QString(), {}); });
    const QString where = QStringLiteral(" WHERE sql_text LIKE ? ESCAPE '\\' OR connection LIKE ? ESCAPE '\\'");
    const double searchBase = best(runs, [&] { plain(where, {pattern, pattern}); });
    const QString everywhere = HistoryStore::containsPattern(QStringLiteral("JOIN customers"));
    const double broadBase = best(runs, [&] { plain(where, {everywhere, everywhere}); });

    HistoryModel model;
    size_t found = 0;
    const auto listed = [&](const QString& search) {
        auto entries = store.list(search);
        if (!entries) std::abort();
        found = entries->size();
        model.setEntries(std::move(entries).value());
    };
    const double all = best(runs, [&] { listed(QString()); });
    const size_t allRows = found;
    const double search = best(runs, [&] { listed(QStringLiteral("100%_")); });
    const size_t searchRows = found;
    const double broad = best(runs, [&] { listed(QStringLiteral("JOIN customers")); });

    std::printf("== %d history entries (%zu listed, %zu and %zu found), minimum of %d runs ==\n", kEntries, allRows,
                searchRows, found, runs);
    const bool ok = report("history: list all into the model", all, allBase) &
                    report("history: search \"100%_\" (10 found)", search, searchBase) &
                    report("history: search matching every entry", broad, broadBase);
    return ok && allRows == size_t(kEntries) && searchRows == size_t(kEntries / 500) && found == size_t(kEntries)
               ? 0
               : 1;
}
