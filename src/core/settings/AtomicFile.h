#pragma once
// Writing a file so that readers see either the old or the new content,
// never a mix: the bytes go to a temporary file in the same folder, which is
// flushed to disk and then renamed over the target. On failure the target is
// untouched, no temporary file is left, and the Status says why.

#include "base/Result.h"

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <memory>

class QTemporaryFile;

namespace settings {

// Owner read/write only (0600), for files that may hold passwords.
inline constexpr QFileDevice::Permissions kPrivate = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
// Owner read/write, everyone read (0644), for documents the user hands on.
inline constexpr QFileDevice::Permissions kShared =
    kPrivate | QFileDevice::ReadGroup | QFileDevice::ReadOther;

// Writes data to path atomically. A new file gets newFilePermissions; an
// existing file keeps its permissions; a read-only one is refused. When path
// is a symbolic link, the file it points to is written (beside it) and the
// link is kept.
Status writeFileAtomically(const QString& path, const QByteArray& data,
                           QFileDevice::Permissions newFilePermissions = kPrivate);

// The file a path finally points to (links followed), absolute.
QString resolvedTarget(const QString& path);

// The same, for content written in pieces (an export of a million rows):
// open(), write() as often as needed, commit(). Until commit() succeeds the
// target is untouched; a failed write, a failed commit or destruction
// without commit removes the temporary file.
class AtomicStreamFile {
public:
    AtomicStreamFile();
    ~AtomicStreamFile();
    AtomicStreamFile(const AtomicStreamFile&) = delete;
    AtomicStreamFile& operator=(const AtomicStreamFile&) = delete;

    Status open(const QString& path, QFileDevice::Permissions newFilePermissions = kPrivate);
    // The temporary file, for a writer that must be handed a file name (it
    // may rewrite the file; commit() still syncs and renames it).
    QString temporaryPath() const;
    Status write(const char* data, qint64 size);
    Status write(const QByteArray& data) { return write(data.constData(), data.size()); }
    Status commit();
    // Drops what was written; the target stays as it was.
    void discard();

private:
    Status failed(const QString& why);
    QString path_;   // as the caller named it (for messages)
    QString target_; // the file finally replaced
    QFileDevice::Permissions permissions_;
    std::unique_ptr<QTemporaryFile> tmp_;
};

} // namespace settings
