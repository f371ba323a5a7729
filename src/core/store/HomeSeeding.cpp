#include "store/HomeSeeding.h"

#include "base/Background.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "settings/AppPaths.h"
#include "settings/AtomicFile.h"
#include "settings/Settings.h"
#include "store/ConnectionStore.h"
#include "store/DatabaseBuild_p.h"
#include "store/ResourceDb.h"
#include "store/SeedingGate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace store {
namespace {

QString loadResource(const QString& name) {
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

// The demo database is built from its script into a temporary file that is
// renamed into place, so a crash never leaves half a database behind.
Status createDemoDatabase(const QString& target) {
    const QString tmp = target + QStringLiteral(".building");
    QFile::remove(tmp);
    try {
        auto conn = db::Connection::open(db::sqliteConnectionString(tmp), {15, true});
        store::fillWithoutSyncs(*conn);
        auto cursor = conn->execute(loadResource(QStringLiteral(":/sql/demo.sql")));
        while (cursor->nextResult()) {
        }
    } catch (const db::Error& e) {
        QFile::remove(tmp);
        return fail(QStringLiteral("The demo database could not be created: %1").arg(e.description()));
    }
    if (!store::syncAndRename(tmp, target)) {
        QFile::remove(tmp);
        return fail(QStringLiteral("The demo database could not be created in %1.").arg(QFileInfo(target).absolutePath()));
    }
    return {};
}

} // namespace

QString demoDatabaseFile() { return AppPaths::dataFile(QStringLiteral("demo.db")); }
QString demoConnectionString() { return db::sqliteConnectionString(demoDatabaseFile()); }
QString demoConnectionName() { return QStringLiteral("Demo (SQLite)"); }

namespace {
// The folders and config.ini; false when a folder could not be made (then
// nothing else can be seeded).
bool seedFolders(QStringList& notices) {
    const AppFolders folders = AppPaths::folders();
    for (const QString& dir : {folders.config, folders.data, folders.state})
        if (!QDir().mkpath(dir)) {
            notices << QStringLiteral("The folder %1 could not be created.").arg(dir);
            return false;
        }
    const QString config = AppPaths::configFile();
    if (!QFileInfo::exists(config)) {
        const Status s = settings::writeFileAtomically(config, settings::firstStartFile(), settings::kPrivate);
        if (!s) notices << QStringLiteral("The settings file could not be created: %1").arg(s.error());
    }
    return true;
}

// The demo database, vsql.db and the demo connection.
QStringList seedDatabases() {
    QStringList notices;
    bool freshDemo = false;
    if (!QFileInfo::exists(demoDatabaseFile())) {
        const Status s = createDemoDatabase(demoDatabaseFile());
        if (s)
            freshDemo = true;
        else
            notices << s.error();
    }
    const Result<ResourceDb::Opened> res = ResourceDb::ensure();
    if (!res) {
        notices << res.error();
        return notices;
    }
    if (!res->notice.isEmpty()) notices << res->notice;
    if (res->created || freshDemo) {
        // The demo connection is a convenience: the program works without it.
        const Status s = ResourceDb::ensureConnection(demoConnectionName(), demoConnectionString(),
                                                      int(ConnectionType::Sqlite));
        if (!s) notices << QStringLiteral("The demo connection could not be saved: %1").arg(s.error());
    }
    return notices;
}
} // namespace

QStringList ensureSeeded() {
    QStringList notices;
    if (!seedFolders(notices)) return notices;
    return notices + seedDatabases();
}

QStringList startSeeding(QObject* context, std::function<void(QStringList)> done) {
    QStringList notices;
    if (!seedFolders(notices)) {
        done({});
        return notices;
    }
    store::closeSeedingGate();
    runInBackground<QStringList>(
        context,
        [] {
            store::markSeeder();
            QStringList found = seedDatabases();
            store::openSeedingGate();
            return found;
        },
        std::move(done));
    return notices;
}

} // namespace store
