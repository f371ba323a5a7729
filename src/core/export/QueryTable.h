#pragma once
// The table an export's INSERT statements write into: read from the query
// that made the rows when it reads exactly one table, or given by the user.

#include "catalog/SqlDialect.h"

#include <QString>
#include <QStringList>

namespace exports {

// The table of "SELECT … FROM name [[AS] alias] [WHERE …|GROUP …|ORDER …|
// LIMIT …|…]", written as in the query (schema and quotes included); empty
// for any other statement (a join, several tables, a subquery in FROM, not
// a SELECT). Comments and a final ';' are allowed.
QString tableNameFromQuery(const QString& sql);

// The table of each result set a script gives, in order, when every
// statement of it is a SELECT (so the n-th set comes from the n-th
// statement): tableNameFromQuery of each. Empty when the script holds
// anything else (a statement may give no set, or several).
QStringList tableNamesOfScript(const QString& script);

// name as the table of an INSERT: as written when it already reads as a
// name (plain or quoted parts joined by dots), else quoted as one name;
// kDefaultTable when empty.
QString tableReference(const QString& name, const SqlDialect& dialect);

} // namespace exports
