#pragma once
// A small tmpfs of its own, to make a disk that is full: mounted on a
// temporary folder (as root), filled up by fill(), given room again by
// free(), unmounted at the end. Where mounting is not possible, mounted()
// is false and reason() says why, for the test to skip with.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

class SmallDisk {
public:
    explicit SmallDisk(const QString& size = QStringLiteral("8m")) {
        QProcess mount;
        mount.start(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                              QStringLiteral("size=") + size, QStringLiteral("tmpfs"), dir_.path()});
        if (!mount.waitForFinished(10000) || mount.exitStatus() != QProcess::NormalExit || mount.exitCode() != 0)
            reason_ = QStringLiteral("a tmpfs cannot be mounted here (%1): the full-disk cases need root")
                          .arg(QString::fromLocal8Bit(mount.readAllStandardError()).trimmed());
        else
            mounted_ = true;
    }
    ~SmallDisk() {
        if (mounted_) QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), dir_.path()});
    }
    bool mounted() const { return mounted_; }
    QString reason() const { return reason_; }
    QString path() const { return dir_.path(); }

    // Takes every byte left.
    void fill() {
        QFile f(filler());
        if (!f.open(QIODevice::Append)) return;
        const QByteArray block(64 * 1024, 'f');
        while (f.write(block) == block.size() && f.flush()) {}
        const QByteArray byte(1, 'f');
        while (f.write(byte) == 1 && f.flush()) {}
    }
    void free() { QFile::remove(filler()); }

private:
    QString filler() const { return dir_.filePath(QStringLiteral(".filler")); }
    QTemporaryDir dir_;
    bool mounted_ = false;
    QString reason_;
};
