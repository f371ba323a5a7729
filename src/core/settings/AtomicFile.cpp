#include "settings/AtomicFile.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace fsutil {

QString resolvedTarget(const QString& path) {
    QFileInfo info(path);
    for (int hops = 0; hops < 40 && info.isSymLink(); ++hops) info = QFileInfo(info.symLinkTarget());
    return info.absoluteFilePath();
}

Status writeFileAtomically(const QString& path, const QByteArray& data,
                                QFileDevice::Permissions newFilePermissions) {
    // Through a symbolic link the file it points to is replaced, and the link stays.
    const QFileInfo target(resolvedTarget(path));
    if (target.exists() && !target.isWritable())
        return fail(QStringLiteral("The file %1 is read-only.").arg(path));
    const QString dir = target.absolutePath();
    if (!QFileInfo(dir).isDir()) return fail(QStringLiteral("The folder %1 does not exist.").arg(dir));

    QTemporaryFile tmp(dir + QStringLiteral("/.") + target.fileName() + QStringLiteral(".XXXXXX"));
    tmp.setAutoRemove(true);
    if (!tmp.open()) return fail(QStringLiteral("Cannot write in %1: %2").arg(dir, tmp.errorString()));
    if (tmp.write(data) != data.size() || !tmp.flush())
        return fail(QStringLiteral("Cannot write %1: %2").arg(path, tmp.errorString()));
    if (::fsync(tmp.handle()) != 0)
        return fail(QStringLiteral("Cannot write %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    tmp.setPermissions(target.exists() ? QFile::permissions(target.absoluteFilePath()) : newFilePermissions);
    tmp.close();
    if (std::rename(QFile::encodeName(tmp.fileName()).constData(), QFile::encodeName(target.absoluteFilePath()).constData()) != 0)
        return fail(QStringLiteral("Cannot replace %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    tmp.setAutoRemove(false); // it has become the target
    return {};
}

} // namespace fsutil
