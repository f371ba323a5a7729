#include "run/RunPlan.h"

#include "script/ScriptParameters.h"

#include <algorithm>

RunPlan planRun(const QString& sourceText, const QString& connectionString, bool valuesGiven) {
    RunPlan plan;
    if (const qsizetype nul = sourceText.indexOf(QChar(0)); nul >= 0) {
        const qsizetype lineStart = sourceText.lastIndexOf(QLatin1Char('\n'), nul) + 1;
        plan.refusal = QStringLiteral("The script contains a NUL character (line %1, column %2); nothing was run.")
                           .arg(sourceText.left(nul).count(QLatin1Char('\n')) + 1)
                           .arg(nul - lineStart + 1);
        return plan;
    }
    // Blanks alone are nothing to run (a server would answer them with an
    // error or an empty result). (Asked without trimming: a trimmed copy of a
    // large script would double it.)
    if (std::all_of(sourceText.cbegin(), sourceText.cend(), [](QChar c) { return c.isSpace(); })) return plan;
    if (!connectionString.isEmpty() && !valuesGiven) {
        const script::ScriptParameters found =
            script::findParameters(sourceText, db::familyOfConnectionString(connectionString));
        if (!found.empty()) {
            plan.refusal = found.withParameters.front().noValuesMessage() + QStringLiteral(" Nothing was run.");
            return plan;
        }
    }
    const QString prepared = script::prepareScriptText(sourceText);
    plan.kind = script::classifyStatement(prepared);
    plan.textToRun = plan.kind == script::StatementKind::SystemProcedure ? QStringLiteral("master..") + prepared
                                                                              : sourceText;
    return plan;
}
