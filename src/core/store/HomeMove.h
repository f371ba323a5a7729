#pragma once
// Moving the home of an earlier version, which kept everything in the
// config folder ($XDG_CONFIG_HOME/sql-query-editor), to the XDG folders
// (AppPaths): the resource database with its journal files and any damaged
// copies set aside, and the demo database go to the data folder, the
// unsaved-work journal to the state folder; config.ini stays.
//
// Each file is copied to its new place atomically (a temporary file,
// flushed, renamed into place); the old files are removed only once every
// copy is in place. A failure on the way removes this run's copies, leaves
// the old home exactly as it was and uses it for this run; the next start
// tries again. A move cut short (a crash, a kill) is finished by the next
// start: a copy that already holds the same bytes is not made again. Where
// the new place already holds a different file (an older version started
// in between and made a fresh one), the new one stays in use and the old
// file is kept beside its old name, ".not-moved" added.

#include "base/Result.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace store {

// Copies a file to a new path so that the path holds the whole copy or
// nothing; a symbolic link is copied as the same link.
using CopyFile = std::function<Status(const QString& from, const QString& to)>;
Status copyAtomically(const QString& from, const QString& to);

// Moves what there is to move in the current folders (nothing when they
// are one folder). Returns the messages for the user: what moved where, or
// why nothing did; empty when there was nothing to move.
QStringList moveOldHome(const CopyFile& copy = copyAtomically);

} // namespace store
