#pragma once
// The "Query Information" summary of what a run would send, without sending
// anything: the connection (passwords masked), the database, the provider
// kind, the statement class the run would use and the prepared text.

#include "script/ScriptText.h"

#include <QString>

struct QuerySummaryInput {
    QString connectionString;
    QString database; // the database chosen for runs ("" when none)
    int sqlStyle = 0; // the provider kind recorded with the catalogue (0: unknown)
    QString source;   // the selection, or the whole script
};

struct QuerySummary {
    script::StatementKind kind = script::StatementKind::None;
    QString text; // CR LF after every line
};

QuerySummary summarizeQuery(const QuerySummaryInput& input);
