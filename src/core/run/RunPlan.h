#pragma once
// What a run sends: the script is prepared and classified; a system
// procedure call ("sp_…") is sent through the master database, everything
// else exactly as the user wrote it (comments and terminators included).
// A script holding a NUL character is refused whole: drivers would send only
// the text before it. So is a script with parameter markers (":id", "?", …,
// see ScriptParameters.h) for the server the connection string reaches,
// unless the run brings values (they are bound statement by statement, see
// ParameterBinding.h): none is ever sent as a silent NULL.

#include "script/ScriptText.h"

#include <QString>

struct RunPlan {
    script::StatementKind kind = script::StatementKind::None; // of the prepared text
    QString textToRun; // empty: nothing to do (or refused)
    QString refusal;   // why the script cannot be sent at all; empty when it can
};

// connectionString: where the run goes (empty: nowhere yet, no parameter check).
// valuesGiven: the run carries parameter values; the binding checks them.
RunPlan planRun(const QString& sourceText, const QString& connectionString = QString(), bool valuesGiven = false);
