// Statement bounds on a corpus of awkward scripts (bodies, batches, quotes
// and comments holding terminators), where each bound lies in lines and
// columns, and which statement a caret belongs to.
#include "script/StatementSplitter.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace script;

namespace {

QStringList statements(const QString& script, Dialect dialect = Dialect::Generic) {
    QStringList out;
    for (const StatementRange& r : splitStatements(script, dialect)) out << r.textIn(script).toString();
    return out;
}

struct Case {
    const char* name;
    const char* script;
    QStringList expected;
};

} // namespace

TEST(StatementSplitter, AwkwardScriptsSplitWhereTheServerWould) {
    const Case corpus[] = {
        {"dollar-quoted function body",
         "CREATE FUNCTION add(a int, b int) RETURNS int AS $$\n"
         "BEGIN\n  -- add them; carefully\n  RETURN a + b; -- it's fine\nEND;\n$$ LANGUAGE plpgsql;\n"
         "SELECT add(1, 2);",
         {"CREATE FUNCTION add(a int, b int) RETURNS int AS $$\n"
          "BEGIN\n  -- add them; carefully\n  RETURN a + b; -- it's fine\nEND;\n$$ LANGUAGE plpgsql",
          "SELECT add(1, 2)"}},
        {"tagged body holding $$ and a parameter",
         "CREATE FUNCTION f(x int) RETURNS text AS $body$ SELECT $$a;b$$ || $1 $body$ LANGUAGE sql; SELECT $1, a$b",
         {"CREATE FUNCTION f(x int) RETURNS text AS $body$ SELECT $$a;b$$ || $1 $body$ LANGUAGE sql",
          "SELECT $1, a$b"}},
        {"DO block", "DO $do$ BEGIN PERFORM 1; END $do$;\nSELECT 2", {"DO $do$ BEGIN PERFORM 1; END $do$", "SELECT 2"}},
        {"procedure with BEGIN … END, IF, LOOP and CASE statements",
         "CREATE PROCEDURE fill(n INT)\nBEGIN\n  DECLARE i INT DEFAULT 0;\n"
         "  DECLARE CONTINUE HANDLER FOR NOT FOUND SET i = n;\n  lp: LOOP\n    SET i = i + 1;\n"
         "    IF i > n THEN LEAVE lp; END IF;\n    CASE i WHEN 1 THEN SELECT 1; ELSE SELECT 2; END CASE;\n"
         "  END LOOP lp;\n  WHILE i > 0 DO SET i = i - 1; END WHILE;\nEND;\nCALL fill(3);",
         {"CREATE PROCEDURE fill(n INT)\nBEGIN\n  DECLARE i INT DEFAULT 0;\n"
          "  DECLARE CONTINUE HANDLER FOR NOT FOUND SET i = n;\n  lp: LOOP\n    SET i = i + 1;\n"
          "    IF i > n THEN LEAVE lp; END IF;\n    CASE i WHEN 1 THEN SELECT 1; ELSE SELECT 2; END CASE;\n"
          "  END LOOP lp;\n  WHILE i > 0 DO SET i = i - 1; END WHILE;\nEND",
          "CALL fill(3)"}},
        {"T-SQL procedure: TRY/CATCH, a transaction, IF … ELSE blocks, CASE",
         "CREATE PROCEDURE dbo.pay @id int AS\nBEGIN\n  BEGIN TRY\n    BEGIN TRAN;\n"
         "    UPDATE a SET v = CASE WHEN v > 0 THEN v - 1 ELSE 0 END WHERE id = @id;\n    COMMIT;\n  END TRY\n"
         "  BEGIN CATCH\n    ROLLBACK;\n  END CATCH\n  IF @id = 1\n  BEGIN\n    PRINT 'one';\n  END\n"
         "  ELSE BEGIN PRINT 'other'; END\nEND;\nEXEC dbo.pay 1;",
         {"CREATE PROCEDURE dbo.pay @id int AS\nBEGIN\n  BEGIN TRY\n    BEGIN TRAN;\n"
          "    UPDATE a SET v = CASE WHEN v > 0 THEN v - 1 ELSE 0 END WHERE id = @id;\n    COMMIT;\n  END TRY\n"
          "  BEGIN CATCH\n    ROLLBACK;\n  END CATCH\n  IF @id = 1\n  BEGIN\n    PRINT 'one';\n  END\n"
          "  ELSE BEGIN PRINT 'other'; END\nEND",
          "EXEC dbo.pay 1"}},
        {"T-SQL END followed by an IF statement closes the block",
         "IF @a = 1\nBEGIN\n  PRINT 'a';\nEND\nIF @b = 2\n  PRINT 'b';\nSELECT 3;",
         {"IF @a = 1\nBEGIN\n  PRINT 'a';\nEND\nIF @b = 2\n  PRINT 'b'", "SELECT 3"}},
        {"SQLite trigger",
         "CREATE TRIGGER log_it AFTER INSERT ON t BEGIN\n  INSERT INTO log VALUES (new.id);\n"
         "  UPDATE c SET n = n + 1;\nEND;\nSELECT 1;",
         {"CREATE TRIGGER log_it AFTER INSERT ON t BEGIN\n  INSERT INTO log VALUES (new.id);\n"
          "  UPDATE c SET n = n + 1;\nEND",
          "SELECT 1"}},
        {"standard bodies: BEGIN ATOMIC and BEGIN NOT ATOMIC",
         "CREATE FUNCTION f() RETURNS int LANGUAGE sql BEGIN ATOMIC SELECT 1; SELECT 2; END; "
         "BEGIN NOT ATOMIC SELECT 1; END; BEGIN NOT DEFERRABLE; SELECT 3",
         {"CREATE FUNCTION f() RETURNS int LANGUAGE sql BEGIN ATOMIC SELECT 1; SELECT 2; END",
          "BEGIN NOT ATOMIC SELECT 1; END", "BEGIN NOT DEFERRABLE", "SELECT 3"}},
        {"transactions are not bodies",
         "BEGIN;\nUPDATE t SET a = 1 WHERE b = 2;\nCOMMIT;\nBEGIN TRANSACTION;\nSELECT 1;\nEND;\n"
         "begin immediate; begin work; BEGIN ISOLATION LEVEL SERIALIZABLE; begin read only; SELECT 2",
         {"BEGIN", "UPDATE t SET a = 1 WHERE b = 2", "COMMIT", "BEGIN TRANSACTION", "SELECT 1", "END",
          "begin immediate", "begin work", "BEGIN ISOLATION LEVEL SERIALIZABLE", "begin read only", "SELECT 2"}},
        {"begin and end as names",
         "SELECT t.begin, t.end, t.case FROM t; SELECT begin FROM r; SELECT begin, 1 FROM r; SELECT 2",
         {"SELECT t.begin, t.end, t.case FROM t", "SELECT begin FROM r", "SELECT begin, 1 FROM r", "SELECT 2"}},
        {"T-SQL GO batches",
         "CREATE TABLE t (a int)\nGO\ninsert t values (1)\ngo 3\nSELECT 'GO' -- GO\n  Go  -- done\n"
         "SELECT 1 GO\nSELECT [GO]\nGOTO done\nGO\r\nSELECT 2",
         {"CREATE TABLE t (a int)", "insert t values (1)", "SELECT 'GO'", "SELECT 1 GO\nSELECT [GO]\nGOTO done",
          "SELECT 2"}},
        {"GO ends a batch whatever is still open",
         "CREATE PROCEDURE p AS\nBEGIN\n  SELECT 1;\nGO\nSELECT 2;", {"CREATE PROCEDURE p AS\nBEGIN\n  SELECT 1;",
                                                                  "SELECT 2"}},
        {"comments holding ';'",
         "-- a; b\nSELECT 1 /* x; y */ FROM t; /* ; */ SELECT 2; /* one /* nested; */ still; */ SELECT 3",
         {"SELECT 1 /* x; y */ FROM t", "SELECT 2", "SELECT 3"}},
        {"strings and names holding -- and ';'",
         "SELECT '--;' AS a, 'it''s; -- fine' FROM t; SELECT \"we;ird\"\"--\", `b;q`, [x;]]y] FROM u;",
         {"SELECT '--;' AS a, 'it''s; -- fine' FROM t", "SELECT \"we;ird\"\"--\", `b;q`, [x;]]y] FROM u"}},
        {"backslashes escape only in E'…' strings", "SELECT E'it\\'s;', 'C:\\'; SELECT 2",
         {"SELECT E'it\\'s;', 'C:\\'", "SELECT 2"}},
        {"an unterminated string runs to the end", "SELECT 1; SELECT 'abc; SELECT 2",
         {"SELECT 1", "SELECT 'abc; SELECT 2"}},
        {"an unterminated comment runs to the end", "SELECT 1; /* SELECT 2;", {"SELECT 1"}},
        {"empty statements and blanks", " ;;\n ; \t\n", {}},
        {"no terminator at the end", "\n  SELECT 1  \n\n", {"SELECT 1"}},
    };
    for (const Case& c : corpus)
        EXPECT_EQ(statements(QString::fromUtf8(c.script)), c.expected) << c.name;
}

TEST(StatementSplitter, TheMySqlDialectReadsBackslashesAndHashComments) {
    const QString script = QStringLiteral("SELECT 'it\\'s; ok', \"a\\\";b\"; # note; here\nSELECT 1--2;\nSELECT 3");
    EXPECT_EQ(statements(script, Dialect::MySql),
              (QStringList{"SELECT 'it\\'s; ok', \"a\\\";b\"", "SELECT 1--2", "SELECT 3"}));
    EXPECT_EQ(statements(QStringLiteral("SELECT `odd\\`; SELECT 2"), Dialect::MySql), // names have no escapes
              (QStringList{"SELECT `odd\\`", "SELECT 2"}));
    // elsewhere a backslash is an ordinary character and "--" always a comment
    EXPECT_EQ(statements(QStringLiteral("SELECT 'C:\\'; SELECT 1--2;\nSELECT 3")),
              (QStringList{"SELECT 'C:\\'", "SELECT 1--2;\nSELECT 3"}));
}

TEST(StatementSplitter, BoundsCountLinesAndColumnsLikeTheEditor) {
    // CR LF, a lone CR and a lone LF each end a line; a surrogate pair is one column
    const QString script = QStringLiteral("SELECT '\U0001F600x';\r\n  SELECT 2;\rSELECT\n3; -- c\r\n\r\nSELECT 4");
    const auto r = splitStatements(script);
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0].from, (TextPoint{0, 0}));
    EXPECT_EQ(r[0].to, (TextPoint{0, 11}));
    EXPECT_EQ(r[1].from, (TextPoint{1, 2}));
    EXPECT_EQ(r[1].to, (TextPoint{1, 10}));
    EXPECT_EQ(r[2].from, (TextPoint{2, 0}));
    EXPECT_EQ(r[2].to, (TextPoint{3, 1}));
    EXPECT_EQ(r[3].from, (TextPoint{5, 0}));
    EXPECT_EQ(r[3].to, (TextPoint{5, 8}));
    EXPECT_TRUE(r[2].terminated);
    EXPECT_FALSE(r[3].terminated);
    EXPECT_EQ(r[2].textIn(script), QStringLiteral("SELECT\n3"));
    EXPECT_EQ(script.mid(r[0].start, r[0].end - r[0].start), QStringLiteral("SELECT '\U0001F600x'"));
}

TEST(StatementSplitter, TheCaretPicksTheStatementUsersMean) {
    const QString script = QStringLiteral("SELECT 1;  -- first\n"   // 0
                                          "\n"                      // 1
                                          "SELECT 2,\n"             // 2
                                          "       3;  SELECT 4;\n"  // 3
                                          "\n"                      // 4
                                          "\n"                      // 5
                                          "-- the next one\n"       // 6
                                          "SELECT 5");              // 7
    const auto r = splitStatements(script);
    ASSERT_EQ(r.size(), 4u);
    auto at = [&](int line, int column) { return statementAt(r, {line, column}); };
    EXPECT_EQ(at(0, 0), 0u);
    EXPECT_EQ(at(0, 8), 0u);  // just after the last character, before ';'
    EXPECT_EQ(at(0, 9), 0u);  // after ';' on the same line
    EXPECT_EQ(at(0, 15), 0u); // in the comment after it
    EXPECT_EQ(at(1, 0), 0u);  // the line after it
    EXPECT_EQ(at(2, 3), 1u);
    EXPECT_EQ(at(3, 4), 1u);  // second line of a statement
    EXPECT_EQ(at(3, 9), 1u);  // between two statements on one line: the one before
    EXPECT_EQ(at(3, 11), 2u);
    EXPECT_EQ(at(3, 30), 2u); // past the end of the line
    EXPECT_EQ(at(4, 0), 2u);
    EXPECT_EQ(at(5, 0), std::nullopt); // two lines from both
    EXPECT_EQ(at(6, 4), 3u);           // a comment heading the next statement
    EXPECT_EQ(at(7, 8), 3u);
    EXPECT_EQ(at(40, 0), std::nullopt);

    const QString late = QStringLiteral("\n\n\nSELECT 1");
    const auto l = splitStatements(late);
    EXPECT_EQ(statementAt(l, {0, 0}), std::nullopt);
    EXPECT_EQ(statementAt(l, {2, 0}), 0u);
    EXPECT_EQ(statementAt({}, {0, 0}), std::nullopt);
}

TEST(StatementSplitter, LargeScriptsSplitInOnePass) {
    // 200,000 statements on one line: bounds are counted incrementally, so
    // this takes milliseconds (a rescan per statement would take minutes).
    QString script;
    for (int i = 0; i < 200000; ++i) script += QStringLiteral("INSERT INTO t VALUES (%1, 'a;b');").arg(i);
    const auto r = splitStatements(script);
    ASSERT_EQ(r.size(), 200000u);
    EXPECT_EQ(r.back().from.line, 0);
    EXPECT_EQ(r.back().to.column, int(script.size()) - 1);
    EXPECT_EQ(statementAt(r, {0, int(script.size())}), 199999u);
}
