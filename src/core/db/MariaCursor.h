#pragma once
// Walks the results of one call on a MariaDB connection. The text goes to
// the server whole (several statements in one call) and each result set
// streams row by row (mysql_use_result): nothing is held but the rows the
// caller keeps. Leaving a set early reads its remaining rows off the wire;
// destroying the cursor while rows stream kills the statement first, and so
// does discarding the rest of the script's last statement when it is a query
// that only reads (killing an earlier one would end the whole call).

#include "db/CallState.h"
#include "db/Connection.h"

struct st_mysql;
struct st_mysql_res;

namespace db {

class MariaConnection;

class MariaCursor final : public Cursor, public OpenCall {
public:
    MariaCursor(MariaConnection& conn, const QString& sql, std::vector<ScriptStatement> statements = {});
    ~MariaCursor() override;

    int appendRows(RowBlock& block, int maxRows) override;
    bool nextResult() override;
    void discardRestOfSet() override;
    // Ends the call: a statement still streaming rows is killed, what is left
    // is read and dropped. The cursor has no further results then.
    void abandon() override;

private:
    // Reads and drops everything left of the call.
    void finishCall();
    // Makes the connection's current result the cursor's set.
    void begin();
    [[noreturn]] void fail();
    // The connection's last error, placed at the statement being run.
    Error placedError();

    MariaConnection& conn_;
    st_mysql* mysql_;
    st_mysql_res* result_ = nullptr;
    bool setDone_ = true;   // the current set has no rows left on the server
    bool callDone_ = false; // the call has no results left
    std::vector<char> binary_; // per column: bytes shown as hex digits
    int statement_ = 0;        // the statement of the call whose result is current
    std::vector<ScriptStatement> statements_; // of a script, when the caller found them
    bool stopped_ = false;     // its last statement was stopped for a row limit
};

} // namespace db
