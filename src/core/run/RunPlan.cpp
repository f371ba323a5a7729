#include "run/RunPlan.h"

RunPlan planRun(const QString& sourceText) {
    RunPlan plan;
    const QString prepared = scripttext::prepareScriptText(sourceText);
    plan.kind = scripttext::classifyStatement(prepared);
    plan.textToRun = plan.kind == scripttext::StatementKind::SystemProcedure ? QStringLiteral("master..") + prepared
                                                                              : sourceText;
    return plan;
}
