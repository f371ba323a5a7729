// Which statements of a script share a call to PostgreSQL, and how an error
// position in a call's text finds its way back into the script.
#include "db/PgBatch.h"

#include "run/ScriptStatements.h"

#include <gtest/gtest.h>

namespace {

// The calls a script goes in, as the statements' first words joined by "|",
// calls separated by " / ".
QString calls(const QString& script, bool inTransaction) {
    const auto statements = scriptStatements(script, script::Dialect::Generic);
    QStringList out;
    for (size_t from = 0; from < statements.size();) {
        const db::pg::Batch b = db::pg::nextBatch(script, statements, from, inTransaction);
        QStringList words;
        for (size_t i = b.first; i < b.first + b.count; ++i)
            words << statements[i].leadingWords.value(0);
        out << words.join(QLatin1Char('|')) + (b.commits ? QStringLiteral("+C") : QString());
        from += b.count;
    }
    return out.join(QStringLiteral(" / "));
}

} // namespace

TEST(PgBatch, StatementsShareACallOnlyWhereTheyRunAsTheyWouldAlone) {
    struct Case {
        const char* script;
        bool inTransaction;
        const char* calls;
    };
    const Case cases[] = {
        {"insert into t values (1); update t set a = 2; select 1", false, "INSERT|UPDATE|SELECT+C"},
        {"select 1", false, "SELECT"},
        {"insert into t values (1); begin; insert into t values (2); commit; select 1", false,
         "INSERT / BEGIN / INSERT / COMMIT / SELECT"},
        {"create table a (i int); create database b; create index concurrently i on a (i); drop table a",
         false, "CREATE / CREATE / CREATE / DROP"},
        {"select 1; do $$ begin commit; end $$; call p(); vacuum t; select 2; select 3", false,
         "SELECT / DO / CALL / VACUUM / SELECT|SELECT+C"},
        {"set search_path = a; set local work_mem = '1MB'; set transaction read only; show work_mem", false,
         "SET / SET / SET / SHOW"},
        // inside the user's transaction everything but transaction control shares, without COMMITs
        {"insert into t values (1); do $$ begin end $$; savepoint s; select 1; rollback to s; select 2", true,
         "INSERT|DO / SAVEPOINT / SELECT / ROLLBACK / SELECT"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(calls(QString::fromUtf8(c.script), c.inTransaction), QString::fromUtf8(c.calls))
            << c.script;
}

TEST(PgBatch, ACallsTextMapsBackToTheScript) {
    const QString script = QStringLiteral("-- lead\ninsert into t values (1);\n\n  select 'é' , x;\n");
    const auto statements = scriptStatements(script, script::Dialect::Generic);
    const db::pg::Batch b = db::pg::nextBatch(script, statements, 0, false);
    ASSERT_EQ(b.count, 2u);
    EXPECT_TRUE(b.text.contains(QStringLiteral("COMMIT")));
    const qsizetype x = b.text.indexOf(QLatin1Char('x'));
    EXPECT_EQ(b.scriptOffset(statements, x), script.indexOf(QLatin1Char('x')));
    EXPECT_EQ(b.scriptOffset(statements, b.text.indexOf(QStringLiteral("COMMIT"))),
              -1); // ours, not the user's
    EXPECT_EQ(statements[1].leadingWords, QStringList({QStringLiteral("SELECT"), QStringLiteral("X")}));
}

TEST(ScriptStatements, OnlyQueriesThatChangeNothingMayBeStoppedEarly) {
    const QString script =
        QStringLiteral("select 1; with d as (delete from t returning *) select * from d;"
                       " insert into t select 1 returning *; select nextval('s') into x;"
                       " values (1); show all; explain analyze select 1; explain select 1");
    std::vector<bool> reads;
    for (const auto& s : scriptStatements(script, script::Dialect::Generic))
        reads.push_back(s.onlyReads);
    EXPECT_EQ(reads, (std::vector<bool>{true, false, false, false, true, true, false, true}));
}
