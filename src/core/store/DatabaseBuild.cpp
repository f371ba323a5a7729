#include "store/DatabaseBuild_p.h"

#include "db/Connection.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace store {

void fillWithoutSyncs(db::Connection& conn) {
    auto cursor = conn.execute(QStringLiteral("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF"));
    while (cursor->nextResult()) {
    }
}

Status syncAndRename(const QString& built, const QString& target) {
    QFile f(built);
    if (!f.open(QIODevice::ReadWrite)) return fail(f.errorString());
    if (::fsync(f.handle()) != 0) return fail(QString::fromLocal8Bit(std::strerror(errno)));
    f.close();
    if (!QFile::rename(built, target)) return fail(QStringLiteral("cannot create %1").arg(target));
    return {};
}

} // namespace store
