// What a script changes, read from its tokens (never from words inside
// strings, comments or quoted names): the statements a production
// connection asks about (everything but reads); DDL, after which completion
// forgets the names it has cached; UPDATE and DELETE without a WHERE of
// their own, named in the question asked before a run.
#include "script/DataChanges.h"
#include "script/SchemaChanges.h"
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

TEST(DataChanges, EveryStatementButAReadCounts) {
    const std::pair<const char*, const char*> cases[] = {
        {"select * from t; show tables; explain select 1; values (1); table t; describe t", ""},
        {"with x as (select 1) select * from x", ""},
        {"with d as (delete from t returning *) select * from d", "1:WITH"},
        {"select a into new_t from t", "1:SELECT"},
        {"begin; insert into t values (1); commit", "2:INSERT"},
        {"set search_path = x; use db; savepoint s; release s; rollback", ""},
        {"explain analyze update t set a = 1", "1:EXPLAIN"},
        {"explain analyze select 1", ""},
        {"update t set a = 1 where b = 2", "1:UPDATE"},
        {"create table t (a int); drop table u; truncate v; grant select on t to x", "1:CREATE 2:DROP 3:TRUNCATE 4:GRANT"},
        {"call p(); exec q; do $$ begin perform 1; end $$", "1:CALL 2:EXEC 3:DO"},
        {"pragma table_info(t); pragma user_version = 3", "2:PRAGMA"},
        {"select 'delete from t' -- update t\n", ""},
        {"declare c cursor for select 1; fetch c; close c", ""},
    };
    for (const auto& [script, expected] : cases) {
        QStringList got;
        for (const auto& c : findDataChanges(QString::fromUtf8(script)))
            got << QStringLiteral("%1:%2").arg(c.statement + 1).arg(c.verb);
        EXPECT_EQ(got.join(QLatin1Char(' ')), QString::fromUtf8(expected)) << script;
    }
    EXPECT_EQ(dataChangeSummary(findDataChanges(QStringLiteral("update a set x=1; update b set y=2; drop table c"))),
              QStringLiteral("The script changes data (UPDATE, DROP)."));
}

TEST(SchemaChanges, DdlWhereAStatementBeginsCounts) {
    struct Case {
        const char* script;
        bool changes;
    };
    const Case cases[] = {
        {"CREATE TABLE t (id int)", true},
        {"select 1;\ncreate view v as select 1", true},
        {"  -- first\n  drop table if exists t", true},
        {"ALTER TABLE t ADD c int", true},
        {"RENAME TABLE a TO b", true},
        {"truncate t", true},
        {"ATTACH DATABASE 'x.db' AS x", true},
        {"SELECT a INTO new_table FROM t", true},
        {"SELECT a INTO TEMP t2 FROM t", true},
        {"SELECT a INTO @v FROM t", false},
        {"SELECT a INTO OUTFILE '/tmp/x' FROM t", false},
        {"INSERT INTO t SELECT * FROM u", false},
        {"BEGIN NOT ATOMIC\n  CREATE TABLE x (a int);\nEND", true},
        {"IF 1 = 1 THEN DROP TABLE t; END IF", true},
        {"DO $$ BEGIN EXECUTE 'x'; CREATE TABLE made_here (a int); END $$", true},
        {"DO $body$ BEGIN PERFORM 1; END $body$", false},
        {"UPDATE t SET note = 'drop table t; create table x'", false},
        {"SELECT 1 /* create table */ -- alter table\n", false},
        {"SELECT \"create\", t.drop, [alter] FROM t", false},
        {"SELECT 1\nGO\ncreate index i on t(a)", true},
        {"DELETE FROM t WHERE name = 'x'", false},
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(changesSchema(QString::fromUtf8(c.script)), c.changes) << c.script;
    // MariaDB reads '#' as a comment
    EXPECT_FALSE(changesSchema(QStringLiteral("SELECT 1 # ; create table x (a int)"), Dialect::MySql));
    EXPECT_TRUE(changesSchema(QStringLiteral("SELECT 1 # not here\n; create table x (a int)"), Dialect::MySql));
}
