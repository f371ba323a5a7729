// sqlqe-run as a user calls it: output, closing message, exit status, Ctrl+C.
#include "support/TestServers.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

#ifndef SQLQE_RUN_PATH
#error "SQLQE_RUN_PATH must name the sqlqe-run executable"
#endif

namespace {

struct Outcome {
    QString out, err;
    int code = -1;
};

Outcome runCli(const QStringList& args, const QByteArray& script) {
    QTemporaryDir home;
    QProcess p;
    p.start(QStringLiteral(SQLQE_RUN_PATH), QStringList{QStringLiteral("--home"), home.path()} + args + QStringList{"-"});
    p.write(script);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    return {QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError()), p.exitCode()};
}


} // namespace

TEST(RunnerCliBasics, TextModeMatchesTheEditorsTextPane) {
    QTemporaryDir dir;
    const QString cs = QStringLiteral("Provider=SQLite;Data Source=") + dir.filePath(QStringLiteral("a.db"));
    // a native SQLite string needs an existing file
    {
        QFile f(dir.filePath(QStringLiteral("a.db")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const Outcome o = runCli({QStringLiteral("--connect"), cs},
                             "CREATE TABLE t(a INTEGER, b VARCHAR(3));\nINSERT INTO t VALUES (1, 'x'), (2, NULL);");
    EXPECT_EQ(o.code, 0) << o.err.toStdString();
    EXPECT_EQ(o.err, QStringLiteral("0 Row(s) affected.\n")); // the CREATE has no rows
    const Outcome sel = runCli({QStringLiteral("--connect"), cs}, "SELECT a, b FROM t ORDER BY a");
    EXPECT_EQ(sel.code, 0);
    EXPECT_EQ(sel.out, QStringLiteral("a              b       \r\n"
                                      "-----------------------\r\n"
                                      "1              x       \r\n"
                                      "2                      \r\n"
                                      "\r\n\r\n2  Row(s) affected\r\n\r\n"));
    EXPECT_EQ(sel.err, QStringLiteral("Success\r\n\r\n2  Row(s) affected\n"));

    const Outcome tsv = runCli({QStringLiteral("--connect"), cs, QStringLiteral("--tsv"), QStringLiteral("--max-rows"),
                                QStringLiteral("1")},
                               "SELECT b, a FROM t ORDER BY a");
    EXPECT_EQ(tsv.out, QStringLiteral("\"\"\t\"b\"\t\"a\"\r\n\"1\"\t\"x\"\t\"1\"\r\n"));
    EXPECT_TRUE(tsv.err.contains(QStringLiteral("...Rowcount = 1...")));

    const Outcome bad = runCli({QStringLiteral("--connect"), cs}, "SELECT nope FROM t");
    EXPECT_EQ(bad.code, 1);
    EXPECT_TRUE(bad.err.startsWith(QStringLiteral("Error: #")));
    const Outcome empty = runCli({QStringLiteral("--connect"), cs}, "");
    EXPECT_EQ(empty.err, QStringLiteral("Nothing to do but wait for something to execute :/\n"));
}

TEST(RunnerCliBasics, InterruptCancelsALongStatementOnTheServer) {
    QString cs;
    SQLQE_REQUIRE_SERVER(kPostgres, cs);
    QTemporaryDir home;
    QProcess p;
    p.start(QStringLiteral(SQLQE_RUN_PATH), {QStringLiteral("--home"), home.path(), QStringLiteral("--connect"), cs,
                                             QStringLiteral("-")});
    p.write("SELECT pg_sleep(30)");
    p.closeWriteChannel();
    ASSERT_TRUE(p.waitForStarted());
    QThread::msleep(800);
    QElapsedTimer t;
    t.start();
    ::kill(pid_t(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(5000));
    EXPECT_LT(t.elapsed(), 2000);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("...Query cancelled by User...")));
}
