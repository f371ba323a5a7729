#include "TestServers.h"

#include "db/Connection.h"

#include <QtGlobal>

QString serverConnectionString(const ServerUnderTest& server) { return qEnvironmentVariable(server.envVar); }

void PrintTo(const TestBackend& backend, std::ostream* os) { *os << backend.label; }

QString newSqliteConnectionString(const QString& sqliteFile) {
    const QString cs = QStringLiteral("Provider=SQLite;Data Source=") + sqliteFile;
    db::Connection::open(cs, {15, true});
    return cs;
}
