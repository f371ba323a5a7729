// Which scripts change the database's structure (completion then forgets the
// names it has cached): DDL wherever a statement begins, not words inside
// strings, comments, quoted or qualified names, nor DML.
#include "script/SchemaChanges.h"

#include <gtest/gtest.h>

using namespace script;

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
