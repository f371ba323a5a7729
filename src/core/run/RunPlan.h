#pragma once
// What a run sends: the script is prepared and classified; a system
// procedure call ("sp_…") is sent through the master database, everything
// else exactly as the user wrote it (comments and terminators included).
// A script holding a NUL character is refused whole: drivers would send only
// the text before it.

#include "script/ScriptText.h"

#include <QString>

struct RunPlan {
    scripttext::StatementKind kind = scripttext::StatementKind::None; // of the prepared text
    QString textToRun; // empty: nothing to do (or refused)
    QString refusal;   // why the script cannot be sent at all; empty when it can
};

RunPlan planRun(const QString& sourceText);
