#include "store/RecoveryJournal.h"

#include "settings/AppPaths.h"
#include "settings/AtomicFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

#include <csignal>
#include <cerrno>

namespace {

bool processAlive(qint64 pid) {
    if (pid <= 0) return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

QString entryPath(const QString& id) { return RecoveryJournal::folder() + QLatin1Char('/') + id + QStringLiteral(".json"); }

} // namespace

QString RecoveryJournal::folder() { return AppPaths::file(QStringLiteral("recovery")); }

QString RecoveryJournal::newId() {
    return QStringLiteral("%1-%2").arg(QCoreApplication::applicationPid()).arg(QUuid::createUuid().toString(QUuid::Id128));
}

Status RecoveryJournal::write(const QString& id, const QString& fileName, const QString& title, const QString& text) {
    const QString dir = folder();
    if (dir.isEmpty()) return fail(QStringLiteral("No application home is set."));
    if (!QDir().mkpath(dir)) return fail(QStringLiteral("The folder %1 could not be created.").arg(dir));
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QJsonObject o;
    o[QStringLiteral("pid")] = QCoreApplication::applicationPid();
    o[QStringLiteral("file")] = fileName;
    o[QStringLiteral("title")] = title;
    o[QStringLiteral("text")] = text;
    return fsutil::writeFileAtomically(entryPath(id), QJsonDocument(o).toJson(QJsonDocument::Compact), fsutil::kPrivate);
}

void RecoveryJournal::remove(const QString& id) { QFile::remove(entryPath(id)); }

std::vector<RecoveredDocument> RecoveryJournal::orphans() {
    std::vector<RecoveredDocument> found;
    const QDir dir(folder());
    for (const QString& name : dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Time | QDir::Reversed)) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly)) continue;
        const QJsonObject o = QJsonDocument::fromJson(f.readAll()).object();
        if (o.isEmpty() || processAlive(o.value(QStringLiteral("pid")).toInteger())) continue;
        found.push_back({dir.filePath(name), o.value(QStringLiteral("file")).toString(),
                         o.value(QStringLiteral("title")).toString(), o.value(QStringLiteral("text")).toString()});
    }
    return found;
}

void RecoveryJournal::discard(const RecoveredDocument& doc) { QFile::remove(doc.entryPath); }
