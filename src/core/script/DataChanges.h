#pragma once
// Which statements of a script may change data, for the question a run asks
// on a connection marked production. Decided from each statement's tokens
// (SqlLexer), erring on the side of asking: a statement counts as reading
// only when it is one of
//   SELECT (without INTO), TABLE, VALUES, SHOW, DESCRIBE/DESC, EXPLAIN
//   (without ANALYZE), WITH (no INSERT, UPDATE, DELETE or MERGE in it),
//   USE, SET, the transaction statements (BEGIN, START, COMMIT, END,
//   ROLLBACK, SAVEPOINT, RELEASE), and the cursor ones (DECLARE … CURSOR
//   aside, FETCH, MOVE, CLOSE), PRAGMA without '=';
// anything else (INSERT, UPDATE, DELETE, MERGE, CREATE, DROP, ALTER,
// TRUNCATE, GRANT, CALL, EXEC, COPY, DO, …) may change data.

#include "script/SqlLexer.h"

#include <QString>
#include <QStringList>

namespace script {

struct DataChange {
    size_t statement; // index of the statement, from 0
    QString verb;     // its first word, upper case ("UPDATE", "DROP", …)
};

// One pass over the script; linear in its length.
std::vector<DataChange> findDataChanges(QStringView script, Dialect dialect = Dialect::Generic);

// "The script changes data (UPDATE, DROP)." for the question; the verbs
// each once, at most five.
QString dataChangeSummary(const std::vector<DataChange>& changes);

} // namespace script
