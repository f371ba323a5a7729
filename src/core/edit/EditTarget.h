#pragma once
// What the rows of a result can be saved back to: one base table, which
// result column is which of its columns, and the result columns that name a
// row (its primary key, or a unique key without NULLs). When the result
// cannot be edited, readOnlyReason says why in words for the user
// ("read-only: no primary key in the result").
//
// readEditTarget() asks the server (catalogue reads on the caller's
// connection, so on a worker thread); originProblem() is the part that needs
// only the fields.

#include "catalog/SqlDialect.h"
#include "db/Connection.h"
#include "db/Field.h"

#include <QString>

#include <vector>

namespace edit {

struct TableName {
    QString catalog; // database (MariaDB, SQLite); empty for PostgreSQL
    QString schema;  // PostgreSQL
    QString name;
};

struct EditTarget {
    db::ServerFamily server = db::ServerFamily::Other;
    SqlDialect dialect; // how the server writes names
    TableName table;
    std::vector<QString> columns; // per result column: the table column it shows
    std::vector<int> keyColumns;  // result columns naming a row, in key order
    QString readOnlyReason;       // empty when the result can be edited
    // SQLite rows named by their rowid (RowIdKey): each fetched row's rowid.
    // The rowid is then a column past the result's (columns has one name
    // more than the result, keyColumns names it), shown nowhere.
    std::vector<QString> rowIds;

    bool editable() const { return readOnlyReason.isEmpty(); }
    bool isKey(int column) const;
    static EditTarget readOnly(QString reason);
};

// Why the fields alone rule editing out (an expression column, two tables),
// or empty when they come from one table.
QString originProblem(const std::vector<db::Field>& fields, db::ServerFamily server);

// The edit target of a result with these fields, read from the server's
// catalogue on conn. Never throws: a failed read makes the result read-only
// with the server's message.
EditTarget readEditTarget(db::Connection& conn, const std::vector<db::Field>& fields);

// The key to use among the table's unique keys (each a list of column
// names, the primary key first, only keys without NULLs): the first whose
// columns are all among resultColumns, as result column numbers; empty when
// none is. Comparison of names follows the server (case-sensitive except for
// MariaDB and SQLite).
std::vector<int> chooseKey(const std::vector<std::vector<QString>>& uniqueKeys, const std::vector<QString>& resultColumns,
                           Qt::CaseSensitivity names);

} // namespace edit
