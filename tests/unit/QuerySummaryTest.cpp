// The "Query Information" summary: its exact lines, the class a run would
// use, and a connection string shown without its password.
#include "run/QuerySummary.h"

#include <gtest/gtest.h>

TEST(QuerySummary, ExactLinesForASelectWithAComment) {
    QuerySummaryInput in;
    in.connectionString =
        QStringLiteral("Driver={PostgreSQL Unicode};Server=db;Database=shop;UID=me;PWD=s3cret;");
    in.database = QStringLiteral("shop");
    in.sqlStyle = 2;
    in.source = QStringLiteral("select *   from t\r\n-- only the rows\r\n");
    const QuerySummary s = summarizeQuery(in);
    EXPECT_EQ(s.kind, script::StatementKind::Select);
    EXPECT_EQ(
        s.text,
        QStringLiteral("Query Information\r\n"
                       "-------------------------------------\r\n"
                       "Connection: Driver={PostgreSQL Unicode};Server=db;Database=shop;UID=me;PWD=****;\r\n"
                       "Catalog: shop\r\n"
                       "SQL Style: 2\r\n"
                       "SQL Type: SELECT\r\n"
                       "SQL Query: select * from t\r\n"));
    EXPECT_FALSE(s.text.contains(QLatin1String("s3cret")));
}

TEST(QuerySummary, ClassifiesByTheFirstStatementAfterAComment) {
    QuerySummaryInput in;
    in.source = QStringLiteral("/* nightly */\r\nsp_who\r\nselect 1");
    const QuerySummary s = summarizeQuery(in);
    EXPECT_EQ(s.kind, script::StatementKind::SystemProcedure);
    EXPECT_TRUE(s.text.contains(QLatin1String("\r\nSQL Type: SP_\r\n")));
    // the summary shows the prepared text, not what the run sends through master
    EXPECT_TRUE(s.text.endsWith(QLatin1String("SQL Query: sp_who select 1\r\n")));
    EXPECT_TRUE(s.text.contains(QLatin1String("\r\nConnection: \r\nCatalog: \r\nSQL Style: 0\r\n")));
}

TEST(QuerySummary, AnEmptyScriptHasNoClass) {
    const QuerySummary s = summarizeQuery({});
    EXPECT_EQ(s.kind, script::StatementKind::None);
    EXPECT_TRUE(s.text.endsWith(QLatin1String("SQL Type: \r\nSQL Query: \r\n")));
}
