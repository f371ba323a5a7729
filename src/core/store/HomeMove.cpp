#include "store/HomeMove.h"

#include "db/ConnectionString.h"
#include "db/DbError.h"
#include "settings/AppPaths.h"
#include "settings/AtomicFile.h"
#include "store/HomeSeeding.h"
#include "store/ResourceDb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <vector>

namespace store {
namespace {

struct Move {
    QString from;
    QString to;
};

// What an older home holds that belongs elsewhere now, and where it goes.
std::vector<Move> plan(const AppFolders& f) {
    std::vector<Move> moves;
    const QDir old(f.config);
    auto add = [&](const QString& name, const QString& toDir) {
        moves.push_back({old.filePath(name), toDir + QLatin1Char('/') + name});
    };
    // a database goes with its journal files, or its last transactions are lost
    const QStringList data = old.entryList({QStringLiteral("vsql.db"), QStringLiteral("vsql.db-*"),
                                            QStringLiteral("vsql.db.corrupt-*"), QStringLiteral("demo.db"),
                                            QStringLiteral("demo.db-*")},
                                           QDir::Files | QDir::System, QDir::Name);
    for (const QString& name : data)
        add(name, f.data);
    const QDir journal(old.filePath(QStringLiteral("recovery")));
    for (const QString& name : journal.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name))
        moves.push_back({journal.filePath(name), f.state + QStringLiteral("/recovery/") + name});
    return moves;
}

bool sameBytes(const QString& a, const QString& b) {
    const QFileInfo ia(a), ib(b);
    if (ia.isSymLink() || ib.isSymLink())
        return ia.isSymLink() && ib.isSymLink() && ia.symLinkTarget() == ib.symLinkTarget();
    if (ia.size() != ib.size()) return false;
    QFile fa(a), fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly)) return false;
    while (!fa.atEnd())
        if (fa.read(1 << 20) != fb.read(1 << 20)) return false;
    return true;
}

// Points the saved demo connection at the demo database's new place.
void followDemoDatabase(const QString& oldDemo) {
    try {
        ResourceDb::open()->exec(QStringLiteral("UPDATE connections SET cn_string = ? WHERE cn_string = ?"),
                                 {store::demoConnectionString(), db::sqliteConnectionString(oldDemo)});
    } catch (const db::Error&) {
        // the connection still names the old file: the user can fix it in the connection manager
    }
}

} // namespace

Status copyAtomically(const QString& from, const QString& to) {
    const QFileInfo source(from);
    if (!QDir().mkpath(QFileInfo(to).absolutePath()))
        return fail(QStringLiteral("The folder %1 could not be created.").arg(QFileInfo(to).absolutePath()));
    if (source.isSymLink()) {
        const QString tmp = to + QStringLiteral(".moving");
        QFile::remove(tmp);
        if (!QFile::link(source.symLinkTarget(), tmp) ||
            std::rename(QFile::encodeName(tmp).constData(), QFile::encodeName(to).constData()) != 0) {
            QFile::remove(tmp);
            return fail(QStringLiteral("The link %1 could not be made.").arg(to));
        }
        return {};
    }
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("%1 could not be read: %2").arg(from, in.errorString()));
    return settings::writeFileAtomically(to, in.readAll(), source.permissions());
}

QStringList moveOldHome(const CopyFile& copy) {
    const AppFolders f = AppPaths::folders();
    if (f.isOneFolder()) return {};
    const std::vector<Move> moves = plan(f);
    if (moves.empty()) return {};

    // 1. every copy, or none
    std::vector<QString> made;          // copies this run made
    std::vector<const Move*> done;      // old files whose copy is in place
    std::vector<const Move*> differing; // old files whose new place holds another file
    for (const Move& m : moves) {
        if (QFileInfo(m.to).exists() || QFileInfo(m.to).isSymLink()) {
            // the same bytes: copied before a crash cut the move short
            (sameBytes(m.from, m.to) ? done : differing).push_back(&m);
            continue;
        }
        const Status s = copy(m.from, m.to);
        if (!s) {
            for (const QString& c : made)
                QFile::remove(c);
            AppPaths::set(AppFolders{f.config, f.config, f.config}); // the old home, as it was
            return {QStringLiteral(
                        "Your saved connections, history and templates could not be moved from %1 to %2 "
                        "(%3). They stay where they are and are used from there; the next start tries "
                        "again.")
                        .arg(f.config, f.data, s.error())};
        }
        made.push_back(m.to);
        done.push_back(&m);
    }

    // 2. the old files go; one the new place has otherwise is kept aside
    QStringList leftBehind;
    for (const Move* m : differing) {
        const QString aside = m->from + QStringLiteral(".not-moved");
        QFile::remove(aside);
        if (QFile::rename(m->from, aside)) leftBehind << aside;
    }
    bool demoMoved = false, journalMoved = false;
    for (const Move* m : done) {
        QFile::remove(m->from);
        demoMoved = demoMoved || QFileInfo(m->from).fileName() == QLatin1String("demo.db");
        journalMoved = journalMoved || m->to.startsWith(f.state);
    }
    QDir(f.config).rmdir(QStringLiteral("recovery")); // only when empty
    if (demoMoved) followDemoDatabase(f.config + QStringLiteral("/demo.db"));

    QStringList notices;
    if (!done.empty())
        notices << QStringLiteral(
                       "Your saved connections, history and templates moved from %1 to %2%3, where "
                       "desktop programs keep such files. The settings stay in %1/config.ini.")
                       .arg(f.config, f.data,
                            journalMoved ? QStringLiteral(", and unsaved scripts to %1").arg(f.state)
                                         : QString());
    for (const QString& aside : leftBehind)
        notices << QStringLiteral(
                       "%1 was not moved: a newer file is already in use in its new place. The old one "
                       "is kept as %2.")
                       .arg(QFileInfo(aside).completeBaseName(), aside);
    return notices;
}

} // namespace store
