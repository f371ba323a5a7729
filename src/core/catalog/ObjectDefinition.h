#pragma once
// "Show Definition": the statements that re-create an object of the
// browser, read from the server's catalogue and never run here.
//
//  - a table: CREATE TABLE with its columns, defaults, constraints, then its
//    indexes (those no constraint makes) and triggers;
//  - a view (or materialized view), a sequence: its CREATE statement;
//  - a function or procedure: its CREATE (every overload, on PostgreSQL).
//
// PostgreSQL writes it from the catalogue (pg_get_viewdef,
// pg_get_functiondef, pg_get_indexdef, pg_get_constraintdef,
// pg_get_triggerdef), MariaDB/MySQL answer SHOW CREATE …, SQLite keeps the
// text it was given in sqlite_master. Statements end with ";" and are
// separated by a blank line.

#include "base/Result.h"
#include "catalog/StatementGenerator.h"

namespace catalog {

// Opens its own connection (as the other readers do); ref is a Table or a
// Procedure node. Fails with a message when the object is gone or the
// server is one whose catalogue this does not read.
Result<QString> getDefinition(const QString& connectionString, const ObjectRef& ref);

} // namespace catalog
