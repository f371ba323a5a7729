#pragma once
// Walks the results of one call on a PostgreSQL connection. The call's text
// goes to the server whole (several statements run one after another) and
// its rows come back one by one, so the first rows are there at once and
// memory holds only what the caller keeps. Columns whose description depends
// on their values (arrays, numbers without a declared precision) are read
// ahead by the rows the ODBC driver would read first, so both describe them
// alike.

#include "db/CallState.h"
#include "db/Connection.h"
#include "db/PgTypes.h"

#include <deque>

struct pg_conn;
struct pg_result;

namespace db {

class PgConnection;

class PgCursor final : public Cursor, public OpenCall {
public:
    PgCursor(PgConnection& conn, const QString& sql, const Params& params);
    ~PgCursor() override;

    int appendRows(RowBlock& block, int maxRows) override;
    bool nextResult() override;
    // Ends the call: rows still streaming are stopped on the server, what is
    // left is read and dropped. The cursor has no further results then.
    void abandon() override;

private:
    // Reads and drops everything left of the call.
    void finishCall();
    void send(const QString& sql, const Params& params);
    // Makes result the current set: its fields, or the count of a statement without rows.
    void begin(pg_result* result);
    // The next row of the current set from the server; nullptr at its end.
    pg_result* readRow();
    void copyRow(const pg_result* row, RowBlock& block) const;
    [[noreturn]] void fail(pg_result* result);

    PgConnection& conn_;
    pg_conn* pg_;
    bool callDone_ = false; // the server has sent every result of the call
    bool setDone_ = true;   // the current set has no rows left on the server
    std::deque<pg_result*> readAhead_;
    std::vector<pg::ValueKind> kinds_;
    bool asSent_ = true;    // every column's values are written as sent
    QString text_;          // the call's text when sent as written (for error positions)
    int statement_ = 0;     // the statement of the call whose result is current
};

} // namespace db
