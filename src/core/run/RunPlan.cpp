#include "run/RunPlan.h"

#include "script/ScriptText.h"

RunPlan planRun(const QString& sourceText) {
    RunPlan plan;
    const QString prepared = scripttext::prepareScriptText(sourceText);
    plan.statementType = scripttext::classifyStatement(prepared);
    plan.textToRun = plan.statementType == QLatin1String("SP_") ? QStringLiteral("master..") + prepared : sourceText;
    return plan;
}
