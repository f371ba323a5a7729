#include "script/ParameterMarkers.h"

#include "run/RunPlan.h"

#include <gtest/gtest.h>

using db::ServerFamily;

namespace {

QString markersOf(const char* script, ServerFamily server) {
    QStringList out;
    for (const auto& s : sqlscript::findParameterMarkers(QString::fromUtf8(script), server))
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
