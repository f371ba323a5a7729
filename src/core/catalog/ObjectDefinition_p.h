#pragma once
// Each server's reader of object definitions (ObjectDefinition.h). Each
// returns the statements without their final ";", empty when the object is
// not found; db::Error passes through.

#include "catalog/StatementGenerator.h"
#include "db/Connection.h"

#include <QStringList>

namespace catalog {

QStringList postgresDefinition(db::Connection& conn, const ObjectRef& ref);
QStringList mariaDefinition(db::Connection& conn, const ObjectRef& ref);
QStringList sqliteDefinition(db::Connection& conn, const ObjectRef& ref);

// The first cell of every row, NULLs left out.
QStringList definitionLines(const db::Table& t, int column = 0);

} // namespace catalog
