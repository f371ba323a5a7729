// sqlqe-run under faults: output that cannot be written, broken pipes, bad
// input, signals at every stage, servers that never answer, secrets in
// broken connection strings. Each case once reported success, hung or
// showed a password.
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "support/PeakMemory.h"
#include "support/TestServers.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#ifndef SQLQE_RUN_PATH
#error "SQLQE_RUN_PATH must name the sqlqe-run executable"
#endif

namespace {

struct Outcome {
    QByteArray out;
    QString err;
    int code = -1;
    qint64 ms = 0;
};

// Runs sqlqe-run through bash so a test can redirect or close its streams.
Outcome runShell(const QString& args, const QByteArray& input = {}, int timeoutMs = 60000, bool exec = true) {
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(QStringLiteral("/bin/bash"),
            {QStringLiteral("-c"), QStringLiteral("%1'%2' %3").arg(exec ? QStringLiteral("exec ") : QString(),
                                                                    QStringLiteral(SQLQE_RUN_PATH), args)});
    p.waitForStarted();
    if (!input.isEmpty()) p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(timeoutMs)) p.kill();
    return {p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError()), p.exitCode(), t.elapsed()};
}

QString quoted(const QString& s) { return QLatin1Char('\'') + QString(s).replace(QLatin1Char('\''), QLatin1String("'\\''")) + QLatin1Char('\''); }

class RunnerFault : public ::testing::Test {
protected:
    void SetUp() override {
        db = dir.filePath(QStringLiteral("f.db"));
        auto c = db::Connection::open(db::sqliteConnectionString(db), {15, true});
        c->exec(QStringLiteral("CREATE TABLE big AS WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n LIMIT 200000) "
                               "SELECT x, printf('%050d', x) AS pad FROM n"));
        base = QStringLiteral("--home %1 --connect %2").arg(quoted(dir.path()), quoted(db::sqliteConnectionString(db)));
    }
    QTemporaryDir dir;
    QString db, base;
};

// A socket that takes connections and never says a word.
class SilentServer {
public:
    SilentServer() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof(a));
        ::listen(fd_, 16);
        socklen_t len = sizeof(a);
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
    }
    ~SilentServer() { ::close(fd_); }
    int port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

} // namespace

TEST_F(RunnerFault, OutputThatCannotBeWrittenIsAFailureNotASuccess) {
    const Outcome full = runShell(base + QStringLiteral(" - > /dev/full"), "SELECT * FROM big");
    EXPECT_EQ(full.code, 1) << full.err.toStdString();
    EXPECT_TRUE(full.err.contains(QStringLiteral("could not be written"))) << full.err.toStdString();
    EXPECT_FALSE(full.err.contains(QStringLiteral("Success")));

    // stdout closed before the run
    const Outcome closed = runShell(base + QStringLiteral(" - >&-"), "SELECT * FROM big");
    EXPECT_EQ(closed.code, 1) << closed.err.toStdString();

}

TEST_F(RunnerFault, ABrokenPipeStopsTheRunOnEveryBackend) {
    for (const TestBackend& backend : kTestBackends) {
        SCOPED_TRACE(backend.label);
        QString cs = backend.server ? serverConnectionString(*backend.server) : db::sqliteConnectionString(db);
        if (cs.isEmpty()) continue;
        const QByteArray endless = backend.server == &kMariaDb
                                       ? QByteArray("SELECT a.seq, b.seq FROM seq_1_to_2000 a, seq_1_to_2000 b")
                                   : backend.server == &kPostgres
                                       ? QByteArray("SELECT a, b FROM generate_series(1, 3000) a, generate_series(1, 3000) b")
                                       : QByteArray("SELECT a.x, b.x FROM big a, big b");
        // a reader that leaves after the first bytes: the run ends at once, not after every row
        const Outcome o = runShell(QStringLiteral("--home %1 --connect %2 --tsv - | head -c 100 > /dev/null; exit ${PIPESTATUS[0]}")
                                       .arg(quoted(dir.path()), quoted(cs)),
                                   endless, 60000, false);
        EXPECT_NE(o.code, 0);
        EXPECT_LT(o.ms, 30000);
        EXPECT_TRUE(o.err.contains(QStringLiteral("could not be written"))) << o.err.toStdString();
    }
}

// --max-rows on a join that would stream rows for minutes: the runner ends
// with its rows and leaves nothing running on the server.
TEST_F(RunnerFault, TheRowLimitEndsTheRunAndTheServersStatement) {
    const std::pair<const ServerUnderTest*, const char*> cases[] = {
        {&kPostgres,
         "SELECT a AS max_rows_probe FROM generate_series(1, 100000) a, generate_series(1, 100000) b"},
        {&kMariaDb, "SELECT a.seq AS max_rows_probe FROM seq_1_to_100000 a, seq_1_to_100000 b"},
    };
    for (const auto& [server, query] : cases) {
        SCOPED_TRACE(server->label);
        const QString cs = serverConnectionString(*server);
        if (cs.isEmpty()) continue; // reported by the server tests
        const Outcome o = runShell(
            QStringLiteral("--home %1 --connect %2 --max-rows 10 -").arg(quoted(dir.path()), quoted(cs)),
            query, 60000);
        EXPECT_EQ(o.code, 0) << o.err.toStdString();
        EXPECT_EQ(o.out.count("\r\n") - 7, 10) << o.out.toStdString(); // header, dashes, notice and trailer
        EXPECT_TRUE(o.err.contains(QStringLiteral("10  Row(s) affected"))) << o.err.toStdString();
        // nothing left running on the server (which may take a moment to note the end)
        EXPECT_EQ(runningStatements(*server, cs, QStringLiteral("max_rows_probe")), QStringLiteral("0"));
    }
}

TEST_F(RunnerFault, BadInputIsRefusedAndNothingRuns) {
    // a NUL byte: the text after it would be lost, so nothing is sent
    Outcome nul = runShell(base + QStringLiteral(" -"), QByteArray("CREATE TABLE made (a INTEGER);\0DROP TABLE big;", 46));
    EXPECT_EQ(nul.code, 2);
    EXPECT_TRUE(nul.err.contains(QStringLiteral("NUL"))) << nul.err.toStdString();
    auto c = db::Connection::open(db::sqliteConnectionString(db));
    EXPECT_EQ(c->query(QStringLiteral("SELECT count(*) FROM sqlite_schema WHERE name = 'made'")).rows[0][0], QStringLiteral("0"));

    // bytes that are not UTF-8 inside UTF-8 text: refused with their offset
    QFile bad(dir.filePath(QStringLiteral("bad.sql")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("SELECT '\xC3\xA9', '\xFF';");
    bad.close();
    const Outcome utf = runShell(base + QLatin1Char(' ') + quoted(bad.fileName()));
    EXPECT_EQ(utf.code, 2);
    EXPECT_TRUE(utf.err.contains(QStringLiteral("offset 14"))) << utf.err.toStdString();
    // a Latin-1 file runs, and says how it was read
    const Outcome latin = runShell(base + QStringLiteral(" -"), "SELECT 'caf\xE9' AS w;");
    EXPECT_EQ(latin.code, 0) << latin.err.toStdString();
    EXPECT_TRUE(latin.err.contains(QStringLiteral("Latin-1")));
    EXPECT_TRUE(QString::fromUtf8(latin.out).contains(QStringLiteral("café")));

    // closed or unreadable input, a row limit of nothing
    const Outcome noInput = runShell(base + QStringLiteral(" - <&-"));
    EXPECT_EQ(noInput.code, 2);
    EXPECT_TRUE(noInput.err.contains(QStringLiteral("standard input is closed"))) << noInput.err.toStdString();
    const Outcome noConnection = runShell(QStringLiteral("--home %1 --connect - %2 <&-").arg(quoted(dir.path()), quoted(db)));
    EXPECT_EQ(noConnection.code, 2);
    EXPECT_TRUE(noConnection.err.contains(QStringLiteral("cannot read the connection string: standard input is closed")))
        << noConnection.err.toStdString();
    EXPECT_EQ(runShell(base + QStringLiteral(" /nonexistent/x.sql")).code, 2);
    EXPECT_EQ(runShell(base + QStringLiteral(" --max-rows 0 -"), "SELECT 1").code, 2);
    EXPECT_EQ(runShell(base + QStringLiteral(" --max-rows -3 -"), "SELECT 1").code, 2);
}

TEST_F(RunnerFault, PlanningAScriptOfCommentsStaysWithinAFewTimesItsSize) {
    // 200 MB of distinct line comments (CR LF, and LF only), then one statement
    for (const QByteArray& eol : {QByteArray("\r\n"), QByteArray("\n")}) {
        SCOPED_TRACE(eol.size());
        const QString path = dir.filePath(QStringLiteral("comments.sql"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        const QByteArray start = "-- " + QByteArray(300, '=');
        qint64 size = 0;
        for (int i = 0; size < 200 * 1024 * 1024; ++i) size += f.write(start + QByteArray::number(i) + eol);
        size += f.write("SELECT 1;" + eol);
        f.close();
        const MeasuredRun run = runMeasured(QStringLiteral(SQLQE_RUN_PATH),
                                            {QStringLiteral("--home"), dir.path(), QStringLiteral("--connect"),
                                             db::sqliteConnectionString(db), path});
        EXPECT_EQ(run.exitCode, 0);
        // the text itself takes twice the file (UTF-16); sending it, the UTF-8
        // copy for the driver and SQLite's own take about two more
        EXPECT_LT(run.peakKb * 1024, 5 * size) << run.peakKb << " KB for a script of " << size / 1024 << " KB";
        QFile::remove(path);
    }
}

TEST_F(RunnerFault, SignalsEndTheRunAtEveryStage) {
    // while the script is still being read (its writer never finishes)
    QProcess reading;
    reading.start(QStringLiteral(SQLQE_RUN_PATH), {QStringLiteral("--home"), dir.path(), QStringLiteral("--connect"),
                                                   db::sqliteConnectionString(db), QStringLiteral("-")});
    ASSERT_TRUE(reading.waitForStarted());
    QThread::msleep(300);
    ::kill(pid_t(reading.processId()), SIGINT);
    ASSERT_TRUE(reading.waitForFinished(5000));
    EXPECT_EQ(reading.exitCode(), 130);

    // while connecting to a server that never answers
    SilentServer silent;
    const QString cs = QStringLiteral("Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=%1;Database=x;Uid=u;Pwd=p;")
                           .arg(silent.port());
    QProcess connecting;
    connecting.start(QStringLiteral(SQLQE_RUN_PATH), {QStringLiteral("--home"), dir.path(), QStringLiteral("--connect"), cs,
                                                      QStringLiteral("-")});
    ASSERT_TRUE(connecting.waitForStarted());
    connecting.write("SELECT 1");
    connecting.waitForBytesWritten(2000);
    connecting.closeWriteChannel();
    QThread::msleep(500);
    QElapsedTimer t;
    t.start();
    ::kill(pid_t(connecting.processId()), SIGTERM);
    ASSERT_TRUE(connecting.waitForFinished(8000));
    EXPECT_EQ(connecting.exitCode(), 143);
    EXPECT_LT(t.elapsed(), 5000);
}

// A server that takes the connection and never answers: every driver gives
// up within the login time-out (plus a short grace).
TEST_F(RunnerFault, ASilentServerFailsWithinTheLoginTimeout) {
    SilentServer silent;
    QFile config(dir.filePath(QStringLiteral("config.ini")));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write("[OPTIONS]\nlogintimeout=2\n");
    config.close();
    for (const char* driver : {"PostgreSQL Unicode", "MariaDB Unicode", "FreeTDS"}) {
        SCOPED_TRACE(driver);
        const QString cs = QStringLiteral("Driver={%1};Server=127.0.0.1;Port=%2;Database=x;Uid=u;Pwd=p;")
                               .arg(QLatin1String(driver))
                               .arg(silent.port());
        const Outcome o = runShell(QStringLiteral("--home %1 --connect %2 -").arg(quoted(dir.path()), quoted(cs)), "SELECT 1", 30000);
        EXPECT_EQ(o.code, 1) << o.err.toStdString();
        EXPECT_LT(o.ms, 10000);
        EXPECT_TRUE(o.err.startsWith(QStringLiteral("Error: #"))) << o.err.toStdString();
    }
}

TEST_F(RunnerFault, PasswordsStayHiddenAndConnectionsComeFromSaferPlaces) {
    // an unclosed brace swallows the password into the driver name
    const QString broken = QStringLiteral("Driver={PostgreSQL Unicode;Server=127.0.0.1;Pwd=Sekrit-77;Uid=u");
    const Outcome o = runShell(QStringLiteral("--home %1 --connect %2 -").arg(quoted(dir.path()), quoted(broken)), "SELECT 1");
    EXPECT_NE(o.code, 0);
    EXPECT_FALSE(o.err.contains(QStringLiteral("Sekrit-77"))) << o.err.toStdString();

    // the connection string from a file, and from standard input
    QFile cf(dir.filePath(QStringLiteral("conn.txt")));
    ASSERT_TRUE(cf.open(QIODevice::WriteOnly));
    cf.write(db::sqliteConnectionString(db).toUtf8() + "\n");
    cf.close();
    QFile script(dir.filePath(QStringLiteral("one.sql")));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("SELECT count(*) AS n FROM big");
    script.close();
    const QString home = QStringLiteral("--home ") + quoted(dir.path());
    const Outcome fromFile = runShell(home + QStringLiteral(" --connect-file %1 %2").arg(quoted(cf.fileName()), quoted(script.fileName())));
    EXPECT_EQ(fromFile.code, 0) << fromFile.err.toStdString();
    EXPECT_TRUE(fromFile.out.contains("200000"));
    const Outcome fromStdin = runShell(home + QStringLiteral(" --connect - %1").arg(quoted(script.fileName())),
                                       db::sqliteConnectionString(db).toUtf8());
    EXPECT_EQ(fromStdin.code, 0) << fromStdin.err.toStdString();
    EXPECT_EQ(runShell(home + QStringLiteral(" --connect - -"), "x").code, 2); // both cannot come from stdin
    EXPECT_EQ(runShell(home + QStringLiteral(" --connection 'No Such' %1").arg(quoted(script.fileName()))).code, 2);
    EXPECT_EQ(runShell(home + QStringLiteral(" %1").arg(quoted(script.fileName()))).code, 2); // no connection at all
}

TEST(RunnerFaultMariaDb, AnErrorAfterAStatementKeepsTheServersNumber) {
    QString cs;
    SQLQE_REQUIRE_SERVER(kMariaDb, cs);
    QTemporaryDir home;
    const Outcome o = runShell(QStringLiteral("--home %1 --connect %2 -").arg(quoted(home.path()), quoted(cs)),
                               "CREATE TEMPORARY TABLE numbered (a INTEGER); INSERT INTO numbered VALUES (1); SELEC 1");
    EXPECT_EQ(o.code, 1);
    EXPECT_TRUE(o.err.startsWith(QStringLiteral("Error: #1064\r\n"))) << o.err.toStdString();
}
