#pragma once
// The question asked before a run sends an UPDATE or DELETE that changes
// every row of its table (no WHERE of its own), for a run of the selection,
// the script or the statement at the caret alike. The confirmunfiltered
// setting turns it off.

#include "script/SqlLexer.h"
#include "settings/Settings.h"

#include <QString>

class QWidget;

// The lexer dialect of a connection: MySQL's quotes and comments for the
// MariaDB and MySQL drivers, the general one otherwise.
sqlscript::Dialect scriptDialect(const QString& connectionString);

// True when the run may go on: the question is off, the script changes no
// table unfiltered, or the user answered Yes.
bool confirmUnfilteredChanges(QWidget* parent, const QString& script, const QString& connectionString,
                              const settings::Snapshot& options);
