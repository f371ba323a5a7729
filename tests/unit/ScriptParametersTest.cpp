// A script's parameters: found by its tokens in each server's forms, never
// inside strings, comments, quoted names, casts or bodies; bound as values
// in the form each backend takes, and refused when a value is missing.
#include "run/RunPlan.h"
#include "script/ParameterBinding.h"
#include "script/ScriptParameters.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace script;
using db::ServerFamily;

namespace {

// Every use of the script as shown, statements joined by " | ".
QString found(const char* script, ServerFamily server) {
    const QString text = QString::fromUtf8(script);
    QStringList statements;
    for (const StatementParameters& s : findParameters(text, server).withParameters) {
        QStringList uses;
        for (const ParameterUse& u : s.uses) {
            uses << u.shown;
            // the range covers the marker as written (a plain '?' is shown with its number)
            const QString written = text.mid(u.start, u.end - u.start);
            EXPECT_TRUE(written == u.shown || written == QLatin1String("?")) << written.toStdString();
        }
        statements << QString::number(s.statement) + QLatin1Char(':') + uses.join(QLatin1Char(','));
    }
    return statements.join(QStringLiteral(" | "));
}

// What a run without values is refused for: "statement:parameters …" (from
// 1, each parameter once, as shown).
QString refusedFor(const char* script, ServerFamily server) {
    QStringList out;
    for (const StatementParameters& s : findParameters(QString::fromUtf8(script), server).withParameters)
        out << QStringLiteral("%1:%2").arg(s.statement + 1).arg(s.shownNames().join(QLatin1Char(',')));
    return out.join(QLatin1Char(' '));
}

ParameterValues values(std::initializer_list<std::pair<const char*, const char*>> given) {
    ParameterValues v;
    for (const auto& [name, text] : given) v[QString::fromUtf8(name)] = {ParameterType::Text, QString::fromUtf8(text), false};
    return v;
}

} // namespace

TEST(ScriptParameters, TheFormsOfEachServer) {
    struct Case {
        const char* script;
        ServerFamily server;
        const char* expected;
    } cases[] = {
        {"SELECT * FROM t WHERE id = :id AND name=:name", ServerFamily::PostgreSQL, "0::id,:name"},
        {"SELECT $1, $2::int, $1", ServerFamily::PostgreSQL, "0:$1,$2,$1"},
        {"SELECT * FROM t WHERE a = ? AND b IN (?, ?) LIMIT ?", ServerFamily::PostgreSQL, "0:?1,?2,?3,?4"},
        {"SELECT ?; SELECT 1; SELECT ?", ServerFamily::MariaDB, "0:?1 | 2:?2"},
        {"SELECT @a, :b, ?3, ?, $4", ServerFamily::SQLite, "0:@a,:b,?3,?1,$4"},
        {"INSERT INTO t VALUES (:id, @name)", ServerFamily::SqlServer, "0::id,@name"},
        // not parameters
        {"SELECT ':id', \"a:b\", `c?`, [d:e] -- :x ?\n /* @y $1 */", ServerFamily::SQLite, ""},
        {"SELECT x::int, y::text[], $$ :a ? $1 $$, $f$ :b $f$", ServerFamily::PostgreSQL, ""},
        {"SELECT arr[1:2], arr[lo:hi], arr[:n]", ServerFamily::PostgreSQL, ""},
        {"SET @x := 1; SELECT @x, @@version, a:=b FROM t", ServerFamily::MariaDB, ""},
        {"SELECT @x, @y FROM t", ServerFamily::PostgreSQL, ""},
        {"lbl: LOOP LEAVE lbl; END LOOP lbl", ServerFamily::MariaDB, ""},
        // PostgreSQL's jsonb operators
        {"SELECT d ? 'k', d ?| array['a'], d ?& array['b'], '{}'::jsonb ? 'k' FROM t", ServerFamily::PostgreSQL, ""},
        {"SELECT d ? 'k' FROM t WHERE id = ?", ServerFamily::PostgreSQL, "0:?1"},
        // bodies kept for later
        {"CREATE FUNCTION f(a int) RETURNS int AS 'SELECT $1' LANGUAGE sql", ServerFamily::PostgreSQL, ""},
        {"CREATE PROCEDURE p(IN a INT) BEGIN SELECT a, ?; END; SELECT :z", ServerFamily::MariaDB, "1::z"},
        {"PREPARE s AS SELECT $1; EXECUTE s(1)", ServerFamily::PostgreSQL, ""},
        {"CREATE PROCEDURE p @a int AS SELECT @a", ServerFamily::SqlServer, ""},
        // T-SQL: declared variables and named arguments are the script's own
        {"DECLARE @a int, @b int = @c; SELECT @a, @b, @c, @d", ServerFamily::SqlServer, "0:@c | 1:@c,@d"},
        {"EXEC p @a = 1, @b = @v", ServerFamily::SqlServer, "0:@v"},
        // MariaDB: '#' comments and backslash escapes in strings
        {"SELECT 'it\\'s :a' # :b\n, :c", ServerFamily::MariaDB, "0::c"},
    };
    for (const Case& c : cases) EXPECT_EQ(found(c.script, c.server), QString::fromUtf8(c.expected)) << c.script;
}

// The same texts on the three servers side by side: what is a parameter
// depends on the server; what is inside a string, a comment, a quoted name
// or a body never is.
TEST(ScriptParameters, TheSameTextOnEachServer) {
    struct Case {
        const char* script;
        const char* sqlite; // "statement:parameters …" expected per server
        const char* postgres;
        const char* mariadb;
    } cases[] = {
        {"select * from t where id = :id", "1::id", "1::id", "1::id"},
        {"select 1; select a from t where a=:a and b=:b and c=:a", "2::a,:b", "2::a,:b", "2::a,:b"},
        {"select ?", "1:?1", "1:?1", "1:?1"}, // plain ?s are shown by their place
        {"select ?1, ?2", "1:?1,?2", "1:?1,?2", "1:?1,?2"}, // SQLite's numbered ?NNN; elsewhere ? 1
        {"select '{\"a\":1}'::jsonb ? 'a'", "1:?1", "", "1:?1"},
        {"select $1", "1:$1", "1:$1", ""},
        {"select $name, @who, :1", "1:$name,@who,:1", "", ""},
        {"select x::int, y::text from t", "", "", ""},
        {"select ':id', \"a:b\", `c:d` -- :e\n /* :f ? $1 */", "", "", ""},
        {"do $$ begin perform :x; perform $1; end $$", "", "", ""},
        {"select $tag$ :x ? $tag$", "", "", ""},
        {"set @a := 5; select @a", "1:@a 2:@a", "", ""}, // MariaDB's variables, SQLite's parameters
        {"lbl: loop leave lbl; end loop", "", "", ""},
        {"prepare p as select $1 + :x; execute p(1)", "", "", ""},
        {"create function f(int) returns int begin atomic select $1; end; select :later", "2::later",
         "2::later", "2::later"},
        {"select [a:b] from t", "", "", ""},
        {"select * from t where a = :a; ", "1::a", "1::a", "1::a"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(refusedFor(c.script, ServerFamily::SQLite), QString::fromUtf8(c.sqlite)) << c.script;
        EXPECT_EQ(refusedFor(c.script, ServerFamily::PostgreSQL), QString::fromUtf8(c.postgres)) << c.script;
        EXPECT_EQ(refusedFor(c.script, ServerFamily::MariaDB), QString::fromUtf8(c.mariadb)) << c.script;
    }
}

// A run without values is refused before anything is sent, naming the
// first statement that takes parameters.
TEST(ScriptParameters, ARunWithoutValuesIsRefused) {
    const RunPlan plan = planRun(QStringLiteral("select 1;\nselect * from t where id = :id and n = :name"),
                                 QStringLiteral("Provider=SQLite;Data Source=/tmp/x.db"));
    EXPECT_EQ(plan.refusal,
              QStringLiteral("Statement 2 has parameters (:id, :name) and no values were given. "
                             "Nothing was run."));
    EXPECT_TRUE(plan.textToRun.isEmpty());
    // with values the binding checks them; without a connection there is
    // nothing to refuse yet (the run says there is no connection)
    EXPECT_TRUE(planRun(QStringLiteral("select :id"), QStringLiteral("Provider=SQLite;Data Source=/tmp/x.db"), true)
                    .refusal.isEmpty());
    EXPECT_TRUE(planRun(QStringLiteral("select :id")).refusal.isEmpty());
    // a jsonb question mark is PostgreSQL's operator, not a parameter
    EXPECT_TRUE(planRun(QStringLiteral("select '{}'::jsonb ? 'a'"), QStringLiteral("postgresql://h/db"))
                    .refusal.isEmpty());
}

TEST(ScriptParameters, NamesOnceInOrderOfFirstUse) {
    const ScriptParameters p = findParameters(u"SELECT :b, @a, :b; SELECT :a, :c", ServerFamily::SQLite);
    QStringList names;
    for (const auto& n : p.names()) names << n.name + QLatin1Char('=') + n.shown;
    EXPECT_EQ(names, (QStringList{"b=:b", "a=@a", "c=:c"}));
    EXPECT_EQ(p.withParameters[0].shownNames(), (QStringList{":b", "@a"}));
}

TEST(ScriptParameters, BoundInTheFormOfEachBackend) {
    const QString script = QStringLiteral("SELECT 1;\nSELECT * FROM t WHERE a = :a AND b = :b OR a = :a;");
    const ParameterValues v = values({{"a", "x'y"}, {"b", "2"}});
    struct Case {
        ServerFamily server;
        const char* text;
        QList<QVariant> params;
    } cases[] = {
        {ServerFamily::PostgreSQL, "SELECT * FROM t WHERE a = $1 AND b = $2 OR a = $1", {"x'y", "2"}},
        {ServerFamily::SQLite, "SELECT * FROM t WHERE a = ?1 AND b = ?2 OR a = ?1", {"x'y", "2"}},
        {ServerFamily::MariaDB, "SELECT * FROM t WHERE a = ? AND b = ? OR a = ?", {"x'y", "2", "x'y"}},
    };
    for (const Case& c : cases) {
        const auto bound = bindScript(script, findParameters(script, c.server), &v, c.server);
        ASSERT_TRUE(bound.ok()) << bound.error().toStdString();
        ASSERT_EQ(bound->size(), 2u);
        EXPECT_EQ((*bound)[0].text, "SELECT 1");
        EXPECT_TRUE((*bound)[0].params.empty());
        EXPECT_EQ((*bound)[1].text, QString::fromUtf8(c.text));
        EXPECT_EQ(QList<QVariant>((*bound)[1].params.begin(), (*bound)[1].params.end()), c.params);
        // an error at the sent text's "b" (after the rewritten :a) is at the script's "b"
        const qsizetype sentB = (*bound)[1].text.indexOf(QLatin1String("b ="));
        EXPECT_EQ((*bound)[1].scriptOffsetOf(sentB), script.indexOf(QLatin1String("b =")));
        // a rewritten marker: the marker's start
        const qsizetype sentMarker = (*bound)[1].text.indexOf(QLatin1String("= ")) + 2;
        EXPECT_EQ((*bound)[1].scriptOffsetOf(sentMarker), script.indexOf(QLatin1String(":a")));
    }
}

TEST(ScriptParameters, MissingValuesRefuseTheScript) {
    const QString script = QStringLiteral("SELECT 1; SELECT :id, :name");
    const ScriptParameters p = findParameters(script, ServerFamily::PostgreSQL);
    const auto none = bindScript(script, p, nullptr, ServerFamily::PostgreSQL);
    ASSERT_FALSE(none.ok());
    EXPECT_EQ(none.error(), "Statement 2 has parameters (:id, :name) and no values were given.");
    const ParameterValues some = values({{"id", "1"}});
    const auto partly = bindScript(script, p, &some, ServerFamily::PostgreSQL);
    ASSERT_FALSE(partly.ok());
    EXPECT_EQ(partly.error(), "Statement 2 has parameters (:id, :name) and no value was given for :name.");
}

TEST(ScriptParameters, ValuesAreCheckedAgainstTheirType) {
    struct Case {
        ParameterType type;
        const char* text;
        ServerFamily server;
        QVariant expected; // invalid: refused
    } cases[] = {
        {ParameterType::Text, " a'b ", ServerFamily::PostgreSQL, QVariant(QStringLiteral(" a'b "))},
        {ParameterType::Integer, " -42 ", ServerFamily::SQLite, QVariant(qlonglong(-42))},
        {ParameterType::Integer, "4.2", ServerFamily::SQLite, QVariant()},
        {ParameterType::Decimal, "12.50", ServerFamily::MariaDB, QVariant(QStringLiteral("12.50"))},
        {ParameterType::Decimal, "1e3", ServerFamily::MariaDB, QVariant(QStringLiteral("1e3"))},
        {ParameterType::Decimal, "12,5", ServerFamily::MariaDB, QVariant()},
        {ParameterType::Boolean, "yes", ServerFamily::PostgreSQL, QVariant(true)},
        {ParameterType::Boolean, "off", ServerFamily::MariaDB, QVariant(qlonglong(0))},
        {ParameterType::Boolean, "maybe", ServerFamily::MariaDB, QVariant()},
        {ParameterType::Date, "2024-02-29", ServerFamily::SQLite, QVariant(QStringLiteral("2024-02-29"))},
        {ParameterType::Date, "2023-02-29", ServerFamily::SQLite, QVariant()},
        {ParameterType::Timestamp, "2024-02-29T13:05", ServerFamily::SQLite, QVariant(QStringLiteral("2024-02-29 13:05:00"))},
        {ParameterType::Timestamp, "2024-02-29 13:05:07.25", ServerFamily::SQLite,
         QVariant(QStringLiteral("2024-02-29 13:05:07.25"))},
        {ParameterType::Timestamp, "2024-02-29 25:00", ServerFamily::SQLite, QVariant()},
    };
    for (const Case& c : cases) {
        const auto v = boundValue({c.type, QString::fromUtf8(c.text), false}, c.server, QStringLiteral(":p"));
        if (!c.expected.isValid()) {
            ASSERT_FALSE(v.ok()) << c.text;
            EXPECT_TRUE(v.error().startsWith(QLatin1String("The value of :p is not "))) << v.error().toStdString();
        } else {
            ASSERT_TRUE(v.ok()) << c.text << v.error().toStdString();
            EXPECT_EQ(*v, c.expected) << c.text;
        }
    }
    // NULL whatever the text and type
    const auto null = boundValue({ParameterType::Integer, QStringLiteral("x"), true}, ServerFamily::SQLite, {});
    ASSERT_TRUE(null.ok());
    EXPECT_TRUE(null->isNull());
}
