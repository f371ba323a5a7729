#pragma once
// SQLite names every row of a rowid table by its rowid, so a result of one
// such table that shows no key can still be saved back: the rows are read
// once more with the rowid added as a first, hidden column, and the edit
// target names rows by it. What the grid shows is the user's own result,
// untouched; the second read only lends each row its rowid, and only when
// its other columns hold exactly what the grid holds, row for row.
//
// Only a plain select of the table qualifies: one table after FROM (no
// join, comma or subquery there), no DISTINCT, GROUP BY, compound
// (UNION …), WITH or window clause, and the table named as the target's
// (a view keeps its reason), and a result of at most 100,000 rows (a bigger
// one is told to select the rowid itself). Blocking: call it on the
// connection's thread.

#include "edit/ChangeSet.h"
#include "edit/EditTarget.h"

#include <functional>

namespace edit {

// sql with `rowidName AS <hidden name>` added as its first column when it is
// a plain select of the table `table`; empty otherwise.
QString withRowId(const QString& sql, const QString& table, const QString& rowidName);

// Makes a SQLite target that is read-only for want of a key name its rows
// by their rowid, read with sql; shown(row, column) is what the grid holds
// of its first shownRows rows. Returns whether the target became editable;
// otherwise it is left as it was.
bool keyByRowId(db::Connection& conn, const QString& sql, EditTarget& target, qint64 shownRows,
                const std::function<Value(qint64, int)>& shown);

} // namespace edit
