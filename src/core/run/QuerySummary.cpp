#include "run/QuerySummary.h"

#include "db/ConnectionString.h"

QuerySummary summarizeQuery(const QuerySummaryInput& input) {
    QuerySummary s;
    const QString prepared = script::prepareScriptText(input.source);
    s.kind = script::classifyStatement(prepared);
    const QString crlf = QStringLiteral("\r\n");
    s.text = QStringLiteral("Query Information") + crlf + QString(37, QLatin1Char('-')) + crlf +
             QStringLiteral("Connection: ") + db::maskPasswords(input.connectionString) + crlf +
             QStringLiteral("Catalog: ") + input.database + crlf + QStringLiteral("SQL Style: ") +
             QString::number(input.sqlStyle) + crlf + QStringLiteral("SQL Type: ") +
             script::statementKindText(s.kind) + crlf + QStringLiteral("SQL Query: ") + prepared + crlf;
    return s;
}
