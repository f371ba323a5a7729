#include "db/BackendChoice.h"

#include "db/ConnectionString.h"
#include "db/MariaOptions.h"
#include "db/PgOptions.h"

namespace db {

BackendChoice chooseBackend(const ConnectionString& cs, bool wantsOdbc) {
    BackendChoice c;
    c.family = familyOfConnectionString(cs);
    if (cs.isSqlite()) {
        c.backend = Backend::Sqlite;
        return c;
    }
    // The native clients read the server's address from the string itself; a
    // DSN keeps it in the data source files, so it goes to its ODBC driver.
    if (wantsOdbc || !cs.has(QStringLiteral("Driver"))) return c;
    bool (*serves)(const QString&) = nullptr;
    if (c.family == ServerFamily::PostgreSQL)
        serves = pg::nativeClientServes;
    else if (c.family == ServerFamily::MariaDB)
        serves = maria::nativeClientServes;
    else
        return c;
    for (const ConnectionStringPiece& p : scanConnectionString(cs.toString()))
        if (!serves(p.key) && !c.keysForDriver.contains(p.key, Qt::CaseInsensitive)) c.keysForDriver << p.key;
    if (c.keysForDriver.isEmpty())
        c.backend = c.family == ServerFamily::PostgreSQL ? Backend::NativePostgres : Backend::NativeMaria;
    return c;
}

QString backendNote(const BackendChoice& choice) {
    if (choice.keysForDriver.isEmpty()) return {};
    return QStringLiteral("Through the ODBC driver: the native %1 client does not read %2.")
        .arg(familyName(choice.family), choice.keysForDriver.join(QStringLiteral(", ")));
}

} // namespace db
