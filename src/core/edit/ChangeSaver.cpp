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

// Rows touched and the row returned, if any.
struct Ran {
    qint64 affected = -1;
    std::optional<std::vector<Value>> row;
};

Ran run(db::Connection& conn, const SaveStatement& s) {
    Ran r;
    auto cursor = conn.execute(s.sql, s.params);
    if (!cursor->hasRows()) {
        r.affected = cursor->recordsAffected();
        return r;
    }
    const db::Table t = db::readTable(*cursor);
    r.affected = qint64(t.rows.size());
    if (t.rows.size() == 1) r.row = std::vector<Value>(t.rows[0].begin(), t.rows[0].end());
    return r;
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
    for (const SaveStatement& s : statements) {
        try {
            const Ran r = run(conn, s);
            if (r.affected != 1) {
                rollBack();
                out.failedRow = s.row;
                out.message =
                    r.affected == 0
                        ? QStringLiteral("row %1 was changed or deleted by someone else since it was read; nothing was saved")
                              .arg(rowName(s.row))
                        : QStringLiteral("row %1 matches %2 rows in the table; nothing was saved").arg(rowName(s.row)).arg(r.affected);
                return out;
            }
            if (r.row) out.readBack[s.row] = *r.row;
        } catch (const db::Error& e) {
            rollBack();
            out.failedRow = s.row;
            out.message = QStringLiteral("row %1: %2; nothing was saved").arg(rowName(s.row), e.description());
            return out;
        }
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
