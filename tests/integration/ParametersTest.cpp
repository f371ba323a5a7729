// Scripts with parameters run headless on each backend: values with quotes,
// NULL, numbers and dates are bound (never pasted into the SQL), a missing
// value stops the run before anything is sent, and an error in a statement
// sent on its own still names its line.
#include "db/Connection.h"
#include "support/RunnerProcess.h"
#include "support/TestServers.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ParametersTest : public ::testing::TestWithParam<TestBackend> {
protected:
    void SetUp() override {
        SQLQE_REQUIRE_BACKEND(GetParam(), dir.filePath(QStringLiteral("p.db")), cs);
        conn = db::Connection::open(cs);
        conn->exec(QStringLiteral("DROP TABLE IF EXISTS par_t"));
        conn->exec(QStringLiteral("CREATE TABLE par_t (id INTEGER, name VARCHAR(60), born DATE, note VARCHAR(20))"));
    }
    void TearDown() override {
        if (conn) conn->exec(QStringLiteral("DROP TABLE IF EXISTS par_t"));
    }
    RunnerOutcome run(const QByteArray& script, QStringList args) {
        return runRunner(QStringList{QStringLiteral("--connect"), cs} + args, script);
    }
    qint64 rows() { return conn->query(QStringLiteral("SELECT count(*) FROM par_t")).rows[0][0]->toLongLong(); }

    QTemporaryDir dir;
    QString cs;
    std::unique_ptr<db::Connection> conn;
};

const QByteArray kInsertAndRead = "INSERT INTO par_t (id, name, born, note) VALUES (:id, :name, :born, :note);\n"
                                  "SELECT id, name, born, note, :id + 1 AS next FROM par_t WHERE id = :id AND name = :name;\n";

} // namespace

TEST_P(ParametersTest, ValuesAreBoundAsTheyAre) {
    // a value that would break the statement (or run more SQL) if pasted into it
    const QString name = QStringLiteral("O'Brien \"x\"; DELETE FROM par_t; -- :id ?");
    const RunnerOutcome r = run(kInsertAndRead, {"--format", "csv", "--param", "id=41", "--param", "name=" + name,
                                                 "--param", ":born=2024-02-29", "--param-null", "note"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(r.out),
              QStringLiteral("id,name,born,note,next\n41,\"O'Brien \"\"x\"\"; DELETE FROM par_t; -- :id ?\",2024-02-29,,42\n"))
        << r.err.toStdString();
    EXPECT_EQ(rows(), 1);
    const db::Table t = conn->query(QStringLiteral("SELECT note FROM par_t"));
    EXPECT_FALSE(t.rows[0][0].has_value()); // NULL, not the empty text
}

TEST_P(ParametersTest, AMissingValueStopsTheRunBeforeAnythingIsSent) {
    const RunnerOutcome none = run(kInsertAndRead, {});
    EXPECT_EQ(none.code, 2);
    EXPECT_TRUE(none.err.contains(
        QStringLiteral("Statement 1 has parameters (:id, :name, :born, :note) and no values were given.")))
        << none.err.toStdString();
    const RunnerOutcome partly = run(kInsertAndRead, {"--param", "id=1", "--param", "name=a", "--param", "born=2024-01-01"});
    EXPECT_EQ(partly.code, 2);
    EXPECT_TRUE(partly.err.contains(QStringLiteral("and no value was given for :note."))) << partly.err.toStdString();
    EXPECT_EQ(rows(), 0); // never a NULL in its place
    EXPECT_EQ(run("SELECT 1", {"--param", "nameonly"}).code, 2);
}

TEST_P(ParametersTest, AnErrorInABoundStatementNamesItsLine) {
    const RunnerOutcome r = run("SELECT 1;\n\nSELECT no_such_column FROM par_t WHERE id = :id;\n", {"--param", "id=1"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Line 3"))) << r.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Backends, ParametersTest, ::testing::ValuesIn(kTestBackends), byLabel);
