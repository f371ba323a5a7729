#pragma once
// The key a table's rows are found by: the columns of its primary key, in
// key order; without one, those of its first unique index whose columns are
// all NOT NULL. The statement generator's UPDATE and DELETE skeletons
// find their row by it.

#include "base/Result.h"

#include <QString>
#include <QStringList>

namespace catalog {

// Opens its own connection (as the other readers do). Empty when the table
// has no such key, or on a server whose catalogue this does not read (the
// skeletons then use every column).
Result<QStringList> getKeyColumnList(const QString& connectionString, const QString& table,
                                     const QString& currentDatabase, const QString& schema = QString());

} // namespace catalog
