// Query plans from each server: a join of three tables read into a tree
// that names every table, with estimates, measured rows and times under
// Analyze, the costliest steps marked; parameters bound like a run's.
#include "db/Connection.h"
#include "plan/Explain.h"
#include "plan/PlanParser.h"
#include "support/TestServers.h"

#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kJoin = QStringLiteral(
    "SELECT plan_c.name, count(*) FROM plan_c JOIN plan_o ON plan_o.customer = plan_c.id "
    "JOIN plan_i ON plan_i.order_id = plan_o.id WHERE plan_c.id < 50 GROUP BY plan_c.name ORDER BY plan_c.name");

class PlansTest : public ::testing::TestWithParam<TestBackend> {
protected:
    void SetUp() override {
        SQLQE_REQUIRE_BACKEND(GetParam(), dir.filePath(QStringLiteral("plan.db")), cs);
        conn = db::Connection::open(cs);
        for (const char* t : {"plan_i", "plan_o", "plan_c"}) conn->exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(t));
        conn->exec(QStringLiteral("CREATE TABLE plan_c (id INTEGER PRIMARY KEY, name VARCHAR(20))"));
        conn->exec(QStringLiteral("CREATE TABLE plan_o (id INTEGER PRIMARY KEY, customer INTEGER)"));
        conn->exec(QStringLiteral("CREATE TABLE plan_i (id INTEGER PRIMARY KEY, order_id INTEGER)"));
        conn->exec(QStringLiteral("CREATE INDEX plan_i_order ON plan_i (order_id)"));
        QStringList c, o, i;
        for (int n = 1; n <= 200; ++n) {
            c << QStringLiteral("(%1, 'c%1')").arg(n);
            o << QStringLiteral("(%1, %2)").arg(n).arg(n % 100 + 1);
            i << QStringLiteral("(%1, %2)").arg(n).arg(n % 150 + 1);
        }
        conn->exec(QStringLiteral("INSERT INTO plan_c VALUES ") + c.join(QLatin1Char(',')));
        conn->exec(QStringLiteral("INSERT INTO plan_o VALUES ") + o.join(QLatin1Char(',')));
        conn->exec(QStringLiteral("INSERT INTO plan_i VALUES ") + i.join(QLatin1Char(',')));
    }
    void TearDown() override {
        if (conn)
            for (const char* t : {"plan_i", "plan_o", "plan_c"}) conn->exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(t));
    }
    // The tables the plan's steps read.
    static QSet<QString> relations(const PlanTree& plan) {
        QSet<QString> out;
        for (const PlanNode& n : plan.nodes)
            if (!n.relation.isEmpty()) out.insert(n.relation.section(QLatin1Char(' '), 0, 0).section(QLatin1Char('.'), -1));
        return out;
    }
    bool isSqlite() const { return !GetParam().server; }

    QTemporaryDir dir;
    QString cs;
    std::unique_ptr<db::Connection> conn;
};

} // namespace

TEST_P(PlansTest, AJoinOfThreeTablesReadsAsATree) {
    const Result<PlanTree> plan = plan::readPlan(*conn, kJoin, false);
    ASSERT_TRUE(plan.ok()) << plan.error().toStdString();
    EXPECT_EQ(relations(*plan), (QSet<QString>{"plan_c", "plan_o", "plan_i"})) << plan->rawText.toStdString();
    EXPECT_FALSE(plan->analyzed);
    EXPECT_FALSE(plan->rawText.isEmpty());
    ASSERT_FALSE(plan->roots.empty());
    // a tree, not a list: some step has children (SQLite lists a join's
    // loops side by side), and every child points back
    bool nested = isSqlite();
    for (size_t i = 0; i < plan->nodes.size(); ++i)
        for (int c : plan->nodes[i].children) {
            nested = true;
            EXPECT_EQ(plan->nodes[size_t(c)].parent, int(i));
        }
    EXPECT_TRUE(nested);
    EXPECT_TRUE(std::any_of(plan->nodes.begin(), plan->nodes.end(), [](const PlanNode& n) { return n.costly; }));
    if (!isSqlite()) {
        EXPECT_TRUE(std::any_of(plan->nodes.begin(), plan->nodes.end(), [](const PlanNode& n) { return n.estimatedRows; }));
    }
}

TEST_P(PlansTest, AnalyzeMeasuresRowsAndTime) {
    const Result<PlanTree> plan = plan::readPlan(*conn, kJoin, true);
    ASSERT_TRUE(plan.ok()) << plan.error().toStdString();
    EXPECT_EQ(relations(*plan), (QSet<QString>{"plan_c", "plan_o", "plan_i"}));
    if (isSqlite()) return; // SQLite measures nothing
    EXPECT_TRUE(plan->analyzed);
    EXPECT_TRUE(plan->executionMs.has_value());
    EXPECT_TRUE(std::any_of(plan->nodes.begin(), plan->nodes.end(), [](const PlanNode& n) { return n.actualRows && n.loops; }));
    double shares = 0;
    for (const PlanNode& n : plan->nodes) shares += n.share;
    EXPECT_NEAR(shares, 1.0, 1e-6);
}

TEST_P(PlansTest, ParametersAreBoundAndRefusedWhenMissing) {
    const QString statement = QStringLiteral("SELECT * FROM plan_c WHERE id = :id");
    const script::ParameterValues values{{QStringLiteral("id"), {script::ParameterType::Integer, QStringLiteral("7"), false}}};
    const Result<PlanTree> plan = plan::readPlan(*conn, statement, true, &values);
    ASSERT_TRUE(plan.ok()) << plan.error().toStdString();
    EXPECT_TRUE(relations(*plan).contains(QStringLiteral("plan_c")));
    const Result<PlanTree> refused = plan::readPlan(*conn, statement, false);
    ASSERT_FALSE(refused.ok());
    EXPECT_TRUE(refused.error().contains(QStringLiteral("no values were given"))) << refused.error().toStdString();
}

TEST(PlanStatements, WhatChangesData) {
    using db::ServerFamily;
    for (const char* reads : {"SELECT 1", "  with x as (select 1) select * from x", "VALUES (1)", "SHOW TABLES",
                              "SELECT 'INSERT' FROM t -- UPDATE"})
        EXPECT_FALSE(plan::changesData(QString::fromUtf8(reads), ServerFamily::PostgreSQL)) << reads;
    for (const char* writes : {"INSERT INTO t VALUES (1)", "update t set a = 1", "DELETE FROM t",
                               "WITH d AS (DELETE FROM t RETURNING *) SELECT * FROM d", "SELECT * INTO t2 FROM t",
                               "CREATE TABLE t (a int)", "CALL p()"})
        EXPECT_TRUE(plan::changesData(QString::fromUtf8(writes), ServerFamily::PostgreSQL)) << writes;
}

INSTANTIATE_TEST_SUITE_P(Backends, PlansTest, ::testing::ValuesIn(kTestBackends), byLabel);
