#pragma once
// What a finished run of a document leaves in the query history, handed to
// the background writer so the UI thread never waits on vsql.db.

#include "run/RunEngine.h"
#include "store/HistoryStore.h"

#include <QDateTime>

namespace store {

// How a run ended, as the history stores it ("Success", "Affected",
// "Failed", "No connection", "Cancelled", "Nothing to do", "Refused").
QString outcomeWord(RunOutcome outcome);
// An entry stored under that word reports an error.
bool isErrorWord(const QString& word);

// Whether runs on a connection go into the history: not when its string
// says History=Off (or 0, no, false), a key the drivers ignore.
bool historyWanted(const QString& connectionString);

// The entry of a run, with every password typed into the script masked
// (SecretRedaction.h). savedName is the document's saved connection's name
// (empty when its string was made by hand); the request's connection string
// is used only to name the connection without passwords and to scrub them
// from the message.
HistoryEntry historyEntryFor(const RunRequest& request, const RunResult& result, const QDateTime& started,
                      const QString& savedName);

// Queues the run for the history, trimmed to the historylimit setting. A run
// that had nothing to do (an empty script), or on a connection whose
// history is off, is not recorded.
void recordRun(const RunRequest& request, const RunResult& result, const QDateTime& started, const QString& savedName);

} // namespace store
