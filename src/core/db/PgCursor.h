#pragma once
// Walks the results of one call on a PostgreSQL connection, or of a script
// whose statements go in the calls PgBatch makes of them. Rows come back one
// by one (single-row mode), so the first rows are there at once and memory
// holds only what the caller keeps. Columns whose description depends on
// their values (arrays, numbers without a declared precision) are read
// ahead by the rows the ODBC driver would read first, so both describe them
// alike.
//
// A script's COMMITs of ours are read past, and the next call goes out when
// one ends. When the caller discards the rest of a query that only reads
// (a row limit), the statement is cancelled on the server; the statements
// the cancel kept from running go out again in the next call.

#include "db/CallState.h"
#include "db/Connection.h"
#include "db/PgBatch.h"
#include "db/PgTypes.h"

#include <chrono>
#include <deque>
#include <optional>

struct pg_conn;
struct pg_result;

namespace db {

class PgConnection;

class PgCursor final : public Cursor, public OpenCall {
public:
    PgCursor(PgConnection& conn, const QString& sql, const Params& params);
    PgCursor(PgConnection& conn, const QString& script, std::vector<ScriptStatement> statements);
    ~PgCursor() override;

    int appendRows(RowBlock& block, int maxRows) override;
    bool nextResult() override;
    void discardRestOfSet() override;
    // Ends the call: rows still streaming are stopped on the server, what is
    // left is read and dropped. The cursor has no further results then.
    void abandon() override;

private:
    // Reads and drops everything left of the call.
    void finishCall();
    void send(const QString& sql, const Params& params);
    // Sends the script's next call; false when every statement has gone.
    bool sendNextBatch();
    // The next result of the user's statements: COMMITs of ours are read
    // past and further calls of a script sent. nullptr at the end.
    pg_result* nextStatementResult();
    // Makes result the current set: its fields, or the count of a statement without rows.
    void begin(pg_result* result);
    // The statement whose result is current has sent all of it.
    void statementDone();
    // The next row of the current set from the server; nullptr at its end.
    pg_result* readRow();
    using Clock = std::chrono::steady_clock;
    // Rows a slow producer has sent are handed on after this wait for more.
    static constexpr std::chrono::milliseconds kFirstRowsWait{100};
    // Whether the next result can be read without waiting past deadline.
    bool readyBy(Clock::time_point deadline);
    void copyRow(const pg_result* row, RowBlock& block) const;
    // True when result is the error our own cancel (after discardRestOfSet)
    // caused: it is dropped, and the statements it kept from running are
    // sent again.
    bool takeOwnCancel(pg_result* result);
    // The script statement the current result belongs to.
    size_t currentStatement() const;
    [[noreturn]] void fail(pg_result* result);

    PgConnection& conn_;
    pg_conn* pg_;
    bool callDone_ = false; // the server has sent every result of the call (of the script)
    bool setDone_ = true;   // the current set has no rows left on the server
    std::deque<pg_result*> readAhead_;
    QString text_;          // the call's text when sent as written (for error positions)
    int statement_ = 0;     // the statement of the call whose result is current

    // A script sent statement by statement.
    bool script_ = false;
    QString scriptText_;
    std::vector<ScriptStatement> statements_;
    pg::Batch batch_;
    size_t nextStatement_ = 0; // the first statement not sent yet
    size_t inBatch_ = 0;       // the statement of the batch whose result is current
    bool awaitingCommit_ = false;
    // Calls that may still meet our cancel; the statement it was meant for.
    int ownCancelCalls_ = 0;
    std::optional<size_t> cancelled_;
};

} // namespace db
