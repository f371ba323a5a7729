#include "script/DataChanges.h"
#include "script/ParameterMarkers.h"

#include "run/RunPlan.h"

#include <gtest/gtest.h>

using db::ServerFamily;

namespace {

QString markersOf(const char* script, ServerFamily server) {
    QStringList out;
    for (const auto& s : script::findParameterMarkers(QString::fromUtf8(script), server))
        out << QStringLiteral("%1:%2").arg(s.statement + 1).arg(s.markers.join(QLatin1Char(',')));
    return out.join(QLatin1Char(' '));
}

struct Case {
    const char* script;
    const char* sqlite; // "statement:markers …" expected per server
    const char* postgres;
    const char* mariadb;
};

} // namespace

// What is a parameter depends on the server; what is inside a string, a
// comment, a quoted name or a body never is.
TEST(ParameterMarkers, FoundByTheLexerPerServer) {
    const Case cases[] = {
        {"select * from t where id = :id", "1::id", "1::id", "1::id"},
        {"select 1; select a from t where a=:a and b=:b and c=:a", "2::a,:b", "2::a,:b", "2::a,:b"},
        {"select ?", "1:?", "", "1:?"},
        {"select ?1, ?2", "1:?1,?2", "", "1:?"},
        {"select '{\"a\":1}'::jsonb ? 'a'", "1:?", "", "1:?"},
        {"select $1", "1:$1", "1:$1", ""},
        {"select $name, @who, :1", "1:$name,@who,:1", "", ""},
        {"select x::int, y::text from t", "", "", ""},
        {"select ':id', \"a:b\", `c:d` -- :e\n /* :f ? $1 */", "", "", ""},
        {"do $$ begin perform :x; perform $1; end $$", "", "", ""},
        {"select $tag$ :x ? $tag$", "", "", ""},
        {"set @a := 5; select @a", "1:@a 2:@a", "", ""}, // MySQL's variables, SQLite's parameters
        {"lbl: loop leave lbl; end loop", "", "", ""},
        {"prepare p as select $1 + :x; execute p(1)", "", "", ""},
        {"create function f(int) returns int begin atomic select $1; end; select :later", "2::later",
         "2::later", "2::later"},
        {"select [a:b] from t", "", "", ""},
        {"select * from t where a = :a; ", "1::a", "1::a", "1::a"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(markersOf(c.script, ServerFamily::SQLite), QString::fromUtf8(c.sqlite)) << c.script;
        EXPECT_EQ(markersOf(c.script, ServerFamily::PostgreSQL), QString::fromUtf8(c.postgres)) << c.script;
        EXPECT_EQ(markersOf(c.script, ServerFamily::MariaDB), QString::fromUtf8(c.mariadb)) << c.script;
    }
}

TEST(ParameterMarkers, TheRunIsRefusedWithTheStatementAndItsMarkers) {
    const RunPlan plan = planRun(QStringLiteral("select 1;\nselect * from t where id = :id and n = :name"),
                                 QStringLiteral("Provider=SQLite;Data Source=/tmp/x.db"));
    EXPECT_EQ(plan.refusal,
              QStringLiteral("Statement 2 has parameters (:id, :name) and no values were given. "
                             "Nothing was run."));
    EXPECT_TRUE(plan.textToRun.isEmpty());
    // without a connection there is nothing to refuse yet (the run says there is no connection)
    EXPECT_TRUE(planRun(QStringLiteral("select :id")).refusal.isEmpty());
    // a jsonb question mark is PostgreSQL's operator, not a marker
    EXPECT_TRUE(planRun(QStringLiteral("select '{}'::jsonb ? 'a'"), QStringLiteral("postgresql://h/db"))
                    .refusal.isEmpty());
}

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
