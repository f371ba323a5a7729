#include "settings/AppPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>

namespace {
QMutex homeMutex;
QString homeDir;
} // namespace

QString AppPaths::resolve(const QString& homeOption, const QString& executableDir) {
    QString dir = homeOption;
    if (dir.isEmpty()) dir = qEnvironmentVariable("SQLQE_HOME");
    if (dir.isEmpty() && !executableDir.isEmpty() && QFileInfo::exists(executableDir + QStringLiteral("/config.ini")))
        dir = executableDir;
    if (dir.isEmpty()) {
        QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
        if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config");
        dir = config + QStringLiteral("/sql-query-editor");
    }
    set(QDir(dir).absolutePath());
    return home();
}

void AppPaths::set(const QString& dir) {
    QMutexLocker lock(&homeMutex);
    homeDir = dir;
}

QString AppPaths::home() {
    QMutexLocker lock(&homeMutex);
    return homeDir;
}

QString AppPaths::file(const QString& name) {
    const QString dir = home();
    return dir.isEmpty() ? QString() : dir + QLatin1Char('/') + name;
}
