#pragma once
// A new SQLite file is built under a temporary name and renamed into place
// when complete (the demo database, the resource database), so a crash never
// leaves half a database where the program looks. While it is filled it
// needs neither a rollback journal nor a sync per statement: a failed build
// is thrown away whole. One sync of the finished file before the rename keeps
// the renamed file complete on disk. On a first start this turns some fifty
// disk syncs into one.

#include "base/Result.h"

#include <QString>

namespace db {
class Connection;
}

namespace store {

// Switches a connection to a file being built aside to unjournalled,
// unsynced writes. Throws db::Error like any statement.
void fillWithoutSyncs(db::Connection& conn);

// Puts the finished file on disk (fsync), then renames it to target.
// The connection that filled it must be closed first.
Status syncAndRename(const QString& built, const QString& target);

} // namespace store
