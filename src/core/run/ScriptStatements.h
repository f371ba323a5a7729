#pragma once
// The statements of a script as a backend that sends them apart needs them
// (see db::Connection::executeScript): where each lies in the script, its
// first words, and whether it is a query that only reads.

#include "db/Connection.h"
#include "script/SqlLexer.h"

#include <vector>

std::vector<db::ScriptStatement> scriptStatements(const QString& script, script::Dialect dialect);
