// sqlqe-run as a user calls it: output, closing message, exit status, Ctrl+C.
#include "db/Connection.h"
#include "settings/AppPaths.h"
#include "store/ConnectionStore.h"
#include "store/HomeSeeding.h"
#include "support/RunnerProcess.h"
#include "support/TempHome.h"
#include "support/TestServers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

TEST(RunnerCliBasics, TextModeMatchesTheEditorsTextPane) {
    QTemporaryDir dir;
    const QString cs = newSqliteConnectionString(dir.filePath(QStringLiteral("a.db")));
    const RunnerOutcome o =
        runRunner({QStringLiteral("--connect"), cs},
                  "CREATE TABLE t(a INTEGER, b VARCHAR(3));\nINSERT INTO t VALUES (1, 'x'), (2, NULL);");
    EXPECT_EQ(o.code, 0) << o.err.toStdString();
    // neither statement has rows: each says its count, in the text and at the close
    EXPECT_EQ(o.outText(), QStringLiteral("0 Row(s) affected.\r\n2 Row(s) affected.\r\n"));
    EXPECT_EQ(o.err, QStringLiteral("0 Row(s) affected.\r\n2 Row(s) affected.\n"));
    const RunnerOutcome sel = runRunner({QStringLiteral("--connect"), cs}, "SELECT a, b FROM t ORDER BY a");
    EXPECT_EQ(sel.code, 0);
    EXPECT_EQ(sel.outText(), QStringLiteral("a              b       \r\n"
                                            "-----------------------\r\n"
                                            "1              x       \r\n"
                                            "2                      \r\n"
                                            "\r\n\r\n2  Row(s) affected\r\n\r\n"));
    EXPECT_EQ(sel.err, QStringLiteral("Success\r\n\r\n2  Row(s) affected\n"));

    const RunnerOutcome tsv = runRunner({QStringLiteral("--connect"), cs, QStringLiteral("--tsv"),
                                         QStringLiteral("--max-rows"), QStringLiteral("1")},
                                        "SELECT b, a FROM t ORDER BY a");
    EXPECT_EQ(tsv.outText(), QStringLiteral("\"\"\t\"b\"\t\"a\"\r\n\"1\"\t\"x\"\t\"1\"\r\n"));
    EXPECT_TRUE(tsv.err.contains(QStringLiteral("...Rowcount = 1...")));

    const RunnerOutcome bad = runRunner({QStringLiteral("--connect"), cs}, "SELECT nope FROM t");
    EXPECT_EQ(bad.code, 1);
    EXPECT_TRUE(bad.err.startsWith(QStringLiteral("Error: #")));
    const RunnerOutcome empty = runRunner({QStringLiteral("--connect"), cs}, "");
    EXPECT_EQ(empty.err, QStringLiteral("Nothing to do but wait for something to execute :/\n"));
}

// What shell completion and a user at the prompt ask of it: the saved
// names, the options; a wrong option is bad arguments (2), not a crash.
TEST(RunnerCliBasics, ListsSavedConnectionsAndTellsItsOptions) {
    auto cli = [](const QStringList& args) { return runProgram(QStringLiteral(SQLQE_RUN_PATH), args); };
    QTemporaryDir home;
    const RunnerOutcome none =
        cli({QStringLiteral("--home"), home.path(), QStringLiteral("--list-connections")});
    EXPECT_EQ(none.code, 0) << none.err.toStdString();
    EXPECT_EQ(none.outText(), QString());
    EXPECT_TRUE(QDir(home.path()).isEmpty()); // asking creates nothing

    {
        TempHome seeded;
        AppPaths::set(home.path());
        ASSERT_TRUE(store::ensureSeeded().isEmpty());
        ASSERT_TRUE(ConnectionStore::insertConnection(QStringLiteral("it's 100% \"mine\""), QStringLiteral("DSN=x"), 1));
    }
    const RunnerOutcome names =
        cli({QStringLiteral("--list-connections"), QStringLiteral("--home"), home.path()});
    EXPECT_EQ(names.code, 0) << names.err.toStdString();
    QStringList listed = names.outText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    listed.sort();
    EXPECT_EQ(listed, (QStringList{QStringLiteral("Demo (SQLite)"), QStringLiteral("it's 100% \"mine\"")}));

    const RunnerOutcome help = cli({QStringLiteral("--help")});
    EXPECT_EQ(help.code, 0);
    for (const char* option : {"--connect ", "--connect-file", "--connection", "--database", "--text", "--grid-csv",
                               "--tsv", "--max-rows", "--home", "--list-connections", "Exit status:", "XDG_DATA_HOME"})
        EXPECT_TRUE(help.outText().contains(QLatin1String(option))) << option;

    const RunnerOutcome wrong = cli({QStringLiteral("--no-such-option"), QStringLiteral("-")});
    EXPECT_EQ(wrong.code, 2);
    EXPECT_TRUE(wrong.err.contains(QStringLiteral("no-such-option"))) << wrong.err.toStdString();
}

TEST(RunnerCliBasics, InterruptCancelsALongStatementOnTheServer) {
    QString cs;
    SQLQE_REQUIRE_SERVER(kPostgres, cs);
    QTemporaryDir home;
    QProcess p;
    p.start(QStringLiteral(SQLQE_RUN_PATH), {QStringLiteral("--home"), home.path(), QStringLiteral("--connect"), cs,
                                             QStringLiteral("-")});
    ASSERT_TRUE(p.waitForStarted());
    p.write("SELECT pg_sleep(30) AS cli_interrupt_probe");
    ASSERT_TRUE(p.waitForBytesWritten(5000));
    p.closeWriteChannel();
    // wait until the server runs the statement, so the signal meets it there
    runningStatements(kPostgres, cs, QStringLiteral("cli_interrupt_probe"), QStringLiteral("0"), 20000, true);
    QElapsedTimer t;
    t.start();
    ::kill(pid_t(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(5000));
    EXPECT_LT(t.elapsed(), 2000);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("...Query cancelled by User...")));
}

// The same script in all three output modes: both results present, each in
// the mode's format, nothing but results on stdout in the export modes.
TEST(RunnerCliResults, AStatementWithoutRowsBetweenTwoQueriesInEveryModeAndBackend) {
    for (const TestBackend& t : kTestBackends) {
        SCOPED_TRACE(t.label);
        QTemporaryDir dir;
        const QString cs = t.server ? serverConnectionString(*t.server)
                                    : newSqliteConnectionString(dir.filePath(QStringLiteral("m.db")));
        if (cs.isEmpty()) continue; // reported by the server tests
        const QByteArray script = "DROP TABLE IF EXISTS cli_mid; SELECT 5 AS a; CREATE TABLE cli_mid (id INTEGER); "
                                  "SELECT 6 AS b; DROP TABLE cli_mid;";
        const RunnerOutcome text = runRunner({QStringLiteral("--connect"), cs}, script);
        EXPECT_EQ(text.code, 0) << text.err.toStdString();
        EXPECT_TRUE(text.outText().contains(QStringLiteral("0 Row(s) affected.\r\n")));
        EXPECT_TRUE(text.outText().contains(QStringLiteral("\r\n5 "))) << text.outText().toStdString();
        EXPECT_TRUE(text.outText().contains(QStringLiteral("\r\n6 "))) << text.outText().toStdString();
        // the closing count is every row shown, not just the rows since the last statement
        EXPECT_TRUE(text.err.endsWith(QStringLiteral("Success\r\n\r\n2  Row(s) affected\n"))) << text.err.toStdString();

        const RunnerOutcome csv =
            runRunner({QStringLiteral("--connect"), cs, QStringLiteral("--grid-csv")}, script);
        EXPECT_EQ(csv.code, 0) << csv.err.toStdString();
        EXPECT_EQ(csv.outText(),
                  QStringLiteral("\"\",\"a\"\r\n\"1\",\"5\"\r\n\"\",\"b\"\r\n\"1\",\"6\"\r\n"));
        EXPECT_TRUE(csv.err.contains(QStringLiteral("0 Row(s) affected.")));

        const RunnerOutcome tsv =
            runRunner({QStringLiteral("--connect"), cs, QStringLiteral("--tsv")}, script);
        EXPECT_EQ(tsv.code, 0);
        EXPECT_EQ(tsv.outText(),
                  QStringLiteral("\"\"\t\"a\"\r\n\"1\"\t\"5\"\r\n\"\"\t\"b\"\r\n\"1\"\t\"6\"\r\n"));
    }
}

// Ctrl+C in the middle of a long fetch: the run stops, says so, exits 130,
// and the count it closes with is the number of rows it wrote.
TEST(RunnerCliResults, InterruptDuringALongFetchExits130WithTheWrittenCount) {
    QTemporaryDir dir;
    const QString cs = newSqliteConnectionString(dir.filePath(QStringLiteral("big.db")));
    QTemporaryDir home;
    QProcess p;
    p.start(QStringLiteral(SQLQE_RUN_PATH), {QStringLiteral("--home"), home.path(), QStringLiteral("--connect"), cs,
                                             QStringLiteral("-")});
    // an endless stream of rows, slow enough to be caught in the middle
    p.write("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n) "
            "SELECT x, randomblob(200) AS pad FROM n");
    p.closeWriteChannel();
    ASSERT_TRUE(p.waitForStarted());
    QByteArray out;
    QElapsedTimer wait;
    wait.start();
    while (out.size() < 2 * 1024 * 1024 && wait.elapsed() < 20000) {
        p.waitForReadyRead(200);
        out += p.readAllStandardOutput();
    }
    ::kill(pid_t(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(10000));
    out += p.readAllStandardOutput();
    const QString err = QString::fromUtf8(p.readAllStandardError());
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 130) << err.toStdString();
    const QRegularExpression closing(QStringLiteral("\\.\\.\\.Query cancelled by User\\.\\.\\.\\r\\n\\r\\n(\\d+)  Row\\(s\\) affected"));
    const auto m = closing.match(err);
    ASSERT_TRUE(m.hasMatch()) << err.toStdString();
    const qint64 counted = m.captured(1).toLongLong();
    // every written row is one line that starts with its number
    const QList<QByteArray> lines = out.split('\n');
    qint64 rows = 0;
    for (const QByteArray& l : lines)
        if (!l.isEmpty() && l[0] >= '1' && l[0] <= '9' && !l.contains("Row(s) affected")) ++rows;
    EXPECT_GT(counted, 1000);
    EXPECT_EQ(counted, rows);
}
