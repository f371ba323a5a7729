#pragma once
// What a run sends: the script is prepared and classified; a system
// procedure call ("sp_…") is sent through the master database, everything
// else exactly as the user wrote it (comments and terminators included).

#include "script/ScriptText.h"

#include <QString>

struct RunPlan {
    scripttext::StatementKind kind = scripttext::StatementKind::None; // of the prepared text
    QString textToRun; // empty: nothing to do
};

RunPlan planRun(const QString& sourceText);
