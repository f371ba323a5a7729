// Connection::executeBatch on SQLite, PostgreSQL (pipeline mode) and
// MariaDB: each statement's count and RETURNING rows in order, across more
// statements than one pipeline group; the first failure named by its index
// with nothing after it kept once rolled back; the caller ending the batch
// early; a cancel; the connection usable afterwards. MariaDB prepares each
// text once per batch: texts that alternate (more of them than it keeps),
// a failure between runs of a kept statement, a text the server refuses,
// bytes bound as a BLOB.
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
    // Runs statements in a transaction it then rolls back: the error that
    // ended the batch (none when it ran through); accepted counts the results before it.
    std::optional<db::Error> failureOf(const std::vector<db::BatchStatement>& statements, size_t* accepted = nullptr) {
        size_t n = 0;
        std::optional<db::Error> failure;
        conn->exec(begin);
        try {
            conn->executeBatch(statements, [&](size_t, db::BatchResult&&) { return ++n, true; });
        } catch (const db::Error& e) {
            failure = e;
        }
        conn->exec(QStringLiteral("ROLLBACK"));
        if (accepted) *accepted = n;
        return failure;
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
    // rows from one text run twice: the first run's rows are not the second's
    for (int id : {100000, 100001})
        statements.push_back({QStringLiteral("INSERT INTO batch_t (id, v) VALUES (?, ?) RETURNING v, id"), {id, QStringLiteral("r%1").arg(id)}});
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
    for (size_t k : {1u, 2u}) {
        const db::Table& inserted = rows[rows.size() - k];
        EXPECT_EQ(inserted.columns, QStringList({QStringLiteral("v"), QStringLiteral("id")}));
        ASSERT_EQ(inserted.rows.size(), 1u);
        EXPECT_EQ(inserted.rows[0][1], QString::number(100002 - k));
        EXPECT_EQ(counts[counts.size() - k], 1);
    }
    rows.resize(rows.size() - 2);
    if (returning()) {
        EXPECT_EQ(rows.back().columns, QStringList({QStringLiteral("id"), QStringLiteral("v")}));
        ASSERT_EQ(rows.back().rows.size(), 1u);
        EXPECT_EQ(rows.back().rows[0][0], QStringLiteral("5"));
        EXPECT_EQ(rows.back().rows[0][1], std::nullopt);
    }
    EXPECT_EQ(rowsNow(), n - 3 + 2);
}

TEST_P(StatementBatchTest, TheFirstFailureIsNamedAndRollingBackKeepsNothing) {
    auto statements = inserts(0, 1500);
    statements[1203].params[1] = QStringLiteral("v7"); // taken by the statement of id 7
    size_t accepted = 0;
    const auto e = failureOf(statements, &accepted);
    ASSERT_TRUE(e) << "the duplicate went through";
    EXPECT_FALSE(e->isCancel());
    EXPECT_EQ(e->position().statementIndex, std::optional<int>(1203));
    EXPECT_EQ(accepted, 1203u);
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

TEST_P(StatementBatchTest, AlternatingTextsEachRunWithTheirOwnValues) {
    // twelve UPDATE texts (more than a backend may keep prepared at once),
    // each used twice, between inserts of one text
    std::vector<db::BatchStatement> statements;
    for (int round = 0; round < 2; ++round)
        for (int k = 0; k < 12; ++k) {
            const int id = round * 12 + k;
            statements.push_back({QStringLiteral("INSERT INTO batch_t (id, v) VALUES (?, ?)"), {id, QStringLiteral("v%1").arg(id)}});
            statements.push_back({QStringLiteral("UPDATE batch_t SET v = ? WHERE id = ? + %1").arg(k),
                                  {QStringLiteral("u%1").arg(id), id - k}});
        }
    statements.push_back({QStringLiteral("UPDATE batch_t SET v = ? WHERE id = ? + 3"), {QStringLiteral("none"), 100}});
    std::vector<qint64> counts;
    conn->exec(begin);
    conn->executeBatch(statements, [&](size_t, db::BatchResult&& r) { return counts.push_back(r.affected), true; });
    conn->exec(QStringLiteral("COMMIT"));
    ASSERT_EQ(counts.size(), statements.size());
    EXPECT_EQ(std::count(counts.begin(), counts.end() - 1, 1), 48);
    EXPECT_EQ(counts.back(), 0);
    const db::Table t = conn->query(QStringLiteral("SELECT id, v FROM batch_t ORDER BY id"));
    ASSERT_EQ(t.rows.size(), 24u);
    for (const auto& row : t.rows) EXPECT_EQ(row[1], QStringLiteral("u") + *row[0]);
}

TEST_P(StatementBatchTest, AFailureBetweenRunsOfOneTextNamesItAndTheTextRunsAgainAfter) {
    // the duplicate fails on a statement that already ran 4 times and would run again
    auto statements = inserts(0, 10);
    for (int i = 0; i < 10; ++i)
        statements.insert(statements.begin() + 2 * i + 1,
                          {QStringLiteral("UPDATE batch_t SET v = ? WHERE id = ?"), {QStringLiteral("w%1").arg(i), i}});
    statements[8].params[1] = QStringLiteral("w0"); // the insert of id 4 takes the value id 0 has by then
    size_t accepted = 0;
    const auto e = failureOf(statements, &accepted);
    ASSERT_TRUE(e) << "the duplicate went through";
    EXPECT_EQ(e->position().statementIndex, std::optional<int>(8));
    EXPECT_TRUE(e->description().contains(QStringLiteral("w0")) || e->description().contains(QStringLiteral("unique"), Qt::CaseInsensitive))
        << e->description().toStdString(); // the server's own words
    EXPECT_EQ(accepted, 8u);
    // the same texts again, on the same connection
    statements[8].params[1] = QStringLiteral("v4");
    conn->executeBatch(statements, [](size_t, db::BatchResult&&) { return true; });
    EXPECT_EQ(rowsNow(), 10);
}

TEST_P(StatementBatchTest, ATextTheServerRefusesOrValuesThatDoNotFitAreNamed) {
    struct Case {
        const char* name;
        db::BatchStatement bad;
    };
    const Case cases[] = {
        {"unknown column", {QStringLiteral("UPDATE batch_t SET nosuch = ? WHERE id = ?"), {1, 1}}},
        {"too few values", {QStringLiteral("UPDATE batch_t SET v = ? WHERE id = ?"), {QStringLiteral("a")}}},
        {"too many values", {QStringLiteral("UPDATE batch_t SET v = ? WHERE id = ?"), {QStringLiteral("a"), 1, 2}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto statements = inserts(0, 5);
        statements.insert(statements.begin() + 3, c.bad);
        const auto e = failureOf(statements);
        ASSERT_TRUE(e) << "the statement ran";
        EXPECT_EQ(e->position().statementIndex, std::optional<int>(3));
        EXPECT_FALSE(e->description().isEmpty());
        EXPECT_EQ(rowsNow(), 0);
    }
}

TEST_P(StatementBatchTest, BytesAreBoundAsTheyAre) {
    const bool pg = GetParam().server == &kPostgres;
    conn->exec(QStringLiteral("DROP TABLE IF EXISTS batch_b"));
    conn->exec(QStringLiteral("CREATE TABLE batch_b (id INTEGER PRIMARY KEY, b %1)").arg(pg ? "BYTEA" : "BLOB"));
    static const char raw[] = "\x00\xff'\\\"?;\n\xe2\x82"; // a NUL, quotes, a marker, half a UTF-8 character
    const QByteArray bytes(raw, sizeof raw - 1);
    conn->executeBatch({{QStringLiteral("INSERT INTO batch_b (id, b) VALUES (?, ?)"), {1, bytes}},
                        {QStringLiteral("INSERT INTO batch_b (id, b) VALUES (?, ?)"), {2, QByteArray("x")}},
                        {QStringLiteral("UPDATE batch_b SET b = ? WHERE id = ?"), {bytes + bytes, 2}}},
                       [](size_t, db::BatchResult&& r) { return r.affected == 1; });
    const db::Table t = conn->query(QStringLiteral("SELECT id, LENGTH(b) FROM batch_b WHERE b = ? OR b = ? ORDER BY id"),
                                    {bytes, bytes + bytes});
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[0][1], QStringLiteral("10"));
    EXPECT_EQ(t.rows[1][1], QStringLiteral("20"));
    conn->exec(QStringLiteral("DROP TABLE batch_b"));
}

INSTANTIATE_TEST_SUITE_P(Backends, StatementBatchTest, ::testing::ValuesIn(kTestBackends), byLabel);
