#pragma once
// Writing a file so that readers see either the old or the new content,
// never a mix: the bytes go to a temporary file in the same folder, which is
// flushed to disk and then renamed over the target. On failure the target is
// untouched and the reason is returned.

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <optional>

namespace fsutil {

struct WriteResult {
    bool ok = false;
    QString error; // why the write failed, for the user
};

// Writes data to path atomically. A new file gets newFilePermissions; an
// existing file keeps its permissions.
WriteResult writeFileAtomically(const QString& path, const QByteArray& data,
                                QFileDevice::Permissions newFilePermissions = QFileDevice::ReadOwner |
                                                                              QFileDevice::WriteOwner);

// Owner read/write only (0600), for files that may hold passwords.
inline constexpr QFileDevice::Permissions kPrivate = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

} // namespace fsutil
