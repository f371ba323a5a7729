// What sending a PostgreSQL script statement by statement costs: a script of
// N small INSERTs run as the editor runs it (each statement on its own, see
// PgBatch) against the same text sent in one call (the baseline: one
// implicit transaction, which loses every statement when one fails), and
// against one call per statement, interleaved on one connection; minimum of
// RUNS rounds each.
//
//   bench_statements CONNECTION_STRING [STATEMENTS] [RUNS]
#include "db/Connection.h"
#include "run/ScriptStatements.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

double timed(const std::function<void()>& work) {
    QElapsedTimer t;
    t.start();
    work();
    return double(t.nsecsElapsed()) / 1e6;
}

void drain(db::Cursor& cursor) {
    while (cursor.nextResult()) {}
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_statements CONNECTION_STRING [STATEMENTS] [RUNS]\n");
        return 2;
    }
    const int count = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1000;
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 7;
    try {
        auto conn = db::Connection::open(QString::fromLocal8Bit(argv[1]));
        conn->exec(QStringLiteral("DROP TABLE IF EXISTS bench_statements"));
        conn->exec(QStringLiteral("CREATE TABLE bench_statements (id integer, note text)"));
        QString script;
        for (int i = 0; i < count; ++i)
            script += QStringLiteral("INSERT INTO bench_statements VALUES (%1, 'row %1');\n").arg(i);
        const auto statements = scriptStatements(script, script::Dialect::Generic);
        double oneCall = 1e18, ours = 1e18, apart = 1e18;
        for (int r = 0; r < runs; ++r) {
            oneCall = std::min(oneCall, timed([&] { drain(*conn->execute(script)); }));
            ours = std::min(ours, timed([&] { drain(*conn->executeScript(script, statements)); }));
            apart = std::min(apart, timed([&] {
                for (const auto& s : statements) drain(*conn->execute(script.mid(s.start, s.end - s.start)));
            }));
            conn->exec(QStringLiteral("TRUNCATE bench_statements"));
        }
        conn->exec(QStringLiteral("DROP TABLE bench_statements"));
        std::printf("%-44s %8.1f ms   baseline (one call) %8.1f ms   ratio %.2fx (target <= 1.5x)   one call each: %.1f ms "
                    "(%.2fx)\n",
                    qPrintable(QStringLiteral("%1 INSERTs, each on its own").arg(count)), ours, oneCall, ours / oneCall,
                    apart, apart / oneCall);
    } catch (const db::Error& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
    return 0;
}
