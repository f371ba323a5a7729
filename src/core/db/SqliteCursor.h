#pragma once
// Walks the statements of one SQLite script: each statement is one result
// set, run when the cursor reaches it.

#include "db/Connection.h"

#include <QByteArray>

struct sqlite3_stmt;

namespace db {

class SqliteConnection;

// The field a declared column type stands for (type number, precision, size).
Field sqliteDeclaredField(const QString& name, const QString& declaredType);

class SqliteCursor final : public Cursor {
public:
    SqliteCursor(SqliteConnection& conn, const QString& sql, const Params& params);
    ~SqliteCursor() override;

    int appendRows(RowBlock& block, int maxRows) override;
    bool nextResult() override;

private:
    // Prepares and starts the next non-empty statement; false at the end.
    bool startNext(const Params& params);
    void finalize();
    // Throws the connection's error, placed at the statement being run (and
    // at the token SQLite names when preparing it failed).
    [[noreturn]] void fail(int rc, bool preparing = false);

    SqliteConnection& conn_;
    QByteArray sql_;
    const char* tail_;
    const char* statement_ = nullptr; // where the statement being run begins in sql_
    sqlite3_stmt* stmt_ = nullptr;
    bool pendingRow_ = false; // the statement has stepped onto a row not yet fetched
};

} // namespace db
