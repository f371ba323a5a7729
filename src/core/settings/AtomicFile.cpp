#include "settings/AtomicFile.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace settings {

namespace {
QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}
} // namespace

QString resolvedTarget(const QString& path) {
    QFileInfo info(path);
    for (int hops = 0; hops < 40 && info.isSymLink(); ++hops) info = QFileInfo(info.symLinkTarget());
    return info.absoluteFilePath();
}

Status writeFileAtomically(const QString& path, const QByteArray& data,
                           QFileDevice::Permissions newFilePermissions) {
    AtomicStreamFile file;
    if (Status s = file.open(path, newFilePermissions); !s) return s;
    if (Status s = file.write(data); !s) return s;
    return file.commit();
}

AtomicStreamFile::AtomicStreamFile() = default;

AtomicStreamFile::~AtomicStreamFile() {
    discard();
}

Status AtomicStreamFile::open(const QString& path, QFileDevice::Permissions newFilePermissions) {
    discard();
    path_ = path;
    // Through a symbolic link the file it points to is replaced, and the link stays.
    const QFileInfo target(resolvedTarget(path));
    target_ = target.absoluteFilePath();
    if (target.exists() && !target.isWritable())
        return fail(QStringLiteral("The file %1 is read-only.").arg(path));
    const QString dir = target.absolutePath();
    if (!QFileInfo(dir).isDir()) return fail(QStringLiteral("The folder %1 does not exist.").arg(dir));
    permissions_ = target.exists() ? QFile::permissions(target_) : newFilePermissions;

    tmp_ = std::make_unique<QTemporaryFile>(dir + QStringLiteral("/.") + target.fileName() +
                                            QStringLiteral(".XXXXXX"));
    tmp_->setAutoRemove(true);
    if (!tmp_->open()) {
        const QString why = tmp_->errorString();
        tmp_.reset();
        return fail(QStringLiteral("Cannot write in %1: %2").arg(dir, why));
    }
    return {};
}

QString AtomicStreamFile::temporaryPath() const {
    return tmp_ ? tmp_->fileName() : QString();
}

Status AtomicStreamFile::failed(const QString& why) {
    discard();
    return fail(QStringLiteral("Cannot write %1: %2").arg(path_, why));
}

Status AtomicStreamFile::write(const char* data, qint64 size) {
    if (!tmp_) return fail(QStringLiteral("Cannot write %1: it is not open.").arg(path_));
    errno = 0;
    if (size > 0 && tmp_->write(data, size) != size) return failed(errno ? systemError() : tmp_->errorString());
    return {};
}

Status AtomicStreamFile::commit() {
    if (!tmp_) return fail(QStringLiteral("Cannot write %1: it is not open.").arg(path_));
    errno = 0;
    if (!tmp_->flush()) return failed(errno ? systemError() : tmp_->errorString());
    if (::fsync(tmp_->handle()) != 0) return failed(systemError());
    tmp_->setPermissions(permissions_);
    tmp_->close();
    if (std::rename(QFile::encodeName(tmp_->fileName()).constData(),
                    QFile::encodeName(target_).constData()) != 0) {
        const QString why = systemError();
        discard();
        return fail(QStringLiteral("Cannot replace %1: %2").arg(path_, why));
    }
    tmp_->setAutoRemove(false); // it has become the target
    tmp_.reset();
    return {};
}

void AtomicStreamFile::discard() {
    tmp_.reset(); // auto-remove deletes the temporary file
}

} // namespace settings
