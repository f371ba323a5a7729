#pragma once
// Loading many rows into one table, by the fastest way each backend has:
// PostgreSQL's COPY FROM STDIN, MariaDB's LOAD DATA LOCAL (fed from memory,
// never from a file the server names), SQLite's prepared INSERT stepped once
// per row; any other backend (and MariaDB when the server refuses LOCAL
// data) takes INSERT statements of many rows with bound values.
//
// Rows come as a RowBlock whose columns are the load's columns in order;
// text goes as it is and the server converts it to each column's type. The
// caller runs the load inside its own transaction.

#include "db/DbError.h"
#include "db/RowBlock.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace db {

class Connection;

class BulkLoad {
public:
    virtual ~BulkLoad() = default;
    // Sends rows [first, first + count) of block. Throws Error; when the
    // backend says which row failed, position().row is its index in block.
    virtual void load(const RowBlock& block, int first, int count) = 0;
};

// The generic load: INSERT INTO table (columns) VALUES (…), (…), … with
// bound values, as many rows a statement as its parameters allow. table and
// columns come quoted for the connection's dialect.
std::unique_ptr<BulkLoad> insertingLoad(Connection& conn, const QString& table, const QStringList& columns);

// Rows in the tab-separated text both PostgreSQL's COPY (text format) and
// MariaDB's LOAD DATA (default format) read: backslash escapes for
// backslash, tab, line feed and carriage return; \N for NULL; a line feed
// after each row.
void appendLoadText(QByteArray& out, const RowBlock& block, int row);

// An error of a load that sent rows from first on names its row counted
// from there: counts it from the block's start instead.
void rowFromBlockStart(Error& e, int first);

} // namespace db
