#include "settings/AppHome.h"

#include "settings/AtomicFile.h"
#include "store/ResourceDb.h"
#include "db/Connection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>

namespace {

QMutex homeMutex;
QString homeDir;

QString loadResource(const QString& name) {
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

// The demo database is built from its script into a temporary file that is
// renamed into place, so a crash never leaves half a database behind.
QString createDemoDatabase(const QString& target) {
    const QString tmp = target + QStringLiteral(".building");
    QFile::remove(tmp);
    try {
        auto conn = db::Connection::open(QStringLiteral("Provider=SQLite;Data Source=") + tmp, {15, true});
        auto cursor = conn->execute(loadResource(QStringLiteral(":/sql/demo.sql")));
        while (cursor->nextResult()) {
        }
    } catch (const db::Error& e) {
        QFile::remove(tmp);
        return QStringLiteral("The demo database could not be created: %1").arg(e.description());
    }
    if (!QFile::rename(tmp, target)) {
        QFile::remove(tmp);
        return QStringLiteral("The demo database could not be created in %1.").arg(QFileInfo(target).absolutePath());
    }
    return {};
}

} // namespace

QString AppHome::resolve(const QString& homeOption, const QString& executableDir) {
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
    return path();
}

void AppHome::set(const QString& dir) {
    QMutexLocker lock(&homeMutex);
    homeDir = dir;
}

QString AppHome::path() {
    QMutexLocker lock(&homeMutex);
    return homeDir;
}

QString AppHome::file(const QString& name) {
    const QString dir = path();
    return dir.isEmpty() ? QString() : dir + QLatin1Char('/') + name;
}

QString AppHome::demoConnectionString() {
    return QStringLiteral("Provider=SQLite;Data Source=") + demoDatabaseFile();
}

QByteArray AppHome::defaultConfig() {
    return QByteArrayLiteral(
        "; Settings of SQL Query Editor. Edit with Tools > Options, or by hand.\n"
        "[OPTIONS]\n"
        "codesense=1\n"
        "catalogsense=1\n"
        "autocorrsyntax=0\n"
        "converttabs=0\n"
        "parsecomments=0\n"
        "showsplash=1\n"
        "startupquery=0\n"
        "rowcount=0\n"
        "rowcountvalue=1000\n"
        "logintimeout=15\n"
        "queryterminator=GO\n"
        "font=Monospace\n"
        "fontsize=10\n"
        "syntaxhighlight=1\n"
        "executionplan=0\n"
        "executionselected=Other\n"
        "resultsin=0\n"
        "\n[ISQLW]\nserver=\ndatabase=\nuser=\npassword=\ntrustedconnection=0\ninputfile=\noutputfile=\nshellopen=0\n"
        "\n[ISQL]\nserver=\ndatabase=\nuser=\npassword=\ntrustedconnection=0\ninputfile=\noutputfile=\n"
        "columnseperator=\nquery=0\nstatistics=0\n"
        "\n[Other]\nserverflag=\nserver=\ndatabaseflag=\ndatabase=\nuserflag=\nuser=\npasswordflag=\npassword=\n"
        "execute=\ninputfileflag=\ninputfile=\noutputfileflag=\noutputfile=\n");
}

QStringList AppHome::ensureSeeded() {
    QStringList notices;
    const QString dir = path();
    if (!QDir().mkpath(dir)) {
        notices << QStringLiteral("The settings folder %1 could not be created.").arg(dir);
        return notices;
    }
    const QString config = file(QStringLiteral("config.ini"));
    if (!QFileInfo::exists(config)) {
        const auto r = fsutil::writeFileAtomically(config, defaultConfig(), fsutil::kPrivate);
        if (!r.ok) notices << QStringLiteral("The settings file could not be created: %1").arg(r.error);
    }
    bool freshDemo = false;
    if (!QFileInfo::exists(demoDatabaseFile())) {
        const QString problem = createDemoDatabase(demoDatabaseFile());
        if (problem.isEmpty())
            freshDemo = true;
        else
            notices << problem;
    }
    const ResourceDb::EnsureResult res = ResourceDb::ensure();
    if (!res.notice.isEmpty()) notices << res.notice;
    if (res.created || freshDemo) ResourceDb::ensureDemoConnection(demoConnectionName(), demoConnectionString());
    return notices;
}
