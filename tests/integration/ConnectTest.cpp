// Connecting the ways users of the servers' own clients do, against the real
// servers: TLS asked for is TLS got (or no connection), URIs, ~/.pgpass,
// ~/.my.cnf, read-only sessions, and scripts with parameters refused.
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "run/RunEngine.h"
#include "support/RunCapture.h"
#include "support/RunnerProcess.h"
#include "support/TestServers.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Both ways to a server: its native client and its ODBC driver.
const char* const kWays[] = {"", "Backend=ODBC;"};

QString firstValue(db::Connection& c, const QString& sql) {
    const db::Table t = c.query(sql);
    return t.rows.empty() ? QStringLiteral("<no row>") : t.rows[0].back().value_or(QStringLiteral("<null>"));
}

// A copy of a test CA file that only its owner may read (libpq refuses a
// key that others can).
QString privateCopy(const QTemporaryDir& dir, const char* name) {
    const QString to = dir.filePath(QLatin1String(name));
    QFile::copy(testTlsFile(name), to);
    QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
    return to;
}

QProcessEnvironment withHome(const QString& home) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.remove(QStringLiteral("PGPASSWORD"));
    env.remove(QStringLiteral("PGPASSFILE"));
    return env;
}

// The string without its password (Pwd=…).
QString withoutPassword(const QString& cs) {
    db::ConnectionString s(cs);
    s.remove(QStringLiteral("Pwd"));
    return s.toString();
}

} // namespace

TEST(ConnectTls, PostgresSessionsAreEncryptedWhenAskedAndRefusedWithoutTls) {
    QString tls, plain;
    SQLQE_REQUIRE_SERVER(kPostgresTls, tls);
    SQLQE_REQUIRE_SERVER(kPostgres, plain);
    QTemporaryDir dir;
    const QString ca = testTlsFile("ca.pem");
    const QString key = privateCopy(dir, "client.key");
    for (const char* way : kWays) {
        SCOPED_TRACE(*way ? way : "native");
        const QString verify =
            QStringLiteral("sslmode=verify-full;sslrootcert=%1;").arg(ca) + QLatin1String(way);
        auto conn = db::Connection::open(tls + verify, {10, false});
        EXPECT_EQ(
            firstValue(*conn, QStringLiteral("SELECT CASE WHEN ssl THEN 'encrypted' ELSE 'plain' END FROM "
                                             "pg_stat_ssl WHERE pid = pg_backend_pid()")),
            QStringLiteral("encrypted"));
        // the client certificate and key reach the server
        auto withCert = db::Connection::open(
            tls + verify + QStringLiteral("sslcert=%1;sslkey=%2;").arg(testTlsFile("client.pem"), key),
            {10, false});
        EXPECT_EQ(
            firstValue(*withCert,
                       QStringLiteral("SELECT client_dn FROM pg_stat_ssl WHERE pid = pg_backend_pid()")),
            QStringLiteral("/CN=sqlqe_test"));
        // verifying needs the CA: without it the certificate is not trusted
        EXPECT_FALSE(openError(tls +
                               QStringLiteral("sslmode=verify-ca;sslrootcert=%1/none.pem;").arg(dir.path()) +
                               QLatin1String(way))
                         .isEmpty());
        // a server without TLS is refused, never used in the clear
        const QString refused = openError(plain + QStringLiteral("SSLmode=require;") + QLatin1String(way));
        EXPECT_TRUE(refused.contains(QStringLiteral("SSL"), Qt::CaseInsensitive)) << refused.toStdString();
    }
}

TEST(ConnectTls, MariaDbSessionsAreEncryptedWhenAskedAndRefusedWithoutTls) {
    QString tls, plain;
    SQLQE_REQUIRE_SERVER(kMariaDbTls, tls);
    SQLQE_REQUIRE_SERVER(kMariaDb, plain);
    const QString ca = testTlsFile("ca.pem");
    const QString cipher = QStringLiteral("SHOW SESSION STATUS LIKE 'Ssl_cipher'");
    for (const char* way : kWays) {
        SCOPED_TRACE(*way ? way : "native");
        const QString verify =
            QStringLiteral("FORCETLS=1;SSLCA=%1;SSLVERIFY=1;").arg(ca) + QLatin1String(way);
        auto conn = db::Connection::open(tls + verify, {10, false});
        EXPECT_FALSE(firstValue(*conn, cipher).isEmpty());
        // the TLS versions asked for, by the driver's bit mask
        auto v13 = db::Connection::open(tls + verify + QStringLiteral("TLSVERSION=4;"), {10, false});
        EXPECT_EQ(firstValue(*v13, QStringLiteral("SHOW SESSION STATUS LIKE 'Ssl_version'")),
                  QStringLiteral("TLSv1.3"));
        auto v12 = db::Connection::open(tls + verify + QStringLiteral("TLSVERSION=TLSv1.2;"), {10, false});
        EXPECT_EQ(firstValue(*v12, QStringLiteral("SHOW SESSION STATUS LIKE 'Ssl_version'")),
                  QStringLiteral("TLSv1.2"));
        // verifying without the CA: the self-signed chain is not trusted
        EXPECT_FALSE(openError(tls + QStringLiteral("SSLVERIFY=1;") + QLatin1String(way)).isEmpty());
        // the server without TLS: refused with verification, and with FORCETLS alone
        // (which both Connector/C and the driver would let through in the clear)
        for (const QString& ask : {verify, QStringLiteral("FORCETLS=1;") + QLatin1String(way)}) {
            const QString refused = openError(plain + ask);
            EXPECT_TRUE(refused.contains(QStringLiteral("TLS"), Qt::CaseInsensitive) ||
                        refused.contains(QStringLiteral("SSL"), Qt::CaseInsensitive))
                << ask.toStdString() << ": " << refused.toStdString();
        }
    }
}

TEST(ConnectUri, UrisConnectAndKeepTheirPasswordOutOfMessages) {
    QString pg, maria;
    SQLQE_REQUIRE_SERVER(kPostgres, pg);
    SQLQE_REQUIRE_SERVER(kMariaDb, maria);
    const db::ConnectionString p(pg), m(maria);
    auto uri = [](const char* scheme, const db::ConnectionString& cs, const QString& password) {
        return QStringLiteral("%1://%2:%3@%4:%5/%6")
            .arg(QLatin1String(scheme), cs.value("Uid").value_or(QString()), password,
                 cs.value("Server").value_or(QString()), cs.value("Port").value_or(QString()),
                 cs.value("Database").value_or(QString()));
    };
    QString password = p.value("Pwd").value_or(QString());
    password.replace(QLatin1Char('!'), QLatin1String("%21"));
    for (const QString& good : {uri("postgresql", p, password) + QStringLiteral("?application_name=uri-test"),
                                uri("mysql", m, password)}) {
        const RunnerOutcome o = runRunner({QStringLiteral("--connect"), good}, "SELECT 40 + 2 AS answer");
        EXPECT_EQ(o.code, 0) << o.err.toStdString();
        EXPECT_TRUE(o.out.contains("42")) << o.out.toStdString();
    }
    const RunnerOutcome bad = runRunner(
        {QStringLiteral("--connect"), uri("postgres", p, QStringLiteral("Wr0ng%2Fpass"))}, "SELECT 1");
    EXPECT_EQ(bad.code, 1);
    EXPECT_FALSE(bad.err.contains(QStringLiteral("Wr0ng"))) << bad.err.toStdString();

    QTemporaryDir dir;
    db::Connection::open(
        QStringLiteral("Provider=SQLite;Data Source=") + dir.filePath(QStringLiteral("u v.db")), {5, true})
        ->exec(QStringLiteral("CREATE TABLE t(a)"));
    for (const QString& sqlite :
         {QStringLiteral("sqlite://") + dir.filePath(QStringLiteral("u%20v.db")),
          QStringLiteral("file:") + dir.filePath(QStringLiteral("u%20v.db?mode=ro"))}) {
        const RunnerOutcome o =
            runRunner({QStringLiteral("--connect"), sqlite}, "SELECT count(*) AS n FROM t");
        EXPECT_EQ(o.code, 0) << sqlite.toStdString() << ": " << o.err.toStdString();
    }
}

TEST(ConnectDefaults, PostgresTakesThePasswordFromPgpass) {
    QString pg;
    SQLQE_REQUIRE_SERVER(kPostgres, pg);
    const db::ConnectionString cs(pg);
    QTemporaryDir home;
    const QString noPassword = withoutPassword(pg);
    const RunnerOutcome without =
        runRunner({QStringLiteral("--connect"), noPassword}, "SELECT 1", withHome(home.path()));
    EXPECT_EQ(without.code, 1) << "connected without a password";
    {
        QFile pgpass(home.filePath(QStringLiteral(".pgpass")));
        ASSERT_TRUE(pgpass.open(QIODevice::WriteOnly));
        pgpass.write(QStringLiteral("%1:%2:*:%3:%4\n")
                         .arg(*cs.value("Server"), *cs.value("Port"), *cs.value("Uid"), *cs.value("Pwd"))
                         .toUtf8());
        pgpass.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
    for (const char* way : kWays) {
        const RunnerOutcome with = runRunner({QStringLiteral("--connect"), noPassword + QLatin1String(way)},
                                             "SELECT current_user AS who", withHome(home.path()));
        EXPECT_EQ(with.code, 0) << way << with.err.toStdString();
        EXPECT_TRUE(with.out.contains(cs.value("Uid")->toUtf8())) << with.out.toStdString();
    }
}

TEST(ConnectDefaults, MariaDbReadsMyCnfUnlessTheStringSaysOtherwise) {
    QString maria;
    SQLQE_REQUIRE_SERVER(kMariaDb, maria);
    const db::ConnectionString cs(maria);
    QTemporaryDir home;
    auto writeMyCnf = [&](const QString& text) {
        QFile f(home.filePath(QStringLiteral(".my.cnf")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text.toUtf8());
    };
    // the login and the port from [client] and [mysql]; the string names only the host
    writeMyCnf(QStringLiteral("[client]\nuser=%1\npassword=\"%2\"\nport=1\n[mysql]\nport=%3\n")
                   .arg(*cs.value("Uid"), *cs.value("Pwd"), *cs.value("Port")));
    const QString hostOnly = QStringLiteral("Driver={MariaDB Unicode};Server=%1;").arg(*cs.value("Server"));
    const RunnerOutcome fromFile = runRunner({QStringLiteral("--connect"), hostOnly},
                                             "SELECT CURRENT_USER() AS who", withHome(home.path()));
    EXPECT_EQ(fromFile.code, 0) << fromFile.err.toStdString();
    EXPECT_TRUE(fromFile.out.contains(cs.value("Uid")->toUtf8())) << fromFile.out.toStdString();
    // the string's own values win over the file's
    writeMyCnf(QStringLiteral("[client]\nuser=nobody-here\npassword=wrong\nport=1\n"));
    const RunnerOutcome own =
        runRunner({QStringLiteral("--connect"), maria}, "SELECT 1 AS one", withHome(home.path()));
    EXPECT_EQ(own.code, 0) << own.err.toStdString();
    // USE_MYCNF=0 reads no file
    writeMyCnf(QStringLiteral("[client]\nuser=%1\npassword=\"%2\"\nport=%3\n")
                   .arg(*cs.value("Uid"), *cs.value("Pwd"), *cs.value("Port")));
    const RunnerOutcome noFiles =
        runRunner({QStringLiteral("--connect"), hostOnly + QStringLiteral("USE_MYCNF=0;")}, "SELECT 1",
                  withHome(home.path()));
    EXPECT_EQ(noFiles.code, 1);
}

class ConnectReadOnly : public ::testing::TestWithParam<TestBackend> {};

// A read-only connection's writes are refused by the server itself.
TEST_P(ConnectReadOnly, WritesAreRefusedByTheServer) {
    QTemporaryDir dir;
    QString cs;
    SQLQE_REQUIRE_BACKEND(GetParam(), dir.filePath(QStringLiteral("ro.db")), cs);
    {
        auto rw = db::Connection::open(cs);
        rw->exec(QStringLiteral("DROP TABLE IF EXISTS ro_probe"));
        rw->exec(QStringLiteral("CREATE TABLE ro_probe (a INTEGER)"));
    }
    for (const char* way : kWays) {
        if (!GetParam().server && *way) continue; // SQLite files are served natively only
        auto ro = db::Connection::open(cs + QStringLiteral(";ReadOnly=1;") + QLatin1String(way));
        EXPECT_EQ(firstValue(*ro, QStringLiteral("SELECT count(*) FROM ro_probe")), QStringLiteral("0"));
        for (const char* write :
             {"INSERT INTO ro_probe VALUES (1)", "UPDATE ro_probe SET a = 2", "DELETE FROM ro_probe"}) {
            try {
                ro->exec(QString::fromLatin1(write));
                ADD_FAILURE() << write << " was not refused " << way;
            } catch (const db::Error& e) {
                EXPECT_TRUE(e.description().contains(QStringLiteral("read"), Qt::CaseInsensitive))
                    << write << ": " << e.description().toStdString();
            }
        }
    }
    auto rw = db::Connection::open(cs);
    EXPECT_EQ(firstValue(*rw, QStringLiteral("SELECT count(*) FROM ro_probe")), QStringLiteral("0"));
    rw->exec(QStringLiteral("DROP TABLE ro_probe"));
}

INSTANTIATE_TEST_SUITE_P(Backends, ConnectReadOnly, ::testing::ValuesIn(kTestBackends));

class ConnectParameters : public ::testing::TestWithParam<TestBackend> {};

// A statement with parameters and no values is never run (SQLite would bind NULL).
TEST_P(ConnectParameters, AScriptWithParametersIsRefusedBeforeAnythingRuns) {
    QTemporaryDir dir;
    QString cs;
    SQLQE_REQUIRE_BACKEND(GetParam(), dir.filePath(QStringLiteral("p.db")), cs);
    const RunnerOutcome o =
        runRunner({QStringLiteral("--connect"), cs}, "CREATE TABLE param_probe (id INTEGER);\n"
                                                     "SELECT * FROM param_probe WHERE id = :id");
    EXPECT_EQ(o.code, 2); // refused input, like a script with a NUL
    EXPECT_TRUE(o.err.contains(QStringLiteral("Statement 2 has parameters (:id) and no values were given.")))
        << o.err.toStdString();
    // nothing ran: the table of statement 1 was not made
    const RunnerOutcome check =
        runRunner({QStringLiteral("--connect"), cs}, "SELECT count(*) FROM param_probe");
    EXPECT_EQ(check.code, 1) << check.out.toStdString();
    // a cast, a string and a comment are not parameters
    const RunnerOutcome fine =
        runRunner({QStringLiteral("--connect"), cs}, "SELECT ':id' AS a, 1 AS b -- :c\n");
    EXPECT_EQ(fine.code, 0) << fine.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Backends, ConnectParameters, ::testing::ValuesIn(kTestBackends));

namespace {

RunResult runOn(const std::shared_ptr<Session>& session, const QString& cs, const QString& sql, bool autoCommit,
                bool own = false) {
    RunRequest r = runRequest(cs, sql, true, std::nullopt, session);
    r.autoCommit = autoCommit;
    r.keptSessionOnly = own;
    RunCapture sink;
    return RunEngine(r, sink).run();
}

} // namespace

class ConnectAutoCommit : public ::testing::TestWithParam<TestBackend> {};

// Auto-commit off: the session's first statement opens a transaction that
// others do not see until it is committed, and a rollback takes it back.
TEST_P(ConnectAutoCommit, OffOpensATransactionThatCommitOrRollbackEnds) {
    QTemporaryDir dir;
    QString cs;
    SQLQE_REQUIRE_BACKEND(GetParam(), dir.filePath(QStringLiteral("ac.db")), cs);
    for (const char* way : kWays) {
        // runs through MariaDB's ODBC driver are refused (it reads whole results)
        if (*way && (!GetParam().server || GetParam().server == &kMariaDb)) continue;
        SCOPED_TRACE(*way ? way : "native");
        const QString conn = cs + QStringLiteral(";") + QLatin1String(way);
        {
            auto setup = db::Connection::open(conn);
            setup->exec(QStringLiteral("DROP TABLE IF EXISTS ac_probe"));
            setup->exec(QStringLiteral("CREATE TABLE ac_probe (a INTEGER)"));
        }
        auto others = [&] { return firstValue(*db::Connection::open(conn), QStringLiteral("SELECT count(*) FROM ac_probe")); };
        auto session = std::make_shared<Session>();
        RunResult r = runOn(session, conn, QStringLiteral("INSERT INTO ac_probe VALUES (1)"), false);
        ASSERT_FALSE(r.isError()) << r.closingMessage.toStdString();
        EXPECT_EQ(r.inTransaction, std::optional<bool>(true));
        EXPECT_EQ(others(), QStringLiteral("0"));
        r = runOn(session, conn, QStringLiteral("ROLLBACK"), false, true);
        ASSERT_FALSE(r.isError()) << r.closingMessage.toStdString();
        EXPECT_EQ(others(), QStringLiteral("0"));
        // the next run opens the next one; COMMIT makes it seen
        r = runOn(session, conn, QStringLiteral("INSERT INTO ac_probe VALUES (2)"), false);
        EXPECT_EQ(r.inTransaction, std::optional<bool>(true));
        r = runOn(session, conn, QStringLiteral("COMMIT"), false, true);
        ASSERT_FALSE(r.isError()) << r.closingMessage.toStdString();
        EXPECT_EQ(others(), QStringLiteral("1"));
        // back on: each statement is committed by itself
        r = runOn(session, conn, QStringLiteral("INSERT INTO ac_probe VALUES (3)"), true);
        EXPECT_EQ(others(), QStringLiteral("2"));
        session->close();
        db::Connection::open(conn)->exec(QStringLiteral("DROP TABLE ac_probe"));
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, ConnectAutoCommit, ::testing::ValuesIn(kTestBackends));
