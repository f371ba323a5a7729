#pragma once
// Connection strings of the throwaway servers that scripts/test starts.
// A test that needs a server calls requireServer(): when the variable is
// not set the test is skipped with the reason printed; when it is set the
// test runs (never skipped silently).

#include <QString>
#include <ostream>
#include <string>

struct ServerUnderTest {
    const char* label;   // "PostgreSQL", "MariaDB"
    const char* envVar;  // SQLQE_TEST_PG, SQLQE_TEST_MARIADB
};

inline const ServerUnderTest kPostgres{"PostgreSQL", "SQLQE_TEST_PG"};
inline const ServerUnderTest kMariaDb{"MariaDB", "SQLQE_TEST_MARIADB"};
// The servers of each kind that offer TLS, with a certificate signed by the
// test CA in testTlsFile("ca.pem") (client.pem/client.key: a client
// certificate for the test user from the same CA).
inline const ServerUnderTest kPostgresTls{"PostgreSQL with TLS", "SQLQE_TEST_PG_TLS"};
inline const ServerUnderTest kMariaDbTls{"MariaDB with TLS", "SQLQE_TEST_MARIADB_TLS"};
// A file of the test CA's folder (SQLQE_TEST_TLS_DIR); empty when not set.
QString testTlsFile(const char* name);

// The connection string, or empty when the variable is not set.
QString serverConnectionString(const ServerUnderTest& server);

// Skips the current test (with a message) when the server is not configured.
#define SQLQE_REQUIRE_SERVER(server, outString)                                                             \
    do {                                                                                                    \
        outString = serverConnectionString(server);                                                         \
        if (outString.isEmpty())                                                                            \
            GTEST_SKIP() << (server).envVar << " is not set: " << (server).label                           \
                         << " tests need the servers that scripts/test starts";                              \
    } while (0)

// A backend a parameterised test runs on: one of the servers, or, without a
// server, a new SQLite file.
struct TestBackend {
    const char* label;
    const ServerUnderTest* server; // null: SQLite
    const char* suffix = "";       // appended to the server's string (Backend=ODBC;)
};
void PrintTo(const TestBackend& backend, std::ostream* os);
inline const TestBackend kTestBackends[] = {{"SQLite", nullptr}, {"PostgreSQL", &kPostgres}, {"MariaDB", &kMariaDb}};
// Names each case of a parameterised test by its parameter's label.
inline constexpr auto byLabel = [](const auto& info) { return std::string(info.param.label); };

// PostgreSQL through its ODBC driver instead of the native client.
inline const TestBackend kPostgresOdbc{"PostgreSQL_ODBC", &kPostgres, "Backend=ODBC;"};

// The error of opening cs (within 10 s), or empty when it opened.
QString openError(const QString& cs);

// The sessions of server (other than the asking one) running a statement
// whose text holds probe, counted on a new connection each time (the
// server's view holds still within a transaction); waits up to timeoutMs
// for the count to be expected (or to differ from it, with differ) and
// returns the last count.
QString runningStatements(const ServerUnderTest& server, const QString& cs, const QString& probe,
                          const QString& expected = QStringLiteral("0"), int timeoutMs = 3000,
                          bool differ = false);

// The SQLite string of sqliteFile, creating the file.
QString newSqliteConnectionString(const QString& sqliteFile);

// The backend's connection string into outString: the server's with the
// backend's suffix (the test is skipped when it is not configured) or a new
// SQLite file's.
#define SQLQE_REQUIRE_BACKEND(backend, sqliteFile, outString)                                                \
    do {                                                                                                     \
        if ((backend).server) {                                                                              \
            SQLQE_REQUIRE_SERVER(*(backend).server, outString);                                              \
            outString += QLatin1String((backend).suffix);                                                    \
        } else                                                                                               \
            outString = newSqliteConnectionString(sqliteFile);                                               \
    } while (0)
