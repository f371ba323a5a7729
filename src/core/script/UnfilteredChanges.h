#pragma once
// UPDATE and DELETE statements that change every row of their table: no
// WHERE (nor LIMIT or TOP) at their own level. Found from the tokens (see
// SqlLexer), so a WHERE inside a string, a comment or a subquery of another
// clause does not count, while an UPDATE … FROM … WHERE does.
//
// Looked at: every UPDATE or DELETE that is a statement of its own, also
// inside a BEGIN … END block, after IF … THEN, in a WITH query or in T-SQL
// batches without ';'. Not looked at: the bodies of procedures, functions,
// triggers, rules and events being created (they run later, if ever),
// prepared statements, EXPLAIN without ANALYZE, and SQL inside strings or
// $$ bodies (dynamic SQL, DO blocks). Not counted as statements: ON UPDATE /
// ON DELETE, FOR UPDATE, ON DUPLICATE KEY UPDATE, ON CONFLICT … DO UPDATE,
// the actions of MERGE, GRANT and REVOKE lists, UPDATE STATISTICS and T-SQL's
// UPDATE(column).

#include "script/StatementSplitter.h"

#include <QString>
#include <vector>

namespace script {

struct UnfilteredChange {
    QString verb;     // "UPDATE" or "DELETE"
    QString table;    // the table's name as the script writes it
    size_t statement; // index of the statement holding it
};

// Read in the splitter's one pass over the script, keeping no more than a
// few tokens: linear in time, constant in memory beyond the statement list.
std::vector<UnfilteredChange> findUnfilteredChanges(QStringView script, Dialect dialect = Dialect::Generic);

// "The script changes every row of <tables>: <verbs> without WHERE. Run it
// anyway?" (at most three tables are named; the verb is UPDATE, DELETE or
// UPDATE/DELETE).
QString unfilteredQuestion(const std::vector<UnfilteredChange>& changes);

} // namespace script
