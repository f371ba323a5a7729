#pragma once
// What the server's catalogue says about the table a result column comes
// from: its name, its columns by number (PostgreSQL reports columns by
// number only), whether rows can be written through it, and its unique keys
// without NULLs (the primary key first). One reader per backend, each a
// few catalogue queries with bound parameters.

#include "db/Connection.h"
#include "db/Field.h"
#include "edit/EditTarget.h"

#include <QHash>

namespace edit {

struct KeyCatalogue {
    TableName table;
    QHash<int, QString> columnNames;              // PostgreSQL: attnum -> name
    std::vector<std::vector<QString>> uniqueKeys; // column names; primary key first
    QString problem; // why rows cannot be written there (a view that cannot be updated)
};

// Throws db::Error when a catalogue read fails.
KeyCatalogue readKeyCatalogue(db::Connection& conn, const db::FieldOrigin& origin);

} // namespace edit
