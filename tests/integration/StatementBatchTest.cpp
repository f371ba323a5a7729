// Connection::executeBatch on SQLite, PostgreSQL (pipeline mode) and
// MariaDB: each statement's count and RETURNING rows in order, across more
// statements than one pipeline group; the first failure named by its index
// with nothing after it kept once rolled back; the caller ending the batch
// early; a cancel; the connection usable afterwards.
#include "db/PgPipeline.h"
#include "support/TestServers.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

namespace {

class StatementBatchTest : public ::testing::TestWithParam<TestBackend> {
protected:
    void SetUp() override {
        SQLQE_REQUIRE_BACKEND(GetParam(), dir.filePath(QStringLiteral("b.db")), cs);
        conn = db::Connection::open(cs);
        conn->exec(QStringLiteral("DROP TABLE IF EXISTS batch_t"));
        conn->exec(QStringLiteral("CREATE TABLE batch_t (id INTEGER PRIMARY KEY, v VARCHAR(40) UNIQUE)"));
        begin = GetParam().server == &kMariaDb ? QStringLiteral("START TRANSACTION") : QStringLiteral("BEGIN");
    }
    bool returning() const { return GetParam().server != &kMariaDb; }
    qint64 rowsNow() { return conn->query(QStringLiteral("SELECT COUNT(*) FROM batch_t")).rows[0][0]->toLongLong(); }
    // inserts of ids [from, to), v "v<id>"
    static std::vector<db::BatchStatement> inserts(int from, int to) {
        std::vector<db::BatchStatement> s;
        for (int i = from; i < to; ++i)
            s.push_back({QStringLiteral("INSERT INTO batch_t (id, v) VALUES (?, ?)"), {i, QStringLiteral("v%1").arg(i)}});
        return s;
    }
    QTemporaryDir dir;
    QString cs, begin;
    std::unique_ptr<db::Connection> conn;
};

} // namespace

TEST_P(StatementBatchTest, EachStatementsCountAndRowsComeBackInOrder) {
    const int n = int(db::pg::kPipelineGroup) * 2 + 7; // groups end mid-batch
    auto statements = inserts(0, n);
    statements.push_back({QStringLiteral("UPDATE batch_t SET v = ? WHERE id < ?"), {QStringLiteral("x"), 0}});
    statements.push_back({QStringLiteral("DELETE FROM batch_t WHERE id >= ?"), {n - 3}});
    if (returning())
        statements.push_back({QStringLiteral("UPDATE batch_t SET v = ? WHERE id = ? RETURNING id, v"), {QVariant(), 5}});
    std::vector<qint64> counts;
    std::vector<db::Table> rows;
    conn->exec(begin);
    conn->executeBatch(statements, [&](size_t i, db::BatchResult&& r) {
        EXPECT_EQ(i, counts.size());
        counts.push_back(r.affected);
        rows.push_back(std::move(r.rows));
        return true;
    });
    conn->exec(QStringLiteral("COMMIT"));
    ASSERT_EQ(counts.size(), statements.size());
    EXPECT_EQ(std::count(counts.begin(), counts.begin() + n, 1), n);
    EXPECT_EQ(counts[size_t(n)], 0);
    EXPECT_EQ(counts[size_t(n) + 1], 3);
    EXPECT_TRUE(rows[0].columns.isEmpty());
    if (returning()) {
        EXPECT_EQ(rows.back().columns, QStringList({QStringLiteral("id"), QStringLiteral("v")}));
        ASSERT_EQ(rows.back().rows.size(), 1u);
        EXPECT_EQ(rows.back().rows[0][0], QStringLiteral("5"));
        EXPECT_EQ(rows.back().rows[0][1], std::nullopt);
    }
    EXPECT_EQ(rowsNow(), n - 3);
}

TEST_P(StatementBatchTest, TheFirstFailureIsNamedAndRollingBackKeepsNothing) {
    auto statements = inserts(0, 1500);
    statements[1203].params[1] = QStringLiteral("v7"); // taken by the statement of id 7
    size_t accepted = 0;
    conn->exec(begin);
    try {
        conn->executeBatch(statements, [&](size_t, db::BatchResult&&) { return ++accepted, true; });
        FAIL() << "the duplicate went through";
    } catch (const db::Error& e) {
        EXPECT_FALSE(e.isCancel());
        EXPECT_EQ(e.position().statementIndex, std::optional<int>(1203));
    }
    EXPECT_EQ(accepted, 1203u);
    conn->exec(QStringLiteral("ROLLBACK"));
    EXPECT_EQ(rowsNow(), 0);
    // the connection runs the next batch and plain statements as before
    conn->executeBatch(inserts(0, 3), [](size_t, db::BatchResult&&) { return true; });
    EXPECT_EQ(rowsNow(), 3);
}

TEST_P(StatementBatchTest, TheCallerEndsTheBatchAtAResultItDidNotExpect) {
    auto statements = inserts(0, 10);
    statements.insert(statements.begin() + 4, {QStringLiteral("UPDATE batch_t SET v = ? WHERE id = ?"), {QStringLiteral("y"), 99}});
    size_t last = 0;
    conn->exec(begin);
    conn->executeBatch(statements, [&](size_t i, db::BatchResult&& r) {
        last = i;
        return r.affected == 1;
    });
    EXPECT_EQ(last, 4u);
    conn->exec(QStringLiteral("ROLLBACK"));
    EXPECT_EQ(rowsNow(), 0);
    EXPECT_EQ(conn->query(QStringLiteral("SELECT 1")).rows.size(), 1u);
}

TEST_P(StatementBatchTest, ACancelStopsTheBatchAndLeavesTheConnectionUsable) {
    if (GetParam().server != &kPostgres) GTEST_SKIP() << "a statement that waits on the server";
    auto statements = inserts(0, 20);
    statements.insert(statements.begin() + 10, {QStringLiteral("SELECT pg_sleep(?)"), {30}});
    conn->exec(begin);
    std::thread stop([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        conn->cancel();
    });
    try {
        conn->executeBatch(statements, [](size_t, db::BatchResult&&) { return true; });
        ADD_FAILURE() << "the batch was not cancelled";
    } catch (const db::Error& e) {
        EXPECT_TRUE(e.isCancel()) << e.description().toStdString();
        EXPECT_EQ(e.position().statementIndex, std::optional<int>(10));
    }
    stop.join();
    EXPECT_TRUE(conn->transactionAborted());
    conn->exec(QStringLiteral("ROLLBACK"));
    EXPECT_EQ(rowsNow(), 0);
}

INSTANTIATE_TEST_SUITE_P(Backends, StatementBatchTest, ::testing::ValuesIn(kTestBackends),
                         [](const auto& info) { return std::string(info.param.label); });
