// Runs through the engine against SQLite files and the real servers: the
// texts, counters, limits, failures and stops a user sees.
#include "run/RunEngine.h"

#include "run/Executor.h"
#include "run/TextLayout.h"
#include "support/RunCapture.h"
#include "support/TestServers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <thread>

namespace {

const TestBackend kBackends[] = {kTestBackends[0], kTestBackends[1], kTestBackends[2], kPostgresOdbc};

// A statement that runs until it is stopped (30 s on the servers).
QString longStatement(const TestBackend& b) {
    if (!b.server)
        return QStringLiteral(
            "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n) SELECT count(*) FROM n");
    return QLatin1String(b.server == &kMariaDb ? "SELECT SLEEP(30)" : "SELECT pg_sleep(30)");
}

class RunEngineTest : public ::testing::TestWithParam<TestBackend> {
protected:
    void SetUp() override {
        SQLQE_REQUIRE_BACKEND(GetParam(), dir.filePath(QStringLiteral("t.db")), cs);
        auto c = db::Connection::open(cs);
        c->exec(QStringLiteral("DROP TABLE IF EXISTS run_t"));
        c->exec(QStringLiteral("CREATE TABLE run_t (id INTEGER, name VARCHAR(10), note VARCHAR(10))"));
        c->exec(QStringLiteral("INSERT INTO run_t VALUES (1, 'one', NULL), (2, 'two', 'b'), (3, 'three', 'c')"));
    }
    RunResult run(const QString& sql, bool text, std::optional<qint64> limit = std::nullopt) {
        return runScript(sink, cs, sql, text, limit);
    }
    QTemporaryDir dir;
    QString cs;
    RunCapture sink;
};

} // namespace

TEST_P(RunEngineTest, TextModeWritesEverySetAndCountsOn) {
    const RunResult r = run(QStringLiteral("SELECT id, name FROM run_t WHERE id = 1; SELECT id FROM run_t WHERE id > 1"),
                            true);
    EXPECT_FALSE(r.failed());
    EXPECT_EQ(r.closingMessage, QStringLiteral("Success\r\n\r\n3  Row(s) affected"));
    EXPECT_EQ(r.rows, 3);
    const QString t = sink.results;
    EXPECT_TRUE(t.startsWith(QStringLiteral("id"))) << t.toStdString();
    EXPECT_TRUE(t.contains(QStringLiteral("\r\n\r\n1  Row(s) affected\r\n\r\n")));
    EXPECT_TRUE(t.contains(QStringLiteral("\r\n\r\n3  Row(s) affected\r\n\r\n")));
    EXPECT_TRUE(t.contains(QStringLiteral("one")));
}

TEST_P(RunEngineTest, GridModeFillsTheGridAndSendsFurtherSetsToTheExtendedPane) {
    const RunResult r = run(QStringLiteral("SELECT id, note FROM run_t ORDER BY id; SELECT name FROM run_t WHERE id = 3"),
                            false);
    EXPECT_FALSE(r.failed());
    EXPECT_TRUE(r.extendedResults);
    EXPECT_EQ(r.rows, 3);
    ASSERT_EQ(sink.gridFields.size(), 2u);
    EXPECT_EQ(sink.gridFields[1].name, QStringLiteral("note"));
    ASSERT_EQ(sink.gridRowCount(), 3);
    EXPECT_TRUE(sink.grid[0]->isNull(0, 1)); // NULL stays NULL for the grid
    EXPECT_EQ(sink.extendedClears, 1);
    EXPECT_TRUE(sink.extended.contains(QStringLiteral("three")));
    EXPECT_TRUE(sink.extended.contains(QStringLiteral("1  Row(s) affected")));
}

// A statement without rows between two queries neither hides the second
// query's rows nor turns the run into a "0 Row(s) affected." failure.
TEST_P(RunEngineTest, EveryResultOfTheScriptIsShownAroundStatementsWithoutRows) {
    auto c = db::Connection::open(cs);
    c->exec(QStringLiteral("DROP TABLE IF EXISTS run_mid"));
    const QString script = QStringLiteral("SELECT 5 AS a; CREATE TABLE run_mid (id INTEGER); SELECT 6 AS b;");
    const RunResult text = run(script, true);
    EXPECT_EQ(text.outcome, RunOutcome::Success) << text.closingMessage.toStdString();
    const QStringList lines = sink.results.split(QStringLiteral("\r\n"));
    EXPECT_TRUE(lines.value(0).startsWith(QLatin1Char('a'))) << sink.results.toStdString();
    EXPECT_TRUE(sink.results.contains(QStringLiteral("0 Row(s) affected.\r\n")));
    EXPECT_TRUE(sink.results.contains(QRegularExpression(QStringLiteral("\\bb +\r\n-+\r\n6 "))))
        << sink.results.toStdString();
    EXPECT_LT(sink.results.indexOf(QLatin1Char('5')), sink.results.indexOf(QStringLiteral("Row(s) affected.")));
    EXPECT_EQ(text.closingMessage, QStringLiteral("Success\r\n\r\n2  Row(s) affected")); // every row shown

    c->exec(QStringLiteral("DROP TABLE run_mid"));
    sink = RunCapture();
    const RunResult grid = run(script, false);
    EXPECT_EQ(grid.outcome, RunOutcome::Success) << grid.closingMessage.toStdString();
    EXPECT_EQ(sink.gridRowCount(), 1);
    EXPECT_EQ(sink.gridFields.at(0).name, QStringLiteral("a"));
    EXPECT_TRUE(grid.extendedResults);
    EXPECT_TRUE(sink.extended.startsWith(QLatin1Char('b'))) << sink.extended.toStdString();
    EXPECT_EQ(sink.messages, QStringLiteral("0 Row(s) affected.\r\n"));
    EXPECT_EQ(grid.rows, 1);
    c->exec(QStringLiteral("DROP TABLE run_mid"));
}

TEST_P(RunEngineTest, EveryFurtherResultSetOfAGridRunIsKeptWithItsHeader) {
    const RunResult r = run(QStringLiteral("SELECT 1 AS first; SELECT 2 AS second; SELECT 3 AS third;"), false);
    EXPECT_EQ(r.outcome, RunOutcome::Success) << r.closingMessage.toStdString();
    EXPECT_EQ(sink.gridFields.at(0).name, QStringLiteral("first"));
    EXPECT_TRUE(sink.extended.contains(QStringLiteral("second"))) << sink.extended.toStdString();
    EXPECT_TRUE(sink.extended.contains(QStringLiteral("third")));
    EXPECT_LT(sink.extended.indexOf(QStringLiteral("second")), sink.extended.indexOf(QStringLiteral("third")));
}

// The row limit counts the rows of the whole run, as the user reads it:
// later result sets are not shown once it is reached.
TEST_P(RunEngineTest, TheRowLimitHoldsForTheWholeRun) {
    const QString script = QStringLiteral("SELECT id FROM run_t; SELECT id FROM run_t; SELECT id FROM run_t;");
    const RunResult text = run(script, true, 5);
    EXPECT_EQ(text.rows, 5);
    EXPECT_EQ(sink.results.count(QStringLiteral("...Rowcount = 5...")), 1);
    sink = RunCapture();
    const RunResult grid = run(script, false, 2);
    EXPECT_EQ(sink.gridRowCount(), 2);
    EXPECT_TRUE(sink.extended.isEmpty()); // the limit was reached in the grid's set
    EXPECT_EQ(grid.outcome, RunOutcome::Success);
}

TEST_P(RunEngineTest, StatementWithoutRowsReportsItsCount) {
    const RunResult r = run(QStringLiteral("UPDATE run_t SET name = name WHERE id >= 2"), true);
    EXPECT_EQ(r.closingMessage, QStringLiteral("2 Row(s) affected."));
    EXPECT_TRUE(r.failed());  // brings the messages forward
    EXPECT_FALSE(r.isError());  // but is no error

    // the rest of the script still runs, and its failure is not hidden
    const RunResult more = run(QStringLiteral("UPDATE run_t SET note = 'u' WHERE id = 1; INSERT INTO run_t VALUES (4, 'four', NULL)"), true);
    // each statement without rows says its own count
    EXPECT_EQ(more.closingMessage, QStringLiteral("1 Row(s) affected.\r\n1 Row(s) affected."));
    auto c = db::Connection::open(cs);
    EXPECT_EQ(c->query(QStringLiteral("SELECT count(*) FROM run_t")).rows.at(0).at(0), QStringLiteral("4"));
    const RunResult broken = run(QStringLiteral("DELETE FROM run_t WHERE id = 4; SELECT nope FROM run_t"), true);
    EXPECT_TRUE(broken.isError());
    EXPECT_TRUE(broken.closingMessage.startsWith(QStringLiteral("Error: #")));
}

TEST_P(RunEngineTest, NullIsAnEmptyCellThatKeepsTheColumnsInPlace) {
    run(QStringLiteral("SELECT note, id FROM run_t WHERE id = 1"), true);
    const QStringList lines = sink.results.split(QStringLiteral("\r\n"));
    ASSERT_GE(lines.size(), 3);
    const int width = lines[0].indexOf(QStringLiteral("id"));
    EXPECT_GT(width, 0);
    EXPECT_EQ(lines[2].indexOf(QLatin1Char('1')), width); // id stays under its header
}

TEST_P(RunEngineTest, RowLimitShowsTheNoticeAndCountsTheShownRows) {
    const RunResult text = run(QStringLiteral("SELECT id FROM run_t ORDER BY id"), true, 2);
    EXPECT_TRUE(sink.results.contains(QStringLiteral("\r\n...Rowcount = 2...")));
    EXPECT_FALSE(sink.results.contains(QStringLiteral("3              ")));
    EXPECT_EQ(text.closingMessage, QStringLiteral("Success\r\n\r\n2  Row(s) affected"));
    sink = RunCapture();
    const RunResult grid = run(QStringLiteral("SELECT id FROM run_t ORDER BY id"), false, 2);
    EXPECT_EQ(sink.gridRowCount(), 2);
    EXPECT_TRUE(sink.results.contains(QStringLiteral("...Rowcount = 2...")));
    EXPECT_EQ(grid.rows, 2);
}

TEST_P(RunEngineTest, ServerErrorsAndMissingConnectionsAreReported) {
    const RunResult bad = run(QStringLiteral("SELECT * FROM no_such_table_here"), true);
    EXPECT_TRUE(bad.isError());
    EXPECT_TRUE(bad.closingMessage.startsWith(QStringLiteral("Error: #"))) << bad.closingMessage.toStdString();
    EXPECT_TRUE(bad.closingMessage.contains(QStringLiteral("\r\n")));
    EXPECT_TRUE(bad.closingMessage.contains(QStringLiteral("no_such_table_here")));
    cs.clear();
    const RunResult none = run(QStringLiteral("SELECT 1"), true);
    EXPECT_EQ(none.closingMessage, QStringLiteral("Error: No Connection..."));
    EXPECT_TRUE(none.isError());
}

TEST_P(RunEngineTest, StopDuringALongStatementEndsWithinTwoSeconds) {
    RunEngine engine(runRequest(cs, longStatement(GetParam())), sink);
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        engine.stop();
    });
    QElapsedTimer t;
    t.start();
    const RunResult result = engine.run();
    stopper.join();
    EXPECT_LT(t.elapsed(), 2500);
    EXPECT_TRUE(result.cancelled());
    EXPECT_TRUE(result.closingMessage.startsWith(QStringLiteral("\r\n...Query cancelled by User...\r\n\r\n")))
        << result.closingMessage.toStdString();
}

TEST_P(RunEngineTest, ExecutorDeliversInOrderAndSurvivesItsOwnerClosingMidRun) {
    {
        Executor ex;
        QSignalSpy finished(&ex, &Executor::finished);
        QString text;
        QObject::connect(&ex, &Executor::textAppended, [&](Pane, const QString& t) { text += t; });
        ex.start(runRequest(cs, QStringLiteral("SELECT id FROM run_t ORDER BY id")));
        EXPECT_TRUE(ex.isRunning());
        ASSERT_TRUE(finished.wait(10000));
        EXPECT_FALSE(ex.isRunning());
        EXPECT_TRUE(text.contains(QStringLiteral("3  Row(s) affected")));
        EXPECT_EQ(finished.at(0).at(0).value<RunResult>().rows, 3);
    }
    QElapsedTimer t;
    t.start();
    {
        auto ex = std::make_unique<Executor>();
        ex->start(runRequest(cs, longStatement(GetParam()), false));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ex.reset(); // the document closes during the run
    }
    Executor::waitForAll(5000);
    EXPECT_LT(t.elapsed(), 3000);
    QCoreApplication::processEvents(); // nothing is delivered to the destroyed owner
}

TEST_P(RunEngineTest, BlanksAloneAreNothingToDoOnEveryServer) {
    for (const QString& script : {QString(), QStringLiteral("  \r\n\t\n")}) {
        SCOPED_TRACE(script.toStdString());
        const RunResult r = run(script, true);
        EXPECT_EQ(r.outcome, RunOutcome::NothingToDo) << r.closingMessage.toStdString();
        EXPECT_EQ(r.closingMessage, run::nothingToDoMessage());
        EXPECT_FALSE(r.isError());
    }
    // a comment beside a statement still runs the statement
    const RunResult r = run(QStringLiteral("-- the count\nSELECT count(*) FROM run_t"), true);
    EXPECT_EQ(r.outcome, RunOutcome::Success) << r.closingMessage.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Backends, RunEngineTest, ::testing::ValuesIn(kBackends), byLabel);

TEST(TextLayoutTexts, ElapsedTimeAndMessages) {
    EXPECT_EQ(run::elapsedText(65 * 1000 + 400), QStringLiteral("00:01:05"));
    EXPECT_EQ(run::elapsedText(100 * 3600 * 1000LL), QStringLiteral("100:00:00"));
    EXPECT_EQ(run::errorMessage(42, QStringLiteral("boom")), QStringLiteral("Error: #42\r\nboom"));
    EXPECT_EQ(run::affectedMessage(5), QStringLiteral("5 Row(s) affected."));
    db::RowBlock b;
    b.reset(2);
    b.appendCell(std::string_view("  héllo "));
    b.appendCell(std::string_view("toolongvalue"));
    QString line;
    run::appendRow(line, b, 0, {7, 5});
    EXPECT_EQ(line, QStringLiteral("héllo  t... \r\n")); // as much as fits, then ...
    EXPECT_EQ(run::headerBlock({db::Field{QStringLiteral(" a "), db::FieldType::Integer, 1, 4}}),
              QStringLiteral("a     \r\n------\r\n"));
}

// The run waits for the memory question without holding the thread that
// asks it, and a stop ends the wait.
TEST(ExecutorMemoryLimit, AskedOnTheOwnersThreadAndAStopEndsTheWait) {
    QTemporaryDir dir;
    RunRequest r = runRequest(newSqliteConnectionString(dir.filePath(QStringLiteral("m.db"))),
                              QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM "
                                             "n) SELECT i, 'padding text' FROM n"),
                              false);
    r.memoryLimitBytes = 256 * 1024;

    Executor ex;
    QSignalSpy finished(&ex, &Executor::finished);
    int asked = 0;
    qint64 rowsWhenAsked = -1, rowsDelivered = 0;
    QObject::connect(&ex, &Executor::gridRows, [&](const std::shared_ptr<db::RowBlock>& b) { rowsDelivered += b->rowCount(); });
    ex.setMemoryQuestion([&](qint64 held) {
        EXPECT_GE(held, 256 * 1024);
        if (++asked == 1) return MemoryAnswer::KeepFetching;
        rowsWhenAsked = rowsDelivered; // the rows so far are there while the question is open
        // the user stops the run from elsewhere while the question is still up
        QTimer::singleShot(50, &ex, [&] { ex.stop(); });
        QElapsedTimer open;
        open.start();
        while (finished.isEmpty() && open.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return MemoryAnswer::KeepFetching; // too late: the stop has decided
    });
    ex.start(r);
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_EQ(asked, 2);
    EXPECT_GT(rowsWhenAsked, 0);
    const RunResult result = finished.at(0).at(0).value<RunResult>();
    EXPECT_TRUE(result.cancelled()) << result.closingMessage.toStdString();
    EXPECT_FALSE(result.discarded);
    EXPECT_EQ(result.rows, rowsDelivered);
}
