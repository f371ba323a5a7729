#include "store/RunHistory.h"

#include "settings/Settings.h"
#include "store/HistoryWriter.h"

namespace runhistory {

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

HistoryEntry entryFor(const RunRequest& request, const RunResult& result, const QDateTime& started,
                      const QString& savedName) {
    HistoryEntry e;
    e.started = started.toUTC();
    e.durationMs = result.elapsedMs;
    e.connection = HistoryStore::connectionLabel(savedName, request.connectionString);
    e.database = request.database;
    e.rows = result.rows;
    e.outcome = outcomeWord(result.outcome);
    e.message = HistoryStore::messageLine(result.closingMessage, request.connectionString);
    e.text = request.text;
    e.textLength = request.text.size();
    return e;
}

void record(const RunRequest& request, const RunResult& result, const QDateTime& started, const QString& savedName) {
    if (result.outcome == RunOutcome::NothingToDo) return;
    HistoryWriter::instance().add(entryFor(request, result, started, savedName), settings::current().historyLimit());
}

} // namespace runhistory
