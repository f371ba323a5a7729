#include "settings/AppPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>

namespace {

const QString kFolderName = QStringLiteral("sql-query-editor");

QMutex foldersMutex;
AppFolders current;

// $variable when it holds an absolute path, else the default under $HOME.
QString baseDirectory(const char* variable, const QString& underHome) {
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value)) return QDir::cleanPath(value);
    return QDir::homePath() + QLatin1Char('/') + underHome;
}

} // namespace

AppFolders AppPaths::xdgFolders() {
    return {baseDirectory("XDG_CONFIG_HOME", QStringLiteral(".config")) + QLatin1Char('/') + kFolderName,
            baseDirectory("XDG_DATA_HOME", QStringLiteral(".local/share")) + QLatin1Char('/') + kFolderName,
            baseDirectory("XDG_STATE_HOME", QStringLiteral(".local/state")) + QLatin1Char('/') + kFolderName};
}

AppFolders AppPaths::resolve(const QString& homeOption, const QString& executableDir) {
    QString dir = homeOption;
    if (dir.isEmpty()) dir = qEnvironmentVariable("SQLQE_HOME");
    if (dir.isEmpty() && !executableDir.isEmpty() &&
        QFileInfo::exists(executableDir + QStringLiteral("/config.ini")))
        dir = executableDir;
    if (dir.isEmpty())
        set(xdgFolders());
    else
        set(QDir(dir).absolutePath());
    return folders();
}

QString AppPaths::environmentHelp() {
    return QStringLiteral(
        "Environment:\n"
        "  SQLQE_HOME       keep every file in this folder (as --home does)\n"
        "  XDG_CONFIG_HOME  settings: $XDG_CONFIG_HOME/sql-query-editor/config.ini\n"
        "                   (default ~/.config/sql-query-editor)\n"
        "  XDG_DATA_HOME    saved connections, history, templates, demo database:\n"
        "                   $XDG_DATA_HOME/sql-query-editor (default ~/.local/share/...)\n"
        "  XDG_STATE_HOME   unsaved scripts, the external tools' folder:\n"
        "                   $XDG_STATE_HOME/sql-query-editor (default ~/.local/state/...)\n");
}

void AppPaths::set(const QString& dir) {
    set(AppFolders{dir, dir, dir});
}

void AppPaths::set(const AppFolders& folders) {
    QMutexLocker lock(&foldersMutex);
    current = folders;
}

AppFolders AppPaths::folders() {
    QMutexLocker lock(&foldersMutex);
    return current;
}

QString AppPaths::file(const QString& dir, const QString& name) {
    return dir.isEmpty() ? QString() : dir + QLatin1Char('/') + name;
}
