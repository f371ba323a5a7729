#pragma once
// The question asked before a run sends an UPDATE or DELETE that changes
// every row of its table (no WHERE of its own), for a run of the selection,
// the script or the statement at the caret alike. The confirmunfiltered
// setting turns it off. Private to the document's runs.

#include "script/SqlLexer.h"
#include "settings/Settings.h"

#include <QString>

class QWidget;

// True when the run may go on: the question is off, the script changes no
// table unfiltered, or the user answered Yes. dialect: the lexer dialect
// of the document's server.
bool confirmUnfilteredChanges(QWidget* parent, const QString& script, sqlscript::Dialect dialect,
                              const settings::Snapshot& options);
