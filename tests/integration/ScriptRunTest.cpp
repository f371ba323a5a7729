// Scripts run as the user expects on every backend: each statement commits
// or fails on its own (PostgreSQL runs a script sent in one call as one
// transaction, so it goes statement by statement), the first failure ends
// the script, and a row limit stops its statement on the server without
// stopping the script.
#include "db/Connection.h"
#include "run/Session.h"
#include "support/RunCapture.h"
#include "support/TestServers.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// An empty table script_keep on cs, and the connection to it.
std::unique_ptr<db::Connection> withKeepTable(const QString& cs) {
    auto conn = db::Connection::open(cs);
    conn->exec(QStringLiteral("DROP TABLE IF EXISTS script_keep"));
    conn->exec(QStringLiteral("CREATE TABLE script_keep (id INTEGER)"));
    return conn;
}

QString keptRows(db::Connection& conn) {
    return conn.query(QStringLiteral("SELECT count(*) FROM script_keep"))
        .rows.at(0)
        .at(0)
        .value_or(QString());
}

const TestBackend kScriptBackends[] = {kTestBackends[0], kTestBackends[1], kPostgresOdbc, kTestBackends[2]};

class ScriptRun : public ::testing::TestWithParam<TestBackend> {
protected:
    void SetUp() override {
        SQLQE_REQUIRE_BACKEND(GetParam(), dir.filePath(QStringLiteral("s.db")), cs);
        conn = withKeepTable(cs);
    }

    QTemporaryDir dir;
    QString cs;
    std::unique_ptr<db::Connection> conn;
    RunCapture sink;
};

} // namespace

TEST_P(ScriptRun, AFailureKeepsTheStatementsBeforeItAndRunsNoneAfterIt) {
    QString script;
    for (int i = 1; i <= 6; ++i)
        script += QStringLiteral("INSERT INTO script_keep VALUES (%1);\n").arg(i);
    script += QStringLiteral("INSERT INTO script_missing VALUES (7);\nINSERT INTO script_keep VALUES (8);\n");
    const RunResult r = runScript(sink, cs, script);
    EXPECT_EQ(r.outcome, RunOutcome::Failed);
    EXPECT_TRUE(r.closingMessage.startsWith(QStringLiteral("Error: #"))) << qPrintable(r.closingMessage);
    EXPECT_TRUE(r.closingMessage.endsWith(QStringLiteral("\r\nLine 7"))) << qPrintable(r.closingMessage);
    EXPECT_EQ(sink.results, QStringLiteral("1 Row(s) affected.\r\n").repeated(6));
    EXPECT_EQ(keptRows(*conn), QStringLiteral("6"));
}

// MariaDB's ODBC driver reads a whole result before its first row, whatever
// the row limit (a 10^8-row join took 15 s and 3.9 GB for 10 rows): runs
// there are refused, and the message names the way that streams.
TEST(MariaDbOdbcScript, IsRefusedWithAMessageNamingTheNativeClient) {
    QString cs;
    SQLQE_REQUIRE_SERVER(kMariaDb, cs);
    auto conn = withKeepTable(cs);
    RunCapture sink;
    const RunResult r = runScript(sink, cs + QStringLiteral("Backend=ODBC;"),
                                  QStringLiteral("INSERT INTO script_keep VALUES (1);"
                                                 " SELECT a.seq FROM seq_1_to_10000 a, seq_1_to_10000 b"),
                                  true, 10);
    EXPECT_EQ(r.outcome, RunOutcome::Refused);
    EXPECT_TRUE(r.isError());
    EXPECT_TRUE(r.closingMessage.contains(QStringLiteral("Remove Backend=ODBC"))) << qPrintable(r.closingMessage);
    EXPECT_TRUE(r.closingMessage.contains(QStringLiteral("native MariaDB client"))) << qPrintable(r.closingMessage);
    EXPECT_EQ(keptRows(*conn), QStringLiteral("0"));
}

INSTANTIATE_TEST_SUITE_P(Backends, ScriptRun, ::testing::ValuesIn(kScriptBackends), byLabel);

namespace {

class PostgresScript : public ::testing::Test {
protected:
    void SetUp() override {
        SQLQE_REQUIRE_SERVER(kPostgres, cs);
        conn = withKeepTable(cs);
    }
    QString ids() {
        return conn
            ->query(
                QStringLiteral("SELECT coalesce(string_agg(id::text, ',' ORDER BY id), '') FROM script_keep"))
            .rows.at(0)
            .at(0)
            .value_or(QString());
    }
    QString cs;
    std::unique_ptr<db::Connection> conn;
    RunCapture sink;
};

} // namespace

// Statements that may not share a call (DO and CALL may commit themselves,
// BEGIN changes the rules) and $$ bodies holding semicolons.
TEST_F(PostgresScript, FunctionBodiesAndDoBlocksRunAsTheyWouldAlone) {
    const QString script =
        QStringLiteral("CREATE OR REPLACE FUNCTION script_f() RETURNS int LANGUAGE plpgsql AS $$\n"
                       "BEGIN INSERT INTO script_keep VALUES (100); RETURN 1; END $$;\n"
                       "DO $$ BEGIN INSERT INTO script_keep VALUES (1); COMMIT; INSERT INTO script_keep "
                       "VALUES (2); END $$;\n"
                       "SELECT script_f() AS f;\n"
                       "INSERT INTO script_keep VALUES (3);\n"
                       "DO $$ BEGIN RAISE EXCEPTION 'boom; in a body'; END $$;\n"
                       "INSERT INTO script_keep VALUES (4);\n");
    const RunResult r = runScript(sink, cs, script);
    EXPECT_EQ(r.outcome, RunOutcome::Failed);
    EXPECT_TRUE(r.closingMessage.contains(QStringLiteral("boom; in a body"))) << qPrintable(r.closingMessage);
    EXPECT_TRUE(r.closingMessage.endsWith(QStringLiteral("\r\nLine 6"))) << qPrintable(r.closingMessage);
    EXPECT_EQ(ids(), QStringLiteral("1,2,3,100"));
    EXPECT_TRUE(sink.notices.isEmpty()) << qPrintable(sink.notices); // no warnings of ours
}

// Inside a transaction the user opened, the transaction's rules apply: the
// failure aborts it, nothing after it runs, and the window says so.
TEST_F(PostgresScript, InsideTheUsersTransactionAFailureAbortsIt) {
    auto session = std::make_shared<Session>();
    RunResult r = runScript(
        sink, cs,
        QStringLiteral("INSERT INTO script_keep VALUES (1); BEGIN; INSERT INTO script_keep VALUES (2);"
                       " INSERT INTO script_keep VALUES (3); SELECT 1 / 0;"
                       " INSERT INTO script_keep VALUES (5);"),
        true, std::nullopt, session);
    EXPECT_EQ(r.outcome, RunOutcome::Failed);
    EXPECT_TRUE(r.inTransaction.value_or(false));
    EXPECT_TRUE(r.transactionAborted);
    EXPECT_EQ(ids(), QStringLiteral("1")); // the open transaction's rows are not seen from outside
    r = runScript(sink, cs, QStringLiteral("ROLLBACK"), true, std::nullopt, session);
    EXPECT_FALSE(r.transactionAborted);
    EXPECT_EQ(ids(), QStringLiteral("1"));
}

// Many statements share calls; the one that fails is still the one named,
// and the statements before it are kept.
TEST_F(PostgresScript, AThousandStatementsWithAFailureAt700) {
    QString script;
    for (int i = 1; i <= 1000; ++i)
        script += i == 700 ? QStringLiteral("INSERT INTO script_keep VALUES ('x%1');\n").arg(i)
                           : QStringLiteral("INSERT INTO script_keep VALUES (%1);\n").arg(i);
    const RunResult r = runScript(sink, cs, script);
    EXPECT_EQ(r.outcome, RunOutcome::Failed);
    EXPECT_TRUE(r.closingMessage.endsWith(QStringLiteral("\r\nLine 700"))) << qPrintable(r.closingMessage);
    EXPECT_EQ(conn->query(QStringLiteral("SELECT count(*), max(id) FROM script_keep")).rows.at(0),
              (std::vector<db::Cell>{QStringLiteral("699"), QStringLiteral("699")}));
    EXPECT_EQ(sink.results.count(QStringLiteral("1 Row(s) affected.")), 699);
    EXPECT_TRUE(sink.notices.isEmpty()) << qPrintable(sink.notices.left(300));
}

namespace {

const TestBackend kLimitBackends[] = {kTestBackends[1], kPostgresOdbc, kTestBackends[2]};

class RowLimit : public ::testing::TestWithParam<TestBackend> {
protected:
    void SetUp() override {
        SQLQE_REQUIRE_BACKEND(GetParam(), QString(), cs);
        conn = withKeepTable(cs);
    }
    // A query that would stream rows for minutes.
    QString endless() const {
        return QLatin1String(
            GetParam().server == &kMariaDb
                ? "SELECT a.seq AS limit_probe FROM seq_1_to_100000 a, seq_1_to_100000 b"
                : "SELECT a AS limit_probe FROM generate_series(1, 100000) a, generate_series(1, 100000) b");
    }
    // The sessions still running it, once the server has had a moment to
    // note the end of one it has stopped.
    QString stillRunning() {
        return runningStatements(*GetParam().server, cs, QStringLiteral("limit_probe"));
    }
    QString cs;
    std::unique_ptr<db::Connection> conn;
    RunCapture sink;
};

} // namespace

// The limit ends the statement on the server at once, in text and grid
// mode, and the statements after it still run.
TEST_P(RowLimit, ReachingItStopsTheStatementOnTheServerAndTheScriptGoesOn) {
    for (const bool text : {true, false}) {
        SCOPED_TRACE(text ? "text" : "grid");
        sink = RunCapture();
        QElapsedTimer t;
        t.start();
        const RunResult r = runScript(sink, cs, endless(), text, 10);
        EXPECT_LT(t.elapsed(), 10000);
        EXPECT_EQ(r.outcome, RunOutcome::Success) << qPrintable(r.closingMessage);
        EXPECT_EQ(r.rows, 10);
        EXPECT_EQ(stillRunning(), QStringLiteral("0"));
    }
    if (GetParam().server == &kMariaDb)
        return; // there a later statement makes the limit read on (see MariaCursor)
    const RunResult r = runScript(
        sink, cs,
        endless() + QStringLiteral(";\nINSERT INTO script_keep VALUES (1);\nSELECT 2 AS after_limit"), true,
        10);
    EXPECT_EQ(r.outcome, RunOutcome::Success) << qPrintable(r.closingMessage);
    EXPECT_EQ(keptRows(*conn), QStringLiteral("1"));
    EXPECT_EQ(stillRunning(), QStringLiteral("0"));
}

INSTANTIATE_TEST_SUITE_P(Servers, RowLimit, ::testing::ValuesIn(kLimitBackends), byLabel);

// A cancel would abort a transaction the user opened, and undo a statement
// that changes data: there the limit reads the rest instead.
TEST_F(PostgresScript, TheLimitNeverCancelsInsideTheUsersTransactionOrAChange) {
    auto session = std::make_shared<Session>();
    RunResult r = runScript(sink, cs,
                            QStringLiteral("BEGIN; SELECT g FROM generate_series(1, 200000) g;"
                                           " INSERT INTO script_keep VALUES (1);"),
                            true, 10, session);
    EXPECT_EQ(r.outcome, RunOutcome::Success) << qPrintable(r.closingMessage);
    EXPECT_FALSE(r.transactionAborted);
    r = runScript(sink, cs, QStringLiteral("COMMIT"), true, std::nullopt, session);
    EXPECT_EQ(ids(), QStringLiteral("1"));

    r = runScript(
        sink, cs,
        QStringLiteral("INSERT INTO script_keep SELECT g FROM generate_series(2, 50001) g RETURNING id;"),
        true, 10);
    EXPECT_EQ(r.rows, 10);
    EXPECT_EQ(keptRows(*conn), QStringLiteral("50001"));
}
