#include "script/DataChanges.h"

#include <gtest/gtest.h>

// The statements a production connection asks about: everything but reads.
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
        for (const auto& c : script::findDataChanges(QString::fromUtf8(script)))
            got << QStringLiteral("%1:%2").arg(c.statement + 1).arg(c.verb);
        EXPECT_EQ(got.join(QLatin1Char(' ')), QString::fromUtf8(expected)) << script;
    }
    EXPECT_EQ(script::dataChangeSummary(script::findDataChanges(QStringLiteral("update a set x=1; update b set y=2; drop table c"))),
              QStringLiteral("The script changes data (UPDATE, DROP)."));
}
