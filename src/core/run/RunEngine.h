#pragma once
// One run of a script against a database: opens a fresh connection, executes
// the text in one call, walks every result set and writes them either as
// text (text mode) or as grid rows (grid mode: the first result set fills the
// grid, further ones are written as text to the extended pane), honouring the
// row limit and a stop request, and returns the closing message.
//
// Synchronous: the editor runs it on a worker thread (Executor), the headless
// runner on its main thread. stop() may be called from any thread; it also
// cancels the statement on the server, so a stop takes effect while the
// server is still working, not only when rows arrive.

#include "db/Connection.h"

#include <QString>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

enum class Pane { Results, Extended };

// Receives what a run produces, in order.
class RunSink {
public:
    virtual ~RunSink() = default;
    virtual void gridStarted(const std::vector<db::Field>& fields) = 0;
    virtual void gridRows(std::shared_ptr<db::RowBlock> rows) = 0;
    virtual void appendText(Pane pane, const QString& text) = 0;
    virtual void clearPane(Pane pane) = 0;
    // Rows fetched so far in this run (for a status line during long fetches).
    virtual void progress(qint64 rowsFetched) = 0;
    // Called between batches; a sink may block here to let its reader catch up.
    virtual void flush() {}
};

struct RunRequest {
    QString connectionString;
    QString database;          // default database for the run; empty: the connection's own
    QString text;              // sent to the server as it is, in one call
    bool resultsInText = false;
    std::optional<qint64> rowLimit; // nullopt: no limit
    int loginTimeoutSeconds = 15;
};

// How a run ended.
enum class RunOutcome {
    Success,      // result sets were shown: "Success" and the row count
    Affected,     // the script returned no rows: "N Row(s) affected."
    Failed,       // the database reported an error: "Error: #N"
    NoConnection, // the document has no connection
    Cancelled,    // the user stopped it
};

struct RunResult {
    RunOutcome outcome = RunOutcome::Success;
    QString closingMessage;
    bool extendedResults = false;  // grid mode wrote further result sets as text
    qint64 rows = 0;               // the row count shown in the status bar
    qint64 elapsedMs = 0;

    // The run ended without result rows to show (the message pane comes to the front).
    bool failed() const { return outcome != RunOutcome::Success && outcome != RunOutcome::Cancelled; }
    // An error or no connection, not merely a script without rows.
    bool isError() const { return outcome == RunOutcome::Failed || outcome == RunOutcome::NoConnection; }
    bool cancelled() const { return outcome == RunOutcome::Cancelled; }
};

class RunEngine {
public:
    RunEngine(RunRequest request, RunSink& sink);
    RunResult run();
    void stop();
    bool stopRequested() const { return stop_; }

private:
    void walkResults(db::Cursor& cursor, RunResult& result);
    // Writes one result set as text into pane, counting on from counter;
    // returns true when it ended because of the row limit.
    bool writeTextSet(db::Cursor& cursor, Pane pane, qint64& counter);
    bool writeGridSet(db::Cursor& cursor, qint64& counter);
    struct Limit {
        bool on = false;
        qint64 value = 0;
    };
    Limit currentLimit() const;
    static bool limitReached(qint64 counter, const Limit& limit) { return limit.on && counter > limit.value; }
    void report(qint64 rows);

    RunRequest request_;
    RunSink& sink_;
    std::atomic<bool> stop_{false};
    std::mutex connMutex_;
    db::Connection* conn_ = nullptr; // for stop(); valid while the run holds it
    qint64 fetched_ = 0;
};
