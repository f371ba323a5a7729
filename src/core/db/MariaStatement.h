#pragma once
// A MariaDB prepared statement that runs again and again with new values:
// the text goes to the server once (its parse and plan are kept there) and
// each run sends only the values, bound, never pasted into the text. Text
// values go as UTF-8, a QByteArray's bytes as they are (a BLOB). Rows a run
// returns (SELECT, INSERT … RETURNING) are read whole, binary columns as
// "0x" and upper-case hex digits, as the streaming cursor shows them.

#include "db/Connection.h"

struct st_mysql;
struct st_mysql_stmt;

namespace db::maria {

class PreparedStatement {
public:
    // Prepares sql on the connection; throws the server's Error when it
    // cannot (a syntax error, an unknown table).
    PreparedStatement(st_mysql* connection, const QString& sql);
    ~PreparedStatement();
    PreparedStatement(const PreparedStatement&) = delete;
    PreparedStatement& operator=(const PreparedStatement&) = delete;

    // Runs the statement with params (one per "?", else an Error before
    // anything is sent): the rows it changed or, for a statement with rows,
    // the rows. Throws the server's Error; the statement stays usable.
    BatchResult run(const Params& params);

private:
    Error error() const;
    Table readRows();

    st_mysql_stmt* stmt_ = nullptr;
};

} // namespace db::maria
