#include "store/RecoveryJournal.h"

#include "settings/AppPaths.h"
#include "settings/AtomicFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

#include <QMutex>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

bool processAlive(qint64 pid) {
    if (pid <= 0) return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

QString entryPath(const QString& id) { return RecoveryJournal::folder() + QLatin1Char('/') + id + QStringLiteral(".json"); }

// This process's instance: a name, and a lock file it holds locked for as
// long as it lives. A journal entry is an orphan exactly when nobody holds
// its instance's lock; a PID alone can belong to another process by now.
struct Instance {
    QString name = QUuid::createUuid().toString(QUuid::Id128);
    QString folder; // where the lock is held
    int fd = -1;
};

QMutex instanceMutex;
Instance& instance() {
    static Instance i;
    return i;
}

QString lockPath(const QString& folder, const QString& name) {
    return folder + QLatin1Char('/') + name + QStringLiteral(".lock");
}

// Takes this process's lock in the journal folder (once per folder).
void holdInstanceLock(const QString& folder) {
    QMutexLocker lock(&instanceMutex);
    Instance& i = instance();
    if (i.fd >= 0 && i.folder == folder) return;
    if (i.fd >= 0) ::close(i.fd); // the home moved (tests): the old lock goes
    i.folder = folder;
    i.fd = ::open(QFile::encodeName(lockPath(folder, i.name)).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (i.fd >= 0) ::flock(i.fd, LOCK_EX | LOCK_NB);
}

// Whether a live process holds the named instance's lock; the lock file of
// a dead one is removed.
bool instanceAlive(const QString& folder, const QString& name) {
    const QString path = lockPath(folder, name);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    if (!held) QFile::remove(path);
    ::close(fd);
    return held;
}

} // namespace

QString RecoveryJournal::folder() { return AppPaths::stateFile(QStringLiteral("recovery")); }

QString RecoveryJournal::newId() {
    return QStringLiteral("%1-%2").arg(QCoreApplication::applicationPid()).arg(QUuid::createUuid().toString(QUuid::Id128));
}

Status RecoveryJournal::write(const QString& id, const QString& fileName, const QString& title, const QString& text) {
    const QString dir = folder();
    if (dir.isEmpty()) return fail(QStringLiteral("No folder for unsaved scripts is set."));
    if (!QDir().mkpath(dir)) return fail(QStringLiteral("The folder %1 could not be created.").arg(dir));
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QJsonObject o;
    o[QStringLiteral("pid")] = QCoreApplication::applicationPid();
    holdInstanceLock(dir);
    {
        QMutexLocker lock(&instanceMutex);
        o[QStringLiteral("instance")] = instance().name;
    }
    o[QStringLiteral("file")] = fileName;
    o[QStringLiteral("title")] = title;
    o[QStringLiteral("text")] = text;
    return settings::writeFileAtomically(entryPath(id), QJsonDocument(o).toJson(QJsonDocument::Compact), settings::kPrivate);
}

void RecoveryJournal::remove(const QString& id) { QFile::remove(entryPath(id)); }

std::vector<RecoveredDocument> RecoveryJournal::orphans() {
    std::vector<RecoveredDocument> found;
    const QDir dir(folder());
    for (const QString& name : dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Time | QDir::Reversed)) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly)) continue;
        const QJsonObject o = QJsonDocument::fromJson(f.readAll()).object();
        if (o.isEmpty()) continue;
        const QString owner = o.value(QStringLiteral("instance")).toString();
        const bool alive = owner.isEmpty() ? processAlive(o.value(QStringLiteral("pid")).toInteger()) // older entries
                                           : instanceAlive(dir.path(), owner);
        if (alive) continue;
        found.push_back({dir.filePath(name), o.value(QStringLiteral("file")).toString(),
                         o.value(QStringLiteral("title")).toString(), o.value(QStringLiteral("text")).toString()});
    }
    return found;
}

void RecoveryJournal::discard(const RecoveredDocument& doc) { QFile::remove(doc.entryPath); }
