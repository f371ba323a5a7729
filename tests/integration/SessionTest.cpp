// A document's session against SQLite files and the real servers: what one
// run leaves behind (temporary tables, transactions) is there for the next,
// a connection the server dropped is noticed and replaced once, and the
// transaction state reaches the window.
#include "run/Session.h"

#include "run/RunEngine.h"
#include "support/RunCapture.h"
#include "support/TestServers.h"

#include <QTemporaryDir>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

struct SessionBackend {
    const char* label;
    const ServerUnderTest* server; // null: SQLite file
    const char* begin;
    const char* sessionId;         // the server's number for this connection
    const char* kill;              // ends connection ? from another one
};
void PrintTo(const SessionBackend& b, std::ostream* os) { *os << b.label; }

const SessionBackend kSessionBackends[] = {
    {"SQLite", nullptr, "BEGIN", nullptr, nullptr},
    {"PostgreSQL", &kPostgres, "BEGIN", "SELECT pg_backend_pid()", "SELECT pg_terminate_backend(?)"},
    {"MariaDB", &kMariaDb, "START TRANSACTION", "SELECT CONNECTION_ID()", "KILL CONNECTION %1"},
};

class SessionTest : public ::testing::TestWithParam<SessionBackend> {
protected:
    void SetUp() override {
        SQLQE_REQUIRE_BACKEND((TestBackend{GetParam().label, GetParam().server}),
                              dir.filePath(QStringLiteral("s.db")), cs);
        db::Connection::open(cs)->exec(QStringLiteral("DROP TABLE IF EXISTS session_t"));
        db::Connection::open(cs)->exec(QStringLiteral("CREATE TABLE session_t (n INTEGER)"));
    }
    RunResult run(const QString& sql, bool keptOnly = false) {
        sink = RunCapture();
        RunRequest r = runRequest(cs, sql, false, std::nullopt, session);
        r.keptSessionOnly = keptOnly;
        return RunEngine(r, sink).run();
    }
    // The server's number for the session's connection.
    qint64 sessionConnectionId() {
        EXPECT_FALSE(run(QLatin1String(GetParam().sessionId)).failed());
        const QString id = sink.firstCell();
        EXPECT_FALSE(id.isEmpty());
        return id.toLongLong();
    }
    // Ends connection id from another one, as a restart or an administrator would.
    void killConnection(qint64 id) {
        auto admin = db::Connection::open(cs);
        const QString kill = QLatin1String(GetParam().kill);
        if (kill.contains(QLatin1Char('?')))
            admin->query(kill, {id});
        else
            admin->exec(kill.arg(id)); // a number the server gave
    }
    void killSessionConnection() { killConnection(sessionConnectionId()); }
    // Rows of session_t as another connection sees them.
    QString rowsInTable() const {
        const db::Table t = db::Connection::open(cs)->query(QStringLiteral("SELECT count(*) FROM session_t"));
        return t.rows.empty() ? QString() : t.rows[0][0].value_or(QString());
    }
    QTemporaryDir dir;
    QString cs;
    RunCapture sink;
    std::shared_ptr<Session> session = std::make_shared<Session>();
};

} // namespace

TEST_P(SessionTest, WhatOneRunLeavesIsThereForTheNext) {
    const QString tempTable = GetParam().server == &kMariaDb
                                  ? QStringLiteral("CREATE TEMPORARY TABLE session_tt (x INT)")
                                  : QStringLiteral("CREATE TEMP TABLE session_tt (x INT)");
    RunResult r = run(tempTable);
    EXPECT_EQ(r.outcome, RunOutcome::Affected) << r.closingMessage.toStdString();
    EXPECT_TRUE(r.sessionOpen);
    r = run(QStringLiteral("INSERT INTO session_tt VALUES (7)"));
    EXPECT_FALSE(r.isError()) << r.closingMessage.toStdString();
    r = run(QStringLiteral("SELECT x FROM session_tt"));
    ASSERT_EQ(r.outcome, RunOutcome::Success) << r.closingMessage.toStdString();
    EXPECT_EQ(sink.firstCell(), QStringLiteral("7"));

    // a failed statement does not end the session
    r = run(QStringLiteral("SELECT * FROM no_such_table_here"));
    EXPECT_EQ(r.outcome, RunOutcome::Failed);
    EXPECT_TRUE(r.sessionOpen);
    EXPECT_FALSE(run(QStringLiteral("SELECT x FROM session_tt")).isError());

    // closing the session (Disconnect) ends what it held
    session->close();
    r = run(QStringLiteral("SELECT x FROM session_tt"));
    EXPECT_EQ(r.outcome, RunOutcome::Failed);
    EXPECT_TRUE(sink.notices.isEmpty()) << "a session closed on purpose is not reported as lost";
}

TEST_P(SessionTest, TheTransactionStateFollowsBeginAndCommit) {
    RunResult r = run(QStringLiteral("SELECT count(*) FROM session_t"));
    ASSERT_TRUE(r.inTransaction.has_value());
    EXPECT_FALSE(*r.inTransaction);

    r = run(QLatin1String(GetParam().begin) + QStringLiteral(";\nINSERT INTO session_t VALUES (1)"));
    EXPECT_FALSE(r.isError()) << r.closingMessage.toStdString();
    EXPECT_EQ(r.inTransaction, std::optional<bool>(true));
    // uncommitted: another connection does not see the row yet (SQLite: the file is locked for writing)
    if (GetParam().server) {
        EXPECT_EQ(rowsInTable(), QStringLiteral("0"));
    }

    // a run that sends nothing leaves the state as it was
    r = run(QString());
    EXPECT_EQ(r.outcome, RunOutcome::NothingToDo);
    EXPECT_TRUE(r.sessionOpen);
    EXPECT_EQ(r.inTransaction, std::optional<bool>(true));

    r = run(QStringLiteral("COMMIT"), true);
    EXPECT_FALSE(r.isError()) << r.closingMessage.toStdString();
    EXPECT_EQ(r.inTransaction, std::optional<bool>(false));
    EXPECT_EQ(rowsInTable(), QStringLiteral("1"));

    // a rolled-back transaction leaves nothing
    run(QLatin1String(GetParam().begin) + QStringLiteral(";\nINSERT INTO session_t VALUES (2)"));
    r = run(QStringLiteral("ROLLBACK"));
    EXPECT_EQ(r.inTransaction, std::optional<bool>(false));
    EXPECT_EQ(rowsInTable(), QStringLiteral("1"));
}

TEST_P(SessionTest, AConnectionTheServerDroppedIsReportedAndReplacedOnce) {
    if (!GetParam().server) GTEST_SKIP() << "a SQLite file has no server to drop the connection";
    ASSERT_FALSE(run(QStringLiteral("SELECT 1")).failed());
    killSessionConnection();

    RunResult r = run(QStringLiteral("INSERT INTO session_t VALUES (5)"));
    EXPECT_FALSE(r.isError()) << r.closingMessage.toStdString();
    EXPECT_TRUE(sink.notices.contains(QStringLiteral("The connection to the server was lost")))
        << sink.notices.toStdString();
    EXPECT_TRUE(r.sessionOpen);
    // the statement ran exactly once
    EXPECT_EQ(rowsInTable(), QStringLiteral("1"));
    // and the next run goes on on the new connection without a word
    r = run(QStringLiteral("SELECT 2"));
    EXPECT_FALSE(r.isError());
    EXPECT_TRUE(sink.notices.isEmpty()) << sink.notices.toStdString();
}

TEST_P(SessionTest, AConnectionDroppedDuringAStatementFailsItAndIsNotUsedAgain) {
    if (!GetParam().server) GTEST_SKIP() << "a SQLite file has no server to drop the connection";
    ASSERT_FALSE(run(QStringLiteral("SELECT 1")).failed());
    // the run in the session dies while the server works on it
    const qint64 id = sessionConnectionId();
    const QString sleep = GetParam().server == &kPostgres ? QStringLiteral("SELECT pg_sleep(20)")
                                                          : QStringLiteral("SELECT SLEEP(20)");
    std::thread killer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        killConnection(id);
    });
    RunResult r = run(sleep);
    killer.join();
    EXPECT_EQ(r.outcome, RunOutcome::Failed) << r.closingMessage.toStdString();
    EXPECT_FALSE(r.sessionOpen) << "a broken connection is dropped, never re-used";
    r = run(QStringLiteral("SELECT 3"));
    EXPECT_EQ(r.outcome, RunOutcome::Success) << r.closingMessage.toStdString();
    EXPECT_EQ(sink.firstCell(), QStringLiteral("3"));
}

TEST_P(SessionTest, AFailedTransactionIsToldApartWhereOnlyARollbackEndsIt) {
    RunResult r = run(QLatin1String(GetParam().begin) + QStringLiteral(";\nINSERT INTO session_t VALUES (1)"));
    ASSERT_EQ(r.inTransaction, std::optional<bool>(true));
    EXPECT_FALSE(r.transactionAborted);
    r = run(QStringLiteral("INSERT INTO no_such_table_here VALUES (1)"));
    EXPECT_EQ(r.outcome, RunOutcome::Failed);
    EXPECT_EQ(r.inTransaction, std::optional<bool>(true));
    // PostgreSQL alone aborts the transaction on an error (its COMMIT would roll back)
    EXPECT_EQ(r.transactionAborted, GetParam().server == &kPostgres);
    // a COMMIT typed by the user: PostgreSQL rolls back without an error, and the run says so
    const bool pg = GetParam().server == &kPostgres;
    r = run(QStringLiteral("COMMIT"));
    EXPECT_FALSE(r.isError()) << r.closingMessage.toStdString();
    EXPECT_EQ(r.inTransaction, std::optional<bool>(false));
    EXPECT_FALSE(r.transactionAborted);
    EXPECT_EQ(sink.notices.contains(QStringLiteral("the server rolled it back")), pg) << sink.notices.toStdString();
    EXPECT_EQ(rowsInTable(), pg ? QStringLiteral("0") : QStringLiteral("1"));
}

TEST_P(SessionTest, TheProgramsOwnCommitNeverRunsOnANewConnection) {
    // nothing kept: nothing to end
    RunResult r = run(QStringLiteral("COMMIT"), true);
    EXPECT_EQ(r.outcome, RunOutcome::Failed);
    EXPECT_TRUE(r.closingMessage.contains(QStringLiteral("no transaction to end"))) << r.closingMessage.toStdString();
    EXPECT_FALSE(r.sessionOpen);
    if (!GetParam().server) return;

    // the connection holding the transaction is dropped: neither the COMMIT
    // nor the rest of the user's transaction runs anywhere else
    run(QLatin1String(GetParam().begin) + QStringLiteral(";\nINSERT INTO session_t VALUES (9)"));
    killSessionConnection();
    r = run(QStringLiteral("COMMIT"), true);
    EXPECT_EQ(r.outcome, RunOutcome::Failed);
    EXPECT_TRUE(r.closingMessage.contains(QStringLiteral("lost while a transaction was open")))
        << r.closingMessage.toStdString();
    EXPECT_EQ(rowsInTable(), QStringLiteral("0"));

    run(QLatin1String(GetParam().begin) + QStringLiteral(";\nINSERT INTO session_t VALUES (10)"));
    killSessionConnection();
    r = run(QStringLiteral("INSERT INTO session_t VALUES (11)"));
    EXPECT_EQ(r.outcome, RunOutcome::Failed) << "the rest of a lost transaction must not autocommit";
    EXPECT_EQ(rowsInTable(), QStringLiteral("0"));
    // the run after that starts afresh
    r = run(QStringLiteral("INSERT INTO session_t VALUES (12)"));
    EXPECT_FALSE(r.isError()) << r.closingMessage.toStdString();
    EXPECT_EQ(rowsInTable(), QStringLiteral("1"));
}

INSTANTIATE_TEST_SUITE_P(Backends, SessionTest, ::testing::ValuesIn(kSessionBackends), byLabel);
