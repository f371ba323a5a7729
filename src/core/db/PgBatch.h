#pragma once
// How the statements of a script go to a PostgreSQL server so that each one
// runs as it would alone (as psql sends them), at close to the cost of one
// call: the server runs the statements of one call as one transaction, so
// several statements share a call only as "s1; COMMIT; s2; COMMIT; …",
// where each COMMIT ends the implicit transaction of the statement before
// it and an error ends the call (the statements after it never run).
//
// Inside a transaction the user opened, statements share a call as they
// are (the transaction's rules apply: an error aborts the rest). A
// statement that changes transactions (BEGIN, COMMIT, …) or must run
// outside one (VACUUM, CREATE DATABASE, CREATE INDEX CONCURRENTLY, DO and
// CALL, which may commit themselves, …) goes alone, and so does any
// statement not known to be safe in company.

#include "db/Connection.h"

#include <QString>
#include <vector>

namespace db::pg {

struct Batch {
    size_t first = 0; // the statements [first, first + count) of the script
    size_t count = 0;
    bool commits = false;       // a COMMIT follows each statement in text
    bool inTransaction = false; // built for a transaction the user opened
    QString text;               // what goes to the server
    // Where each statement begins in text.
    std::vector<qsizetype> starts;

    // The offset in the script of an offset in text (UTF-16 units); -1 when
    // it lies outside the statements (in a COMMIT of ours).
    qsizetype scriptOffset(const std::vector<ScriptStatement>& statements, qsizetype offset) const;
};

// The next call of the script, from statement `from` on. inTransaction: the
// session is inside a transaction (open or failed) as the call starts.
Batch nextBatch(const QString& script, const std::vector<ScriptStatement>& statements, size_t from,
                bool inTransaction);

// A call ends after this many statements or characters, so a long script
// is never copied whole at once.
inline constexpr size_t kMaxBatchStatements = 500;
inline constexpr qsizetype kMaxBatchText = 1 << 20;

} // namespace db::pg
