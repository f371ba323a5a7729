#pragma once
// Writing a file so that readers see either the old or the new content,
// never a mix: the bytes go to a temporary file in the same folder, which is
// flushed to disk and then renamed over the target. On failure the target is
// untouched and the Status says why.

#include "base/Result.h"

#include <QByteArray>
#include <QFileDevice>
#include <QString>

namespace fsutil {

// Owner read/write only (0600), for files that may hold passwords.
inline constexpr QFileDevice::Permissions kPrivate = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// Writes data to path atomically. A new file gets newFilePermissions; an
// existing file keeps its permissions; a read-only one is refused. When path
// is a symbolic link, the file it points to is written (beside it) and the
// link is kept.
Status writeFileAtomically(const QString& path, const QByteArray& data,
                           QFileDevice::Permissions newFilePermissions = kPrivate);

// The file a path finally points to (links followed), absolute.
QString resolvedTarget(const QString& path);

} // namespace fsutil
