// What the statement around the caret ("|" in each script) expects there,
// the names before the word, and the tables its query sees (aliases, WITH
// queries, subqueries in FROM with their select-list names), read from the
// statement's tokens alone.
#include "assist/StatementContext.h"

#include <gtest/gtest.h>

using namespace assist;

namespace {

struct Case {
    const char* script; // "|" marks the caret
    Expect expect;
    const char* qualifier; // names joined by '.'
    const char* prefix;
    // the tables the caret's query sees: "path alias" or "path", in order;
    // a derived table "=alias(col,col)"
    QStringList tables;
};

StatementContext at(const char* script, script::Dialect dialect = script::Dialect::Generic) {
    QString text = QString::fromUtf8(script);
    const qsizetype caret = text.indexOf(QLatin1Char('|'));
    text.remove(caret, 1);
    return analyzeAt(text, caret, dialect);
}

QStringList describe(const std::vector<TableRef>& tables) {
    QStringList out;
    for (const TableRef& t : tables) {
        if (t.derived)
            out << QLatin1Char('=') + t.visibleName() + QLatin1Char('(') + t.columns.join(QLatin1Char(',')) + QLatin1Char(')');
        else
            out << (t.path.join(QLatin1Char('.')) + (t.alias.isEmpty() ? QString() : QLatin1Char(' ') + t.alias));
    }
    return out;
}

} // namespace

TEST(StatementContext, ReadsWhatTheCaretExpects) {
    const Case cases[] = {
        {"|", Expect::Keywords, "", "", {}},
        {"SEL|", Expect::Keywords, "", "SEL", {}},
        {"SELECT * FROM |", Expect::Tables, "", "", {}},
        {"SELECT * FROM ord|", Expect::Tables, "", "ord", {}},
        {"SELECT * FROM orders o JOIN |", Expect::Tables, "", "", {"orders o"}},
        {"SELECT * FROM orders o, cust|", Expect::Tables, "", "cust", {"orders o"}},
        {"SELECT * FROM orders o |", Expect::Keywords, "", "", {"orders o"}},
        {"INSERT INTO |", Expect::Tables, "", "", {}},
        {"UPDATE |", Expect::Tables, "", "", {}},
        {"ALTER TABLE |", Expect::Tables, "", "", {}},
        {"SELECT * FROM sales.|", Expect::Tables, "sales", "", {}},
        {"SELECT * FROM sales.ord| o", Expect::Tables, "sales", "ord", {}},
        {"SELECT | FROM orders o JOIN customers c ON c.id = o.customer",
         Expect::Columns, "", "", {"orders o", "customers c"}},
        {"SELECT o.| FROM sales.orders o", Expect::Columns, "o", "", {"sales.orders o"}},
        {"SELECT o.am| FROM sales.orders AS o", Expect::Columns, "o", "am", {"sales.orders o"}},
        {"select sales.orders.|", Expect::Columns, "sales.orders", "", {}},
        {"SELECT * FROM t WHERE |", Expect::Columns, "", "", {"t"}},
        {"SELECT * FROM t WHERE a = 1 AND b|", Expect::Columns, "", "b", {"t"}},
        {"SELECT * FROM t WHERE a > |", Expect::Columns, "", "", {"t"}},
        {"SELECT * FROM t ORDER BY |", Expect::Columns, "", "", {"t"}},
        {"SELECT a FROM t GROUP BY a HAVING count(|", Expect::Columns, "", "", {"t"}},
        {"SELECT a, | FROM t", Expect::Columns, "", "", {"t"}},
        {"SELECT * |", Expect::Keywords, "", "", {}},
        {"UPDATE orders SET |", Expect::Columns, "", "", {"orders"}},
        {"UPDATE orders o SET note = 'x' WHERE o.|", Expect::Columns, "o", "", {"orders o"}},
        {"INSERT INTO orders (|", Expect::Columns, "", "", {"orders"}},
        {"INSERT INTO t (a, b) VALUES (1, |)", Expect::Columns, "", "", {"t"}},
        {"DELETE FROM orders WHERE |", Expect::Columns, "", "", {"orders"}},
        {"SELECT \"Mix| FROM t", Expect::Columns, "", "Mix", {"t"}},
        {"SELECT * FROM \"Mixed Case\" m WHERE m.|", Expect::Columns, "m", "", {"Mixed Case m"}},
        {"SELECT * FROM `my db`.`t` x WHERE x.|", Expect::Columns, "x", "", {"my db.t x"}},
        {"SELECT * FROM [dbo].[Odd]] name] WHERE |", Expect::Columns, "", "", {"dbo.Odd] name"}},
        {"SELECT 'abc|", Expect::Nothing, "", "", {}},
        {"SELECT 'a', 'b|' FROM t", Expect::Nothing, "", "", {}},
        {"SELECT a -- co|", Expect::Nothing, "", "", {}},
        {"SELECT /* a.| */ 1", Expect::Nothing, "", "", {}},
        {"SELECT 12|", Expect::Nothing, "", "", {}},
        {"SELECT @va|", Expect::Nothing, "", "", {}},
        {"SELECT $$ a.| $$", Expect::Nothing, "", "", {}},
        {"SELECT 1 /* a.|", Expect::Nothing, "", "", {}},
        {"SELECT $x$ a.|", Expect::Nothing, "", "", {}},
        {"SELECT /* a */ b.|", Expect::Columns, "b", "", {}},
        {"SELECT 1; SEL|", Expect::Keywords, "", "SEL", {}},
        {"SELECT 1;  |", Expect::Keywords, "", "", {}},
        {"SELECT 1 FROM a;\nSELECT | FROM b", Expect::Columns, "", "", {"b"}},
    };
    for (const Case& c : cases) {
        const StatementContext ctx = at(c.script);
        EXPECT_EQ(int(ctx.expect), int(c.expect)) << c.script;
        EXPECT_EQ(ctx.qualifier.join(QLatin1Char('.')), QString::fromUtf8(c.qualifier)) << c.script;
        EXPECT_EQ(ctx.prefix, QString::fromUtf8(c.prefix)) << c.script;
        if (c.expect != Expect::Nothing) {
            EXPECT_EQ(describe(ctx.tables), c.tables) << c.script;
        }
    }
}

TEST(StatementContext, WithQueriesAndSubqueriesBringTheirSelectListNames) {
    const Case cases[] = {
        {"WITH r AS (SELECT id, total AS t FROM orders) SELECT r.| FROM r", Expect::Columns, "r", "",
         {"=r(id,t)"}},
        {"WITH r (a, b) AS (SELECT id, total FROM orders) SELECT | FROM r x", Expect::Columns, "", "",
         {"=x(a,b)"}},
        {"WITH RECURSIVE n AS (SELECT 1 AS i UNION ALL SELECT i + 1 FROM n) SELECT | FROM n",
         Expect::Columns, "", "", {"=n(i)"}},
        {"SELECT x.| FROM (SELECT a, b c, count(*) n, o.amount FROM orders o) x", Expect::Columns, "x", "",
         {"=x(a,c,n,amount)"}},
        {"SELECT | FROM (SELECT 1 AS one) AS s (uno)", Expect::Columns, "", "", {"=s(uno)"}},
        // a correlated subquery sees its own tables first, then the outer ones
        {"SELECT * FROM orders o WHERE EXISTS (SELECT 1 FROM items i WHERE i.order_id = |)",
         Expect::Columns, "", "", {"items i", "orders o"}},
        // the outer query does not see inside a subquery
        {"SELECT | FROM orders o WHERE o.id IN (SELECT order_id FROM items)", Expect::Columns, "", "",
         {"orders o"}},
        {"SELECT * FROM a JOIN LATERAL (SELECT x FROM b) l ON true WHERE l.|", Expect::Columns, "l", "",
         {"a", "=l(x)"}},
        {"SELECT | FROM generate_series(1, 3) g", Expect::Columns, "", "", {"generate_series g"}},
    };
    for (const Case& c : cases) {
        const StatementContext ctx = at(c.script);
        EXPECT_EQ(int(ctx.expect), int(c.expect)) << c.script;
        EXPECT_EQ(ctx.qualifier.join(QLatin1Char('.')), QString::fromUtf8(c.qualifier)) << c.script;
        EXPECT_EQ(describe(ctx.tables), c.tables) << c.script;
    }
    // a star brings the columns of the subquery's tables, for the catalogue to fill in
    const StatementContext star = at("SELECT s.| FROM (SELECT o.*, 1 AS extra FROM orders o JOIN c ON true) s");
    ASSERT_EQ(star.tables.size(), 1u);
    EXPECT_EQ(star.tables[0].columns, QStringList{QStringLiteral("extra")});
    ASSERT_EQ(star.tables[0].starSources.size(), 1u);
    EXPECT_EQ(star.tables[0].starSources[0].name(), QStringLiteral("orders"));
    // resolve: aliases first, then names without an alias, then WITH queries
    const StatementContext r = at("WITH w AS (SELECT 1 AS k) SELECT | FROM orders o, customers, w");
    ASSERT_NE(r.resolve(QStringLiteral("O")), nullptr);
    EXPECT_EQ(r.resolve(QStringLiteral("O"))->name(), QStringLiteral("orders"));
    EXPECT_EQ(r.resolve(QStringLiteral("customers"))->name(), QStringLiteral("customers"));
    ASSERT_NE(r.resolve(QStringLiteral("w")), nullptr);
    EXPECT_EQ(r.resolve(QStringLiteral("w"))->columns, QStringList{QStringLiteral("k")});
    EXPECT_EQ(r.resolve(QStringLiteral("nothing")), nullptr);
}

TEST(StatementContext, OnlyTheStatementAroundTheCaretCounts) {
    // inside a block, the statement between the ';' around the caret
    const StatementContext block =
        at("CREATE PROCEDURE p() BEGIN\n  SELECT 1 FROM a;\n  SELECT | FROM b;\n  SELECT 2 FROM c;\nEND");
    EXPECT_EQ(int(block.expect), int(Expect::Columns));
    EXPECT_EQ(describe(block.tables), QStringList{QStringLiteral("b")});
    // MariaDB: '#' comments and backslash escapes
    EXPECT_EQ(int(at("SELECT 1 # a.|", script::Dialect::MySql).expect), int(Expect::Nothing));
    const StatementContext maria = at("SELECT 'it\\'s' FROM `t` x WHERE x.|", script::Dialect::MySql);
    EXPECT_EQ(maria.qualifier, QStringList{QStringLiteral("x")});
    EXPECT_EQ(describe(maria.tables), QStringList{QStringLiteral("t x")});
    // a name opened with a quote and never closed ends at the caret
    const StatementContext open = at("SELECT * FROM \"Odd Ta|\nWHERE 1 = 1");
    EXPECT_EQ(open.prefix, QStringLiteral("Odd Ta"));
    EXPECT_EQ(open.quote, QLatin1Char('"'));
    EXPECT_EQ(int(open.expect), int(Expect::Tables));
    // …and so does one opened before the rest of a line
    const StatementContext midLine = at("SELECT m.\"Od| FROM \"Mixed Case\" m");
    EXPECT_EQ(midLine.prefix, QStringLiteral("Od"));
    EXPECT_EQ(describe(midLine.tables), QStringList{QStringLiteral("Mixed Case m")});
    // the word before, for the keywords that go with it
    EXPECT_EQ(at("SELECT * FROM t ORDER |").previousWord, QStringLiteral("ORDER"));
    EXPECT_EQ(at("SELECT * FROM t WHERE a IS NOT |").previousWord, QStringLiteral("IS NOT"));
    EXPECT_EQ(int(at("SELECT * FROM t WHERE a IS |").expect), int(Expect::Keywords));
    // a call still being typed hides nothing of the statement after it
    EXPECT_EQ(describe(at("SELECT count(| FROM orders o").tables), QStringList{QStringLiteral("orders o")});
    EXPECT_EQ(unquotedName(u"\"a\"\"b\""), QStringLiteral("a\"b"));
    EXPECT_EQ(unquotedName(u"[x]]y]"), QStringLiteral("x]y"));
    EXPECT_EQ(unquotedName(u"`a``b`"), QStringLiteral("a`b"));
}
