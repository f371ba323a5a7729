#include "TestServers.h"

#include "db/Connection.h"

#include <QtGlobal>

QString serverConnectionString(const ServerUnderTest& server) { return qEnvironmentVariable(server.envVar); }

QString testTlsFile(const char* name) {
    const QString dir = qEnvironmentVariable("SQLQE_TEST_TLS_DIR");
    return dir.isEmpty() ? QString() : dir + QLatin1Char('/') + QLatin1String(name);
}

void PrintTo(const TestBackend& backend, std::ostream* os) { *os << backend.label; }

QString newSqliteConnectionString(const QString& sqliteFile) {
    const QString cs = QStringLiteral("Provider=SQLite;Data Source=") + sqliteFile;
    db::Connection::open(cs, {15, true});
    return cs;
}
