// UPDATE and DELETE without WHERE: found from the tokens of each statement,
// not by searching the text, and named in the question asked before a run.
#include "script/UnfilteredChanges.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace script;

namespace {

// "VERB table" for each unfiltered change of the script.
QStringList found(const char* script, Dialect dialect = Dialect::Generic) {
    QStringList out;
    for (const UnfilteredChange& c : findUnfilteredChanges(QString::fromUtf8(script), dialect))
        out << c.verb + QLatin1Char(' ') + c.table;
    return out;
}

} // namespace

TEST(UnfilteredChanges, EveryRowChangesWithoutAWhereOfItsOwn) {
    EXPECT_EQ(found("UPDATE t SET a = 1"), QStringList{"UPDATE t"});
    EXPECT_EQ(found("delete from t;"), QStringList{"DELETE t"});
    EXPECT_EQ(found("DELETE t"), QStringList{"DELETE t"}); // T-SQL leaves FROM out
    // a WHERE in a string, a comment or a subquery of another clause is not the statement's
    EXPECT_EQ(found("UPDATE t SET a = 'WHERE x' -- WHERE id = 1\n"), QStringList{"UPDATE t"});
    EXPECT_EQ(found("UPDATE t SET a = 1 /* WHERE id = 1 */"), QStringList{"UPDATE t"});
    EXPECT_EQ(found("UPDATE t SET a = (SELECT b FROM u WHERE u.id = t.id)"), QStringList{"UPDATE t"});
    EXPECT_EQ(found("UPDATE t SET a = CASE WHEN b = 1 THEN 2 ELSE 3 END"), QStringList{"UPDATE t"});
    EXPECT_EQ(found("UPDATE t SET a = 1 FROM u"), QStringList{"UPDATE t"}); // a cross join changes every row
    EXPECT_EQ(found("DELETE FROM t USING u"), QStringList{"DELETE t"});
    // as part of a larger statement
    EXPECT_EQ(found("WITH x AS (SELECT 1) DELETE FROM t"), QStringList{"DELETE t"});
    EXPECT_EQ(found("WITH d AS (DELETE FROM t RETURNING *) SELECT * FROM d WHERE id = 1"), QStringList{"DELETE t"});
    EXPECT_EQ(found("IF @x = 1 BEGIN UPDATE t SET a = 1 END"), QStringList{"UPDATE t"});
    EXPECT_EQ(found("BEGIN TRY DELETE FROM t; END TRY BEGIN CATCH SELECT 1; END CATCH"), QStringList{"DELETE t"});
    EXPECT_EQ(found("EXPLAIN ANALYZE DELETE FROM t"), QStringList{"DELETE t"});
    // T-SQL batches without ';': the next statement's WHERE is not this one's
    EXPECT_EQ(found("UPDATE t SET a = 1\nSELECT * FROM t WHERE a = 1"), QStringList{"UPDATE t"});
    EXPECT_EQ(found("DECLARE @x int\nDELETE FROM t\nPRINT 'done'"), QStringList{"DELETE t"});
    // names as written
    EXPECT_EQ(found("DELETE FROM [dbo].[Order Details]"), QStringList{"DELETE [dbo].[Order Details]"});
    EXPECT_EQ(found("UPDATE ONLY \"My \"\"T\"\"\" SET a = 1"), QStringList{"UPDATE \"My \"\"T\"\"\""});
    EXPECT_EQ(found("UPDATE LOW_PRIORITY IGNORE `db`.`t` SET a = 1"), QStringList{"UPDATE `db`.`t`"});
    EXPECT_EQ(found("UPDATE OR REPLACE s.t SET a = 1"), QStringList{"UPDATE s.t"});
    EXPECT_EQ(found("DELETE FROM shop..orders"), QStringList{"DELETE shop..orders"});
}

TEST(UnfilteredChanges, FilteredOrNotAChangeOfRows) {
    const char* none[] = {
        "UPDATE t SET a = u.b FROM u WHERE u.id = t.id",
        "DELETE FROM t WHERE id = 1",
        "delete from t where current of c",
        "UPDATE t SET a = CASE WHEN b = 1 THEN 2 ELSE 3 END WHERE c = 1",
        "UPDATE t SET a = (SELECT max(b) FROM u) WHERE id IN (SELECT id FROM v)",
        "DELETE FROM t USING u WHERE t.id = u.id",
        "DELETE TOP (10) FROM t",
        "DELETE FROM t LIMIT 5",
        "UPDATE t SET a = 1 ORDER BY id LIMIT 1",
        "UPDATE a JOIN b ON a.id = b.id SET a.x = b.x",
        "DELETE a FROM a INNER JOIN b ON a.id = b.id",
        "UPDATE t WITH (ROWLOCK) SET a = 1 WHERE id = 2",
        // words of other statements
        "SELECT * FROM t FOR UPDATE",
        "SELECT 'DELETE FROM t', \"UPDATE\" FROM t -- UPDATE t SET a = 1",
        "CREATE TABLE c (id int REFERENCES p ON DELETE CASCADE ON UPDATE SET NULL)",
        "INSERT INTO t VALUES (1) ON DUPLICATE KEY UPDATE a = 1",
        "INSERT INTO t VALUES (1) ON CONFLICT (id) DO UPDATE SET a = 1",
        "MERGE INTO t USING s ON t.id = s.id WHEN MATCHED THEN UPDATE SET a = s.a "
        "WHEN NOT MATCHED BY SOURCE THEN DELETE;",
        "GRANT SELECT, UPDATE, DELETE ON t TO someone",
        "UPDATE STATISTICS t",
        "EXPLAIN DELETE FROM t",
        "PREPARE wipe AS DELETE FROM t",
        // bodies that run later, if ever
        "CREATE TRIGGER tr AFTER INSERT ON t BEGIN DELETE FROM log; END",
        "CREATE PROCEDURE p() BEGIN UPDATE t SET a = 1; END",
        "CREATE OR REPLACE FUNCTION f() RETURNS void LANGUAGE sql AS 'DELETE FROM t'",
        "CREATE TRIGGER tr ON t AFTER UPDATE AS IF UPDATE(a) UPDATE t SET b = 1",
        "DO $$ BEGIN DELETE FROM t; END $$",
    };
    for (const char* script : none) EXPECT_EQ(found(script), QStringList()) << script;
}

TEST(UnfilteredChanges, EachStatementOfAScriptCountsAndTheQuestionNamesThem) {
    const QString script = QStringLiteral("UPDATE a SET x = 1;\nDELETE FROM b WHERE y = 2;\nDELETE FROM c;\n"
                                          "GO\nUPDATE a SET x = 2");
    const auto changes = findUnfilteredChanges(script);
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[0].statement, 0u);
    EXPECT_EQ(changes[1].statement, 2u);
    EXPECT_EQ(changes[2].statement, 3u);
    EXPECT_EQ(unfilteredQuestion(changes),
              QStringLiteral("The script changes every row of a, c: UPDATE/DELETE without WHERE. Run it anyway?"));
    EXPECT_EQ(unfilteredQuestion(findUnfilteredChanges(QStringLiteral("UPDATE \"x y\" SET a = 1"))),
              QStringLiteral("The script changes every row of \"x y\": UPDATE without WHERE. Run it anyway?"));
    EXPECT_EQ(unfilteredQuestion(findUnfilteredChanges(QStringLiteral("DELETE FROM p; DELETE FROM q; DELETE FROM r; "
                                                                      "DELETE FROM s; DELETE FROM p"))),
              QStringLiteral("The script changes every row of p, q, r and 1 more: DELETE without WHERE. "
                             "Run it anyway?"));
}

TEST(UnfilteredChanges, TheMySqlDialectReadsItsOwnQuotesAndComments) {
    EXPECT_EQ(found("UPDATE t SET a = 'it\\'s WHERE'; # WHERE\n", Dialect::MySql), QStringList{"UPDATE t"});
    EXPECT_EQ(found("DELETE FROM t # no filter\nWHERE id = 1", Dialect::MySql), QStringList());
}
