#pragma once
// Description of one column of a result set.

#include "db/FieldType.h"

#include <QString>

#include <optional>

namespace db {

// Where a result column's values come from, as far as the backend says: the
// base table (or view) and its column. Filled where the client library
// reports it (PostgreSQL by table number and column number, to be named
// from the catalogue; MariaDB and SQLite by name); absent for expressions
// and where the backend cannot tell. Used to decide whether a result can be
// edited.
struct FieldOrigin {
    QString catalog;          // database (MariaDB, SQLite: "main", …)
    QString schema;           // PostgreSQL schema, when named
    QString table;            // empty when only tableId is known
    QString column;
    unsigned tableId = 0;     // PostgreSQL: the table's oid
    int columnNumber = 0;     // PostgreSQL: the column's attnum
    unsigned typeId = 0;      // PostgreSQL: the column type's oid
    // MariaDB's field flags: part of the primary key, of a unique key; no
    // NULL allowed; filled by the server.
    bool primaryKey = false;
    bool uniqueKey = false;
    bool notNull = false;
    bool autoIncrement = false;
};

struct Field {
    QString name;
    FieldType type = FieldType::VarChar;
    int precision = 255;     // digits for numbers, display size (<= 255) otherwise
    qint64 definedSize = 0;  // declared size: characters for text, bytes otherwise
    // The type declares no size (text, blobs, long types): the text layout
    // sizes such a column from its values instead of its precision.
    bool unsized = false;
    std::optional<FieldOrigin> origin = std::nullopt;
};

} // namespace db
