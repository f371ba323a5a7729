#pragma once
// The questions asked before a run, for a run of the selection, the script
// or the statement at the caret alike: an UPDATE or DELETE that changes
// every row of its table (no WHERE of its own; the confirmunfiltered setting
// turns it off), and any change of data on a connection that asks for it
// (production). Private to the document's runs.

#include "script/SqlLexer.h"
#include "settings/Settings.h"

#include <QString>

class QWidget;

// True when the run may go on: the question is off, the script changes no
// table unfiltered, or the user answered Yes. dialect: the lexer dialect
// of the document's server.
bool confirmUnfilteredChanges(QWidget* parent, const QString& script, script::Dialect dialect,
                              const settings::Snapshot& options);

// The question before a run that may change data (script/DataChanges.h) on
// a connection that asks for it (ConfirmChanges, on by default for the
// environment "production"). True when the run may go on.
bool confirmDataChanges(QWidget* parent, const QString& script, const QString& connectionString,
                        script::Dialect dialect);
