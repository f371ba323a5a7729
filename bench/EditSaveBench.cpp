// Saving ROWS edited rows from the grid (one UPDATE per row with bound
// values, the key and the value read in its WHERE, the row returned where
// the server can, all in one transaction) against running the same
// statements, values inlined, as a script through the engine between BEGIN
// and COMMIT: the baseline, measured in the same run. Target: at most 1.5x.
//
//   bench_edit_save CONNECTION_STRING [ROWS]
#include "edit/ChangeSaver.h"
#include "edit/ChangeSet.h"
#include "edit/EditTarget.h"
#include "edit/SaveStatements.h"
#include "DiscardSink.h"
#include "run/RunEngine.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

double msSince(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_edit_save CONNECTION_STRING [ROWS]\n");
        return 2;
    }
    const QString cs = QString::fromLocal8Bit(argv[1]);
    const int rows = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10000;
    try {
        auto conn = db::Connection::open(cs, {15, true});
        conn->exec(QStringLiteral("DROP TABLE IF EXISTS bench_edit"));
        conn->exec(QStringLiteral("CREATE TABLE bench_edit (id INTEGER PRIMARY KEY, name VARCHAR(40), amount NUMERIC(12,2))"));
        conn->exec(QStringLiteral("BEGIN"));
        for (int i = 1; i <= rows; ++i)
            conn->exec(QStringLiteral("INSERT INTO bench_edit VALUES (?, ?, ?)"), {i, QStringLiteral("n%1").arg(i), QStringLiteral("1.50")});
        conn->exec(QStringLiteral("COMMIT"));

        auto cursor = conn->execute(QStringLiteral("SELECT id, name, amount FROM bench_edit ORDER BY id"));
        const std::vector<db::Field> fields = cursor->fields();
        const db::Table read = db::readTable(*cursor);
        cursor.reset();
        const edit::EditTarget target = edit::readEditTarget(*conn, fields);
        if (!target.editable()) {
            std::fprintf(stderr, "%s\n", qPrintable(target.readOnlyReason));
            return 1;
        }
        edit::ChangeSet changes(3, qint64(read.rows.size()), [&](qint64 r, int c) { return read.rows[size_t(r)][size_t(c)]; });
        std::vector<edit::ChangeSet::CellEdit> edits;
        for (int r = 0; r < rows; ++r) edits.push_back({r, 1, QStringLiteral("edited %1").arg(r)});
        changes.setCells(edits);
        const auto statements = edit::buildSaveStatements(target, fields, changes, target.dialect);
        QString script = QStringLiteral("BEGIN;\n");
        for (const auto& s : statements) script += s.review + QStringLiteral(";\n");
        script += QStringLiteral("COMMIT;\n");
        const QString restoreSql = target.server == db::ServerFamily::MariaDB
                                       ? QStringLiteral("UPDATE bench_edit SET name = CONCAT('n', id)")
                                       : QStringLiteral("UPDATE bench_edit SET name = 'n' || id");
        auto restore = [&] { conn->exec(restoreSql); };

        auto session = std::make_shared<Session>();
        double best_ours = 1e18, best_script = 1e18;
        for (int round = 0; round < 3; ++round) {
            restore();
            QElapsedTimer t;
            t.start();
            const edit::SaveOutcome out = edit::saveChanges(*conn, statements, [](qint64 r) { return QString::number(r); });
            best_ours = std::min(best_ours, msSince(t));
            if (!out.saved) {
                std::fprintf(stderr, "save failed: %s\n", qPrintable(out.message));
                return 1;
            }
            restore();
            DiscardSink sink;
            RunRequest request;
            request.connectionString = cs;
            request.text = script;
            request.session = session;
            RunEngine engine(request, sink);
            t.restart();
            const RunResult result = engine.run();
            best_script = std::min(best_script, msSince(t));
            if (result.isError()) {
                std::fprintf(stderr, "script failed: %s\n", qPrintable(result.closingMessage));
                return 1;
            }
        }
        std::printf("save of %d edited rows: %.0f ms; the same statements as a script: %.0f ms; ratio %.2f (target <= 1.5)\n",
                    rows, best_ours, best_script, best_ours / best_script);
        conn->exec(QStringLiteral("DROP TABLE bench_edit"));
    } catch (const db::Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
