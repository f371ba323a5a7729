#pragma once
// One run of a script against a database: on the document's session (or a
// connection of its own, closed at the end, when the request has none),
// executes the script (statement by statement where the backend asks for
// it: PostgreSQL) and walks every result it produces, honouring the row
// limit (the statement that reaches it is stopped on the server where that
// changes nothing else) and a stop request, and returns the closing message.
//
// Result sets with rows go to the text pane (text mode) or, in grid mode, the
// first to the grid and every further one, each with its header, as text to
// the extended pane (or, for the headless exports, every one to the grid).
// A statement without rows adds its own "N Row(s) affected." line (to the
// text pane in text mode, to the messages otherwise) and the walk goes on.
//
// Synchronous: the editor runs it on a worker thread (Executor), the headless
// runner on its main thread. stop() may be called from any thread; it also
// cancels the statement on the server, so a stop takes effect while the
// server is still working, not only when rows arrive.

#include "db/Connection.h"
#include "run/Session.h"
#include "script/ParameterBinding.h"
#include "script/ScriptText.h"
#include "script/StatementSplitter.h"

#include <QString>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

// Where a run's text goes: the results (text mode), the further result sets
// of a grid run, the messages of statements without rows, and the server's
// own notices (PostgreSQL's NOTICE), which the message pane shows as well.
enum class Pane { Results, Extended, Messages, Notices };

// The column widths of one result set laid out as text, shared by its blocks.
using TextWidths = std::shared_ptr<const std::vector<int>>;

// What a run does when the rows it has handed on pass the memory limit.
enum class MemoryAnswer {
    KeepFetching, // go on (and ask again when as much again has come)
    Stop,         // stop the run and drop the rows fetched
    StopAndKeep,  // stop the run and keep the rows fetched
};

// Receives what a run produces, in order.
class RunSink {
public:
    virtual ~RunSink() = default;
    // The run's connection is open: the kind of server and the identifier
    // quote of its driver (for writing statements in its dialect).
    virtual void connected(db::ServerFamily server, const QString& identifierQuote) {
        (void)server;
        (void)identifierQuote;
    }
    virtual void gridStarted(const std::vector<db::Field>& fields) = 0;
    virtual void gridRows(std::shared_ptr<db::RowBlock> rows) = 0;
    virtual void appendText(Pane pane, const QString& text) = 0;
    // Rows of a result set shown as text in pane, each a line laid out with
    // widths (the set's header came before as text). By default they are
    // laid out here and handed to appendText; a sink that keeps the blocks
    // lays them out when it needs the lines.
    virtual void textRows(Pane pane, std::shared_ptr<db::RowBlock> rows, const TextWidths& widths);
    virtual void clearPane(Pane pane) = 0;
    // Rows fetched so far in this run (for a status line during long fetches).
    virtual void progress(qint64 rowsFetched) = 0;
    // Called between batches; a sink may block here to let its reader catch up.
    virtual void flush() {}
    // The row blocks handed on so far hold heldBytes, past the request's
    // memory limit. Called on the run's thread, which waits for the answer.
    virtual MemoryAnswer memoryLimitReached(qint64 heldBytes);
};

struct RunRequest {
    QString connectionString;
    QString database;          // default database for the run; empty: the connection's own
    // The script as the user wrote it: planned on the running thread (see
    // RunPlan) and sent to the server as the backend runs scripts.
    QString text;
    // Values for the script's parameters (ScriptParameters.h), by name. A
    // script with parameters and no values (nullopt), or without a value for
    // one of them, is refused before anything is sent; with values it is
    // sent a statement at a time, each with its values bound.
    std::optional<script::ParameterValues> parameters;
    // Where text begins in the editor, so an error's line is the editor's.
    script::TextPoint origin;
    // False for a text the user does not see (the COMMIT of a closing
    // window): its errors name no line.
    bool namesErrorLine = true;
    bool resultsInText = false;
    // Grid mode only: every result set goes to the grid sink (the headless
    // exports), not just the first.
    bool everySetToGrid = false;
    // Grid mode only: every further result set goes to the grid sink as a
    // set of its own (a grid tab) as well as, as text, to the extended pane.
    bool furtherSetsToGrid = false;
    std::optional<qint64> rowLimit; // rows shown in the whole run; nullopt: no limit
    int loginTimeoutSeconds = 15;
    // Bytes the row blocks handed on may hold before the sink is asked
    // whether to go on; nullopt: never ask (a sink that keeps nothing).
    std::optional<qint64> memoryLimitBytes;
    // The document's session: the run uses its connection and leaves it open.
    // Null: the run opens a connection of its own and closes it at the end.
    std::shared_ptr<Session> session;
    // The program's own COMMIT or ROLLBACK of the session's transaction: it
    // runs on the kept connection or fails, never on a new one.
    bool keptSessionOnly = false;
    // Off: the session opens a transaction at the run's first statement
    // (when none is open), which the user ends with COMMIT or ROLLBACK.
    bool autoCommit = true;
};

// How a run ended.
enum class RunOutcome {
    Success,      // result sets were shown: "Success" and the row count
    Affected,     // the script returned no rows: "N Row(s) affected." per statement
    Failed,       // the database reported an error: "Error: #N"
    NoConnection, // the document has no connection
    Cancelled,    // the user stopped it
    NothingToDo,  // the script holds no statement
    Refused,      // the script cannot be sent (a NUL character)
};

struct RunResult {
    RunOutcome outcome = RunOutcome::Success;
    script::StatementKind statementKind = script::StatementKind::None;
    QString closingMessage;
    bool extendedResults = false;  // grid mode wrote further result sets as text
    bool discarded = false;        // stopped at the memory limit, the rows fetched to be dropped
    qint64 rows = 0;               // the row count shown in the status bar
    qint64 elapsedMs = 0;
    bool sessionOpen = false;            // the session keeps a connection after the run
    std::optional<bool> inTransaction;   // the session is inside a transaction (nullopt: cannot tell)
    bool transactionAborted = false;     // that transaction failed: only a ROLLBACK ends it
    // Where a server error happened, in the editor's lines and columns
    // (shifted by the request's origin); the closing message names its line.
    std::optional<script::TextPoint> errorAt;

    // The run ended without result rows to show (the message pane comes to the front).
    bool failed() const { return outcome != RunOutcome::Success && outcome != RunOutcome::Cancelled; }
    // An error or no connection, not merely a script without rows.
    bool isError() const {
        return outcome == RunOutcome::Failed || outcome == RunOutcome::NoConnection || outcome == RunOutcome::Refused;
    }
    bool cancelled() const { return outcome == RunOutcome::Cancelled; }
};

class RunEngine {
public:
    RunEngine(RunRequest request, RunSink& sink);
    RunResult run();
    void stop();
    bool stopRequested() const { return stop_; }

private:
    RunResult execute();
    // Runs the text on conn and walks its results; the outcome when nothing fails.
    RunResult runScript(db::Connection& conn, const QString& text);
    // The connection of this run: the session's, or a new one kept in owned.
    db::Connection* connect(std::unique_ptr<db::Connection>& owned);
    // Sends the script: in one call, or a statement at a time when it has parameters.
    void send(db::Connection& conn, const QString& text);
    void walkResults(db::Cursor& cursor);
    void noteClosedResult(const db::Cursor& cursor);
    // Writes one result set as text into pane, counting on from counter.
    // alsoToGrid: the rows go to the grid sink as a set of their own too.
    void writeTextSet(db::Cursor& cursor, Pane pane, qint64& counter, bool alsoToGrid = false);
    void writeGridSet(db::Cursor& cursor);
    // A new block for a result set of `columns` columns, sized like the last one.
    std::shared_ptr<db::RowBlock> newBlock(int columns) const;
    // Counts a block handed on against the memory limit; asks the sink when
    // it is passed.
    void holdBlock(const db::RowBlock& block);
    // Rows the row limit still allows in this run (max when there is none).
    qint64 rowsAllowed() const;
    // Counts rows as shown; true when they reached the row limit.
    bool countShown(qint64 rows);
    void report(qint64 rows);
    RunResult finish(RunOutcome outcome, const QString& closing);
    // Places a server error in the script and names its line in the closing message.
    void placeError(RunResult& result, db::Error error, const QString& sentText, const db::Connection* conn) const;
    // The count the closing message and the status bar show: every row the
    // text pane got, or the grid's rows.
    qint64 rowCount() const { return discarded_ ? 0 : request_.resultsInText ? shown_ : gridRows_; }

    RunRequest request_;
    RunSink& sink_;
    std::atomic<bool> stop_{false};
    std::mutex connMutex_;
    db::Connection* conn_ = nullptr; // for stop(); valid while the run holds it

    // What the walk has shown so far; kept here so a failure or a stop in
    // the middle of a set still reports what was delivered.
    qint64 fetched_ = 0;
    qint64 counter_ = 1;      // the running row counter of text mode (from 1)
    qint64 gridRows_ = 0;     // rows put into the grid
    qint64 shown_ = 0;        // rows shown anywhere, for the row limit
    bool limitHit_ = false;
    bool anyRowSet_ = false;
    bool gridTaken_ = false;  // the first result set went to the grid
    // The statement sent on its own that failed (a script with parameters):
    // its error positions are translated back into the script.
    std::optional<script::BoundStatement> failedStatement_;
    bool extended_ = false;
    bool discarded_ = false;
    qint64 held_ = 0;         // bytes of the row blocks handed on
    qint64 nextMemoryCheck_ = 0;
    size_t lastBlockBytes_ = 0, lastBlockCells_ = 0;
    QStringList notes_;       // "N Row(s) affected." of statements without rows
    script::StatementKind statementKind_ = script::StatementKind::None;
};
