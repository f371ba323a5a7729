// The SQL formatter: on a corpus of 300+ statements (tests/data) it keeps
// every token (the catalogue's words may change case, nothing else does) and
// formatting its output again changes nothing; the layout itself for the
// main shapes (clauses, lists, subqueries, CASE, comments, batches).
#include "assist/KeywordCatalogue.h"
#include "assist/SqlFormatter.h"
#include "store/HomeSeeding.h"
#include "support/TempHome.h"

#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using script::Dialect;
using script::SqlLexer;
using script::Token;

namespace {

struct Entry {
    QString text;
    Dialect dialect = Dialect::Generic;
};

std::vector<Entry> corpus() {
    QFile f(QStringLiteral(SQLQE_TEST_DATA "/format-corpus.sql"));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << f.fileName().toStdString();
    std::vector<Entry> out;
    QString current;
    for (const QString& line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("--!"))) continue;
        if (!line.startsWith(QLatin1String("--@@"))) {
            current += line + QLatin1Char('\n');
            continue;
        }
        out.push_back({current, line.contains(QLatin1String("mysql")) ? Dialect::MySql : Dialect::Generic});
        current.clear();
    }
    if (!current.trimmed().isEmpty()) out.push_back({current});
    return out;
}

std::vector<Token> tokens(QStringView text, Dialect dialect) {
    std::vector<Token> out;
    SqlLexer lex(text, dialect);
    for (Token t = lex.next(); t.kind != script::TokenKind::End; t = lex.next())
        out.push_back(t);
    return out;
}

// The same tokens in the same order: byte for byte, except that a word of
// the catalogue may have changed its case.
::testing::AssertionResult sameTokens(QStringView before, QStringView after, Dialect dialect,
                                      const QHash<QString, QString>& spellings) {
    const auto a = tokens(before, dialect), b = tokens(after, dialect);
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        const QStringView x = before.mid(a[i].start, a[i].end - a[i].start);
        const QStringView y = after.mid(b[i].start, b[i].end - b[i].start);
        const bool recased = a[i].kind == script::TokenKind::Word && spellings.contains(x.toString().toLower()) &&
                             x.compare(y, Qt::CaseInsensitive) == 0;
        if (a[i].kind != b[i].kind || (x != y && !recased))
            return ::testing::AssertionFailure() << "token " << i << ": [" << x.toString().toStdString() << "] became ["
                                                 << y.toString().toStdString() << "]";
    }
    if (a.size() != b.size())
        return ::testing::AssertionFailure() << a.size() << " tokens became " << b.size();
    return ::testing::AssertionSuccess();
}

class SqlFormatterTest : public ::testing::Test {
protected:
    void SetUp() override {
        store::ensureSeeded();
        spellings = assist::loadWordLists().valueOr({}).spellings();
        ASSERT_TRUE(spellings.contains(QStringLiteral("select")));
    }
    QString format(const QString& sql, Dialect dialect = Dialect::Generic) const {
        return assist::formatSql(sql, spellings, dialect);
    }
    TempHome home;
    QHash<QString, QString> spellings;
};

} // namespace

TEST_F(SqlFormatterTest, TheCorpusKeepsItsTokensAndFormatsOnce) {
    const std::vector<Entry> entries = corpus();
    ASSERT_GE(entries.size(), 300u);
    int changed = 0;
    for (const Entry& e : entries) {
        const QString once = format(e.text, e.dialect);
        EXPECT_TRUE(sameTokens(e.text, once, e.dialect, spellings)) << e.text.toStdString() << "\n=>\n" << once.toStdString();
        EXPECT_EQ(format(once, e.dialect), once) << e.text.toStdString();
        changed += once != e.text.trimmed();
    }
    EXPECT_GT(changed, 300); // it did lay them out
}

TEST_F(SqlFormatterTest, LaysOutClausesListsSubqueriesAndCase) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"select a, b from t where a = 1 order by b", "SELECT a, b\nFROM t\nWHERE a = 1\nORDER BY b"},
        {"select o.id from orders o left outer join customers c on c.id = o.customer",
         "SELECT o.id\nFROM orders o\nLEFT OUTER JOIN customers c ON c.id = o.customer"},
        // a list too long for one line: one item a line
        {"select aaaaaaaaaaaaaaaaaaaaaaaaa, bbbbbbbbbbbbbbbbbbbbbbbbbbbbbb, ccccccccccccccccccccccccccc, "
         "dddddddddddddddddddd from t",
         "SELECT\n    aaaaaaaaaaaaaaaaaaaaaaaaa,\n    bbbbbbbbbbbbbbbbbbbbbbbbbbbbbb,\n    ccccccccccccccccccccccccccc,\n"
         "    dddddddddddddddddddd\nFROM t"},
        {"select id from t where x in (select y from u where z = 1)",
         "SELECT id\nFROM t\nWHERE x IN (\n    SELECT y\n    FROM u\n    WHERE z = 1\n)"},
        {"select case when a then 1 else 2 end as k from t",
         "SELECT CASE\n    WHEN a THEN 1\n    ELSE 2\nEND AS k\nFROM t"},
        // conditions too long for one line break before AND/OR (not BETWEEN's AND)
        {"select * from t where column_number_one = 1 and column_number_two between 2 and 3 or "
         "column_number_three = 'a long string value'",
         "SELECT *\nFROM t\nWHERE column_number_one = 1\n    AND column_number_two BETWEEN 2 AND 3\n"
         "    OR column_number_three = 'a long string value'"},
        // two statements, a comment kept on its line, strings and names as written
        {"select 'It''s'  ,\"Mixed Case\" from T; -- done\nselect 2",
         "SELECT 'It''s', \"Mixed Case\"\nFROM T; -- done\n\nSELECT 2"},
        // a line comment ends its line; tokens written together stay together
        {"select a-- x\n,b::int from t", "SELECT\n    a-- x\n    , b::INT\nFROM t"},
        // table names, aliases, qualified parts and column aliases keep their case
        {"select t.order, x AS Year, count(*) total from Orders o join date on true",
         "SELECT t.order, x AS Year, COUNT(*) total\nFROM Orders o\nJOIN date ON TRUE"},
        {"select a from t order by a desc nulls last limit 1", "SELECT a\nFROM t\nORDER BY a DESC NULLS LAST\nLIMIT 1"},
        {"update t set a = 1, b = 2 where c = 3", "UPDATE t\nSET a = 1, b = 2\nWHERE c = 3"},
        {"insert into t (a, b) values (1, 2)", "INSERT INTO t (a, b)\nVALUES (1, 2)"},
        {"select 1\ngo\nselect 2", "SELECT 1\nGO\n\nSELECT 2"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(format(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

TEST_F(SqlFormatterTest, KeepsTheEditorsLineBreaksAndIndentation) {
    assist::FormatOptions options;
    options.lineBreak = QStringLiteral("\r\n");
    options.lineLead = QStringLiteral("  ");
    EXPECT_EQ(assist::formatSql(u"select a\r\n  from t where b = 1", spellings, Dialect::Generic, options),
              QStringLiteral("SELECT a\r\n  FROM t\r\n  WHERE b = 1"));
    // a body in dollar quotes stays as it is, line breaks and all
    const QString body = QStringLiteral("$$\nBEGIN\n   RETURN 1 ;\nEND;\n$$");
    EXPECT_TRUE(format(QStringLiteral("create function f() returns int as ") + body + QStringLiteral(" language plpgsql"))
                    .contains(body));
}

// Text stuck together from awkward pieces (unclosed quotes and comments,
// MariaDB's "--" that needs a blank, GO inside other words' lines, prefixed
// strings): the layout may change, the tokens never, and a second pass
// changes nothing.
TEST_F(SqlFormatterTest, AwkwardTextKeepsItsTokens) {
    const char* const pieces[] = {
        "SELECT ", "FROM ", "WHERE ", "JOIN ", " ON ", "(", ")", ",", ".", "'", "\"", "`", "[", "]", "--", "/*",
        "*/", "$$", "$a$", ";", "\n", " ", "CASE ", "WHEN ", "THEN ", "END ", "BEGIN ", "GO\n", "x", "t1 ", "AS ",
        "WITH ", "UNION ", "1", "=", "-", "::", "@v", "#", "E'", "N'", "ORDER BY ", "INSERT INTO ", "VALUES ",
        "SET ", "AND ", "BETWEEN ", "go", "🎉", "é"};
    QRandomGenerator random(7);
    for (int i = 0; i < 3000; ++i) {
        QString text;
        for (int n = random.bounded(1, 30); n > 0; --n)
            text += QString::fromUtf8(pieces[random.bounded(int(std::size(pieces)))]);
        const Dialect dialect = i % 2 ? Dialect::MySql : Dialect::Generic;
        const QString once = format(text, dialect);
        ASSERT_TRUE(sameTokens(text, once, dialect, spellings)) << text.toStdString() << "\n=>\n" << once.toStdString();
        ASSERT_EQ(format(once, dialect), once) << text.toStdString();
    }
}
