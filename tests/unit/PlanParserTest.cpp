// Plans as the servers write them, read into the tree the plan pane shows:
// which step is marked costly, what a measured plan counts, a wide plan of
// thousands of steps, and answers that are not plans.
#include "plan/PlanParser.h"

#include <gtest/gtest.h>

namespace {

// A PostgreSQL EXPLAIN ANALYZE: a hash join over two scans; the outer
// scan takes most of the time.
const char* kPostgresAnalyzed = R"j([{"Plan": {"Node Type": "Hash Join", "Join Type": "Inner", "Total Cost": 50.0,
  "Plan Rows": 100, "Actual Rows": 90, "Actual Loops": 1, "Actual Total Time": 10.0, "Hash Cond": "(o.c = c.id)",
  "Plans": [
    {"Node Type": "Seq Scan", "Relation Name": "orders", "Schema": "public", "Alias": "o", "Total Cost": 40.0,
     "Plan Rows": 1000, "Actual Rows": 1000, "Actual Loops": 1, "Actual Total Time": 8.0, "Filter": "(o.x > 1)"},
    {"Node Type": "Hash", "Total Cost": 5.0, "Plan Rows": 10, "Actual Rows": 10, "Actual Loops": 1,
     "Actual Total Time": 0.5, "Plans": [
       {"Node Type": "Index Scan", "Relation Name": "customers", "Alias": "customers", "Total Cost": 4.0,
        "Plan Rows": 10, "Actual Rows": 5, "Actual Loops": 2, "Actual Total Time": 0.2, "Index Name": "c_pk"}]}]},
  "Planning Time": 0.3, "Execution Time": 10.5}])j";

TEST(PlanParser, PostgresPlanKeepsItsShapeAndMarksTheCostliestStep) {
    const Result<PlanTree> plan = plan::fromPostgresJson(kPostgresAnalyzed);
    ASSERT_TRUE(plan.ok()) << plan.error().toStdString();
    ASSERT_EQ(plan->nodes.size(), 4u);
    ASSERT_EQ(plan->roots, std::vector<int>{0});
    const PlanNode& join = plan->nodes[0];
    EXPECT_EQ(join.operation, QStringLiteral("Hash Join"));
    EXPECT_EQ(join.children.size(), 2u);
    const PlanNode& scan = plan->nodes[size_t(join.children[0])];
    EXPECT_EQ(scan.relation, QStringLiteral("public.orders o"));
    EXPECT_TRUE(scan.detail.contains(QStringLiteral("Filter: (o.x > 1)")));
    const PlanNode& index = plan->nodes[3];
    EXPECT_EQ(index.relation, QStringLiteral("customers")); // an alias equal to the name is not repeated
    EXPECT_EQ(index.timeMs, 0.4);                            // per loop times all loops
    EXPECT_TRUE(plan->analyzed);
    EXPECT_EQ(plan->executionMs, 10.5);
    EXPECT_EQ(plan->planningMs, 0.3);
    // own times: join 1.5, scan 8, hash 0.1, index 0.4 → the scan is the costliest
    EXPECT_TRUE(scan.costly);
    EXPECT_TRUE(join.costly); // 1.5 of 10 is more than a tenth
    EXPECT_FALSE(index.costly);
    EXPECT_NEAR(scan.share, 0.8, 1e-9);
}

TEST(PlanParser, MariaPlanNamesItsStepsAndTables) {
    const char* json = R"j({"query_block": {"select_id": 1, "r_total_time_ms": 2.5, "filesort": {"sort_key": "c.name",
      "nested_loop": [
        {"table": {"table_name": "c", "access_type": "ALL", "rows": 200, "r_rows": 200, "r_loops": 1,
                   "r_total_time_ms": 1.5, "attached_condition": "c.id < 50"}},
        {"table": {"table_name": "o", "access_type": "eq_ref", "key": "PRIMARY", "rows": 1, "r_rows": 1,
                   "r_loops": 49, "r_total_time_ms": 0.5}}]}}})j";
    const Result<PlanTree> plan = plan::fromMariaJson(json);
    ASSERT_TRUE(plan.ok()) << plan.error().toStdString();
    std::vector<QString> steps;
    for (const PlanNode& n : plan->nodes) steps.push_back(n.operation + QLatin1Char('|') + n.relation);
    EXPECT_EQ(steps, (std::vector<QString>{"Query block #1|", "Sort|", "Nested loop|", "ALL|c", "eq_ref|o"}));
    EXPECT_TRUE(plan->analyzed);
    EXPECT_EQ(plan->executionMs, 2.5);
    EXPECT_EQ(plan->nodes[4].loops, 49);
    EXPECT_TRUE(plan->nodes[3].costly);
}

TEST(PlanParser, SqliteRowsNestByParentAndScansAreMarked) {
    db::Table rows;
    rows.columns = {QStringLiteral("id"), QStringLiteral("parent"), QStringLiteral("notused"), QStringLiteral("detail")};
    auto row = [&](const char* id, const char* parent, const char* detail) {
        rows.rows.push_back({QString::fromUtf8(id), QString::fromUtf8(parent), QStringLiteral("0"), QString::fromUtf8(detail)});
    };
    row("2", "0", "CO-ROUTINE x");
    row("5", "2", "SCAN big");
    row("9", "0", "SEARCH small USING INDEX small_k (k=?)");
    const Result<PlanTree> plan = plan::fromSqliteRows(rows);
    ASSERT_TRUE(plan.ok()) << plan.error().toStdString();
    ASSERT_EQ(plan->roots, (std::vector<int>{0, 2}));
    EXPECT_EQ(plan->nodes[1].parent, 0);
    EXPECT_EQ(plan->nodes[1].relation, QStringLiteral("big"));
    EXPECT_TRUE(plan->nodes[1].costly);
    EXPECT_EQ(plan->nodes[2].detail, QStringLiteral("USING INDEX small_k (k=?)"));
    EXPECT_FALSE(plan->nodes[2].costly);
    EXPECT_EQ(plan->rawText, QStringLiteral("CO-ROUTINE x\n  SCAN big\nSEARCH small USING INDEX small_k (k=?)"));
}

TEST(PlanParser, AWidePlanOfThousandsOfStepsIsRead) {
    // an Append over 2,000 partitions, as a partitioned table's plan is
    QByteArray json = R"j([{"Plan": {"Node Type": "Append", "Total Cost": 4000, "Plans": [)j";
    for (int i = 0; i < 2000; ++i)
        json += (i ? "," : "") + QStringLiteral(R"j({"Node Type": "Seq Scan", "Relation Name": "p%1", "Total Cost": %2})j")
                                     .arg(i).arg(i == 7 ? 1000 : 1).toUtf8();
    json += "]}}]";
    const Result<PlanTree> plan = plan::fromPostgresJson(json);
    ASSERT_TRUE(plan.ok()) << plan.error().toStdString();
    EXPECT_EQ(plan->nodes.size(), 2001u);
    EXPECT_EQ(plan->nodes[0].children.size(), 2000u);
    EXPECT_TRUE(plan->nodes[8].costly);
    EXPECT_FALSE(plan->nodes[9].costly);
}

TEST(PlanParser, WhatIsNotAPlanIsRefusedWithAMessage) {
    for (const char* bad : {"", "not json", "[]", "[{\"Plan\": 3}]"}) {
        const Result<PlanTree> plan = plan::fromPostgresJson(bad);
        EXPECT_FALSE(plan.ok()) << bad;
    }
    EXPECT_FALSE(plan::fromMariaJson("{\"query_block\"").ok());
    EXPECT_FALSE(plan::fromSqliteRows(db::Table{}).ok());
}

} // namespace
