#pragma once
// Words the statement readers of code assistance agree on.

#include "script/SqlLexer.h"

namespace assist {

// Whether a word after a table's name goes on with the statement (WHERE,
// JOIN, ON, SET, …) rather than being the table's alias.
inline bool continuesAfterTable(QStringView text, const script::Token& t) {
    return script::SqlLexer::isAnyWord(
        text, t,
        {"WHERE", "JOIN",   "INNER",  "LEFT",     "RIGHT",     "FULL",          "CROSS",       "NATURAL",
         "OUTER", "ON",     "USING",  "GROUP",    "ORDER",     "HAVING",        "LIMIT",       "OFFSET",
         "UNION", "INTERSECT", "EXCEPT", "MINUS", "WINDOW",    "FETCH",         "FOR",         "SET",
         "VALUES", "RETURNING", "LATERAL", "WITH", "AS",       "SELECT",        "INTO",        "DEFAULT",
         "STRAIGHT_JOIN", "USE", "IGNORE", "FORCE", "PARTITION", "TABLESAMPLE", "WHEN",        "THEN",
         "ELSE",  "END",    "AND",    "OR",       "NOT",       "FROM",          "APPLY",       "OPTION",
         "QUALIFY", "DO",   "ONLY"});
}

} // namespace assist
