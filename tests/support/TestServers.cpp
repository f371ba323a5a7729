#include "TestServers.h"

#include "db/Connection.h"

#include <QElapsedTimer>
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

QString openError(const QString& cs) {
    try {
        db::Connection::open(cs, {10, false});
        return {};
    } catch (const db::Error& e) {
        return e.description().isEmpty() ? QStringLiteral("(error without text)") : e.description();
    }
}

QString runningStatements(const ServerUnderTest& server, const QString& cs, const QString& probe,
                          const QString& expected, int timeoutMs, bool differ) {
    const QString sql =
        qstrcmp(server.envVar, kMariaDb.envVar) == 0
            ? QStringLiteral("SELECT count(*) FROM information_schema.PROCESSLIST WHERE COMMAND = 'Query' AND"
                             " INFO LIKE ? AND ID <> CONNECTION_ID()")
            : QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE state = 'active' AND query LIKE ?"
                             " AND pid <> pg_backend_pid()");
    const QString pattern = QLatin1Char('%') + probe + QLatin1Char('%');
    QElapsedTimer t;
    t.start();
    QString n;
    for (;;) {
        n = db::Connection::open(cs)->query(sql, {pattern}).rows.at(0).at(0).value_or(QString());
        if ((n == expected) != differ || t.elapsed() >= timeoutMs) return n;
    }
}
