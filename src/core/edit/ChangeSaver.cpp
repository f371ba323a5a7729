#include "edit/ChangeSaver.h"

namespace edit {
namespace {

const QString kSavepoint = QStringLiteral("sqlqe_edits");

QString beginStatement(db::ServerFamily s) {
    switch (s) {
    case db::ServerFamily::MariaDB: return QStringLiteral("START TRANSACTION");
    // Take the write lock now: another connection cannot change rows between our reads and writes.
    case db::ServerFamily::SQLite: return QStringLiteral("BEGIN IMMEDIATE");
    default: return QStringLiteral("BEGIN");
    }
}

} // namespace

SaveOutcome saveChanges(db::Connection& conn, const std::vector<SaveStatement>& statements,
                        const std::function<QString(qint64)>& rowName) {
    SaveOutcome out;
    if (statements.empty()) {
        out.saved = true;
        out.message = QStringLiteral("There were no changes to save.");
        return out;
    }
    if (conn.transactionAborted()) {
        out.message = QStringLiteral("The open transaction failed: roll it back before saving; nothing was saved.");
        return out;
    }
    out.joinedTransaction = conn.inTransaction().value_or(false);
    const db::ServerFamily server = conn.serverFamily();
    try {
        conn.exec(out.joinedTransaction ? QStringLiteral("SAVEPOINT ") + kSavepoint : beginStatement(server));
    } catch (const db::Error& e) {
        out.message = QStringLiteral("The save could not start: %1; nothing was saved.").arg(e.description());
        return out;
    }
    auto rollBack = [&] {
        try {
            if (out.joinedTransaction) {
                conn.exec(QStringLiteral("ROLLBACK TO SAVEPOINT ") + kSavepoint);
                conn.exec(QStringLiteral("RELEASE SAVEPOINT ") + kSavepoint);
            } else {
                conn.exec(QStringLiteral("ROLLBACK"));
            }
        } catch (const db::Error&) {
            // the server ends a broken transaction itself; the message already says nothing was saved
        }
    };
    // Every statement goes in one batch (one round trip where the backend
    // can); each must touch exactly one row, else the batch ends there.
    std::vector<db::BatchStatement> batch;
    batch.reserve(statements.size());
    for (const SaveStatement& s : statements) batch.push_back({s.sql, s.params});
    try {
        bool conflict = false;
        conn.executeBatch(batch, [&](size_t i, db::BatchResult&& r) {
            const SaveStatement& s = statements[i];
            if (r.affected != 1) {
                conflict = true;
                out.failedRow = s.row;
                out.message =
                    r.affected == 0
                        ? QStringLiteral("row %1 was changed or deleted by someone else since it was read; nothing was saved")
                              .arg(rowName(s.row))
                        : QStringLiteral("row %1 matches %2 rows in the table; nothing was saved").arg(rowName(s.row)).arg(r.affected);
                return false;
            }
            if (!r.rows.columns.isEmpty() && r.rows.rows.size() == 1)
                out.readBack[s.row] = std::vector<Value>(r.rows.rows[0].begin(), r.rows.rows[0].end());
            return true;
        });
        if (conflict) {
            rollBack();
            out.readBack.clear();
            return out;
        }
    } catch (const db::Error& e) {
        rollBack();
        out.readBack.clear();
        const std::optional<int> at = e.position().statementIndex;
        if (e.isCancel()) {
            out.message = QStringLiteral("The save was stopped; nothing was saved.");
        } else if (at && size_t(*at) < statements.size()) {
            out.failedRow = statements[size_t(*at)].row;
            out.message = QStringLiteral("row %1: %2; nothing was saved").arg(rowName(out.failedRow), e.description());
        } else {
            out.message = QStringLiteral("%1; nothing was saved").arg(e.description());
        }
        return out;
    }
    try {
        conn.exec(out.joinedTransaction ? QStringLiteral("RELEASE SAVEPOINT ") + kSavepoint : QStringLiteral("COMMIT"));
    } catch (const db::Error& e) {
        rollBack();
        out.readBack.clear();
        out.message = QStringLiteral("The commit failed: %1; nothing was saved.").arg(e.description());
        return out;
    }
    out.saved = true;
    out.message = out.joinedTransaction
                      ? QStringLiteral("%1 statement(s) ran inside the open transaction; they are saved when it is committed.")
                            .arg(statements.size())
                      : QStringLiteral("%1 statement(s) saved.").arg(statements.size());
    return out;
}

} // namespace edit
