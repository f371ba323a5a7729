#include "db/ServerFamily.h"

#include "db/ConnectionString.h"
#include "db/OdbcDataSources.h"

namespace db {

namespace {

bool mentions(const QString& text, const char* word) { return text.contains(QLatin1String(word), Qt::CaseInsensitive); }

// A driver is known by its registered name or by its library's file name.
ServerFamily familyOfDriver(const QString& driver) {
    if (driver.isEmpty()) return ServerFamily::Other;
    if (mentions(driver, "PostgreSQL") || mentions(driver, "psqlodbc")) return ServerFamily::PostgreSQL;
    if (mentions(driver, "MariaDB") || mentions(driver, "MySQL") || mentions(driver, "maodbc") ||
        mentions(driver, "myodbc"))
        return ServerFamily::MariaDB;
    if (mentions(driver, "SQLite")) return ServerFamily::SQLite;
    if (mentions(driver, "FreeTDS") || mentions(driver, "tdsodbc") || mentions(driver, "SQL Server") ||
        mentions(driver, "msodbcsql") || mentions(driver, "Sybase"))
        return ServerFamily::SqlServer;
    return ServerFamily::Other;
}

} // namespace

ServerFamily familyOfDbms(const QString& dbmsName) {
    if (mentions(dbmsName, "PostgreSQL")) return ServerFamily::PostgreSQL;
    if (mentions(dbmsName, "MariaDB") || mentions(dbmsName, "MySQL")) return ServerFamily::MariaDB;
    if (mentions(dbmsName, "SQLite")) return ServerFamily::SQLite;
    if (mentions(dbmsName, "SQL Server") || mentions(dbmsName, "Sybase") || mentions(dbmsName, "Adaptive Server"))
        return ServerFamily::SqlServer;
    return ServerFamily::Other;
}

QString odbcDriverOf(const ConnectionString& cs) {
    if (auto driver = cs.value(QStringLiteral("Driver")); driver && !driver->trimmed().isEmpty())
        return driver->trimmed();
    const QString dsn = cs.value(QStringLiteral("DSN")).value_or(QString()).trimmed();
    if (dsn.isEmpty()) return {};
    return odbc::dataSourceValue(dsn, "Driver");
}

ServerFamily familyOfConnectionString(const ConnectionString& cs) {
    if (cs.isSqlite()) return ServerFamily::SQLite;
    const QString driver = odbcDriverOf(cs);
    const ServerFamily family = familyOfDriver(driver);
    if (family != ServerFamily::Other || driver.isEmpty()) return family;
    // A DSN may name its driver by a path or a name registered in odbcinst.ini.
    return familyOfDriver(odbc::driverValue(driver, "Driver"));
}

ServerFamily familyOfConnectionString(const QString& connectionString) {
    return familyOfConnectionString(ConnectionString(connectionString));
}

QString familyName(ServerFamily family) {
    switch (family) {
    case ServerFamily::PostgreSQL: return QStringLiteral("PostgreSQL");
    case ServerFamily::MariaDB: return QStringLiteral("MariaDB/MySQL");
    case ServerFamily::SQLite: return QStringLiteral("SQLite");
    case ServerFamily::SqlServer: return QStringLiteral("SQL Server");
    case ServerFamily::Other: break;
    }
    return QStringLiteral("other");
}

} // namespace db
