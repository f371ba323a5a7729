#include "store/RunHistory.h"

#include "db/ConnectionString.h"
#include "script/SecretRedaction.h"
#include "settings/Settings.h"
#include "store/HistoryWriter.h"

namespace store {

QString outcomeWord(RunOutcome outcome) {
    switch (outcome) {
    case RunOutcome::Success: return QStringLiteral("Success");
    case RunOutcome::Affected: return QStringLiteral("Affected");
    case RunOutcome::Failed: return QStringLiteral("Failed");
    case RunOutcome::NoConnection: return QStringLiteral("No connection");
    case RunOutcome::Cancelled: return QStringLiteral("Cancelled");
    case RunOutcome::NothingToDo: return QStringLiteral("Nothing to do");
    case RunOutcome::Refused: return QStringLiteral("Refused");
    }
    return {};
}

bool isErrorWord(const QString& word) {
    for (RunOutcome o : {RunOutcome::Failed, RunOutcome::NoConnection, RunOutcome::Refused})
        if (word == outcomeWord(o)) return true;
    return false;
}

bool historyWanted(const QString& connectionString) {
    const std::optional<QString> history = db::ConnectionString(connectionString).value(QStringLiteral("History"));
    if (!history) return true;
    const QString v = history->trimmed().toLower();
    return !(v == QLatin1String("off") || v == QLatin1String("0") || v == QLatin1String("no") ||
             v == QLatin1String("false"));
}

HistoryEntry historyEntryFor(const RunRequest& request, const RunResult& result, const QDateTime& started,
                      const QString& savedName) {
    // a password typed into the script is kept as '****', here and in the message
    const script::RedactedScript script = script::redactSecrets(request.text);
    HistoryEntry e;
    e.started = started.toUTC();
    e.durationMs = result.elapsedMs;
    e.connection = HistoryStore::connectionLabel(savedName, request.connectionString);
    e.database = request.database;
    e.rows = result.rows;
    e.outcome = outcomeWord(result.outcome);
    e.message = db::scrubSecrets(HistoryStore::messageLine(result.closingMessage, request.connectionString),
                                 script.secrets);
    e.text = script.text;
    e.textLength = script.text.size();
    return e;
}

void recordRun(const RunRequest& request, const RunResult& result, const QDateTime& started, const QString& savedName) {
    if (result.outcome == RunOutcome::NothingToDo || !historyWanted(request.connectionString)) return;
    HistoryWriter::instance().add(historyEntryFor(request, result, started, savedName), settings::current().historyLimit());
}

} // namespace store
