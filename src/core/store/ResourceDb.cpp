#include "store/ResourceDb.h"

#include "db/ConnectionString.h"
#include "settings/AppPaths.h"
#include "settings/AtomicFile.h"
#include "store/DatabaseBuild_p.h"
#include "store/SeedingGate.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <tuple>

namespace {

const char* const kTables[] = {"syntax",    "providers", "connections", "template_types",
                               "templates", "objects",   "history"};

QString resourceText(const char* name) {
    QFile f(QString::fromLatin1(name));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

void runScript(db::Connection& conn, const QString& sql) {
    auto cursor = conn.execute(sql);
    while (cursor->nextResult()) {
    }
}

enum class Health { Healthy, Busy, Unreadable, Damaged };

// What state the file is in, and why when not healthy. Only a file SQLite
// calls corrupt or not a database, or that fails the integrity check, is
// damaged; a lock held by another program is busy, not damage.
std::pair<Health, QString> checkHealth(const QString& file) {
    try {
        auto conn = db::Connection::open(db::sqliteConnectionString(file));
        const db::Table t = conn->query(QStringLiteral("PRAGMA quick_check"));
        if (t.rows.empty() || t.rows[0].empty() || t.rows[0][0] != QStringLiteral("ok"))
            return {Health::Damaged,
                    t.rows.empty() || !t.rows[0][0] ? QStringLiteral("failed the integrity check") : *t.rows[0][0]};
        return {Health::Healthy, {}};
    } catch (const db::Error& e) {
        switch (e.number() & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED: return {Health::Busy, e.description()};
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB: return {Health::Damaged, e.description()};
        default: return {Health::Unreadable, e.description()};
        }
    }
}

constexpr int kBusyAttempts = 3; // each open waits up to 5 s for the lock

} // namespace

QString ResourceDb::path() { return AppPaths::dataFile(QStringLiteral("vsql.db")); }

std::unique_ptr<db::Connection> ResourceDb::open() {
    store::waitForSeeding(); // a new home's file is still being made
    return db::Connection::open(db::sqliteConnectionString(path()));
}

Status ResourceDb::createFresh() {
    const QString target = path();
    const QString tmp = target + QStringLiteral(".new");
    QFile::remove(tmp);
    {
        // Created empty with owner-only permissions before SQLite fills it:
        // saved connections may hold passwords.
        QFile f(tmp);
        if (!f.open(QIODevice::WriteOnly)) return fail(f.errorString());
        f.setPermissions(settings::kPrivate);
    }
    try {
        auto conn = db::Connection::open(db::sqliteConnectionString(tmp));
        store::fillWithoutSyncs(*conn);
        runScript(*conn, resourceText(":/sql/vsql.sql"));
        // First content: provider kinds, the keyword catalogue, the template library.
        QString seed;
        for (const char* part : {":/sql/seed-providers.sql", ":/sql/seed-syntax.sql", ":/sql/seed-templates.sql"})
            seed += resourceText(part) + QStringLiteral("\n;\n");
        runScript(*conn, QStringLiteral("BEGIN;") + seed + QStringLiteral("COMMIT;"));
    } catch (const db::Error& e) {
        QFile::remove(tmp);
        return fail(e.description());
    }
    if (const Status s = store::syncAndRename(tmp, target); !s) {
        QFile::remove(tmp);
        return s;
    }
    return {};
}

Result<ResourceDb::Opened> ResourceDb::ensure() {
    Opened r;
    const QString file = path();
    if (QFileInfo::exists(file) && QFileInfo(file).size() == 0) {
        // An empty file (left by a crash, or made by hand) is a new database
        // to seed, private like every new one.
        QFile::remove(file);
    }
    if (QFileInfo::exists(file)) {
        auto [health, why] = checkHealth(file);
        for (int attempt = 1; health == Health::Busy && attempt < kBusyAttempts; ++attempt)
            std::tie(health, why) = checkHealth(file);
        if (health == Health::Busy) {
            r.notice = QStringLiteral("The resource database %1 is busy: another program holds it (%2). The editor "
                                      "starts without it; saved connections, keywords and templates come back once "
                                      "it is free.")
                           .arg(file, why);
            return r;
        }
        if (health == Health::Unreadable)
            return fail(QStringLiteral("The resource database %1 could not be opened: %2").arg(file, why));
        if (health == Health::Healthy) {
            try {
                // An older or hand-made file may lack tables: add them, keep the rest.
                auto conn = open();
                const db::Table t = conn->query(QStringLiteral("SELECT name FROM sqlite_schema WHERE type='table'"));
                int found = 0;
                for (const auto& row : t.rows)
                    for (const char* name : kTables)
                        if (row[0] && row[0]->compare(QLatin1String(name), Qt::CaseInsensitive) == 0) ++found;
                if (found < int(std::size(kTables))) runScript(*conn, resourceText(":/sql/vsql.sql"));
            } catch (const db::Error& e) {
                return fail(QStringLiteral("The resource database %1 could not be completed: %2")
                                .arg(file, e.description()));
            }
            return r;
        }
        const QString aside =
            file + QStringLiteral(".corrupt-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        if (!QFile::rename(file, aside))
            return fail(QStringLiteral("The resource database %1 is damaged (%2) and could not be moved aside.")
                            .arg(file, why));
        r.notice = QStringLiteral("The resource database was damaged (%1). It was moved to %2 and a new one was "
                                  "created; saved connections and templates of the old file are not in the new one.")
                       .arg(why, aside);
    }
    const Status made = createFresh();
    if (!made)
        return fail((r.notice.isEmpty() ? QString() : r.notice + QStringLiteral("\n")) +
                    QStringLiteral("The resource database could not be created: %1").arg(made.error()));
    r.created = true;
    return r;
}

Status ResourceDb::ensureConnection(const QString& name, const QString& connectionString, int type) {
    try {
        auto conn = open();
        const db::Table t = conn->query(QStringLiteral("SELECT count(*) FROM connections WHERE name = ?"), {name});
        if (!t.rows.empty() && t.rows[0][0] && t.rows[0][0]->toInt() > 0) return {};
        conn->exec(QStringLiteral("INSERT INTO connections (name, cn_string, type) VALUES (?, ?, ?)"),
                   {name, connectionString, type});
        return {};
    } catch (const db::Error& e) {
        return fail(e.description());
    }
}
