#pragma once
// The statements that save a change set: one INSERT, UPDATE or DELETE per
// changed row, values always as bound parameters, names quoted for the
// server's dialect. An UPDATE or DELETE names its row by the key's values
// as read; an UPDATE also requires the changed columns to still hold the
// values read (where the type compares exactly), so a row someone else
// changed since is not overwritten: it matches no row and the save stops.
// INSERTs (and UPDATEs where the server can) return the row as saved, so
// generated keys and defaults can be shown.
//
// Each statement also has a review text with the values inlined as
// literals, for the user to read before saving; it is never run.

#include "catalog/SqlDialect.h"
#include "db/Connection.h"
#include "edit/ChangeSet.h"
#include "edit/EditTarget.h"

#include <vector>

namespace edit {

struct SaveStatement {
    enum class Kind { Insert, Update, Delete };
    Kind kind = Kind::Update;
    qint64 row = 0;      // the change set's row
    QString sql;         // with placeholders
    db::Params params;
    QString review;      // values inlined, for reading only
    bool returnsRow = false; // the saved row comes back (RETURNING the result's columns)
};

// fields: the result's, in the order of the target's columns.
std::vector<SaveStatement> buildSaveStatements(const EditTarget& target, const std::vector<db::Field>& fields,
                                               const ChangeSet& changes, const SqlDialect& dialect);

// How messages name a row: its key as read ("id=7", "a=1, b='x'"), or
// "new row N" for an inserted one.
QString rowName(const EditTarget& target, const ChangeSet& changes, qint64 row);

// The table's name, qualified and quoted for the dialect.
QString qualifiedName(const TableName& table, const SqlDialect& dialect);

} // namespace edit
