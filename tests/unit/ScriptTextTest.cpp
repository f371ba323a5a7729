// Script text operations: exact results, quirks included, and agreement of
// the linear comment stripper with a literal pass-by-pass reference.
#include "script/ScriptText.h"

#include <QRandomGenerator>
#include <QStringList>

#include <gtest/gtest.h>

using namespace script;

namespace {

const QString CRLF = QStringLiteral("\r\n");

// The pass-by-pass method, written literally (quadratic, for comparison only).
QString referenceReplaceAll(QString text, const QString& find, const QString& replacement) {
    if (find.isEmpty()) return text;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype p = text.indexOf(find, pos);
        if (p < 0) return text;
        text = text.left(p) + replacement + text.mid(p + find.size());
        pos = p + replacement.size();
    }
}

QString referenceStripComments(QString t) {
    for (;;) {
        const qsizetype a = t.indexOf(QLatin1String("/*"));
        if (a >= 0) {
            const qsizetype b = t.indexOf(QLatin1String("*/"), a + 1);
            if (b >= 0) {
                t = referenceReplaceAll(t, t.mid(a, b - a + 2), QString());
                continue;
            }
        }
        const qsizetype d = t.indexOf(QLatin1String("--"));
        if (d < 0) return t;
        const qsizetype e = t.indexOf(CRLF, d);
        t = referenceReplaceAll(t, e >= 0 ? t.mid(d, e - d) : t.mid(d), QString());
    }
}

QString randomScript(QRandomGenerator& rng, const QStringList& pieces, int count) {
    QString s;
    for (int i = 0; i < count; ++i) s += pieces[int(rng.bounded(pieces.size()))];
    return s;
}

} // namespace

TEST(StripComments, LineCommentsKeepTheirLineBreak) {
    EXPECT_EQ(stripComments(QStringLiteral("select 1 -- one") + CRLF + QStringLiteral("select 2")),
              QStringLiteral("select 1 ") + CRLF + QStringLiteral("select 2"));
    EXPECT_EQ(stripComments(QStringLiteral("select 1 -- to the end")), QStringLiteral("select 1 "));
    // quotes are not recognised: the literal is cut at the "--"
    EXPECT_EQ(stripComments(QStringLiteral("select '--x' as a")), QStringLiteral("select '"));
    // a lone LF is an ordinary character
    EXPECT_EQ(stripComments(QStringLiteral("a --b\nc\r\nd")), QStringLiteral("a \r\nd"));
}

TEST(StripComments, BlockCommentsComeFirstDoNotNestAndGoEverywhere) {
    EXPECT_EQ(stripComments(QStringLiteral("a /* x /* y */ z */ b")), QStringLiteral("a  z */ b"));
    EXPECT_EQ(stripComments(QStringLiteral("/*c*/ a /*c*/ b /*c*/")), QStringLiteral(" a  b "));
    EXPECT_EQ(stripComments(QStringLiteral("a /* open only")), QStringLiteral("a /* open only"));
    EXPECT_EQ(stripComments(QStringLiteral("x/*/y")), QStringLiteral("xy")); // "*/" may start at the "*"
    // a block comment inside a line comment goes first, the rest of the line after
    EXPECT_EQ(stripComments(QStringLiteral("a -- b /* c */ d") + CRLF + QStringLiteral("e")),
              QStringLiteral("a ") + CRLF + QStringLiteral("e"));
    // every occurrence of a found line comment, even inside other lines
    EXPECT_EQ(stripComments(QStringLiteral("x --") + CRLF + QStringLiteral("y --z")), QStringLiteral("x ") + CRLF +
                                                                                          QStringLiteral("y z"));
}

TEST(CollapseBlanksJoinLinesTrim, BehaveAsDescribed) {
    EXPECT_EQ(collapseBlanks(QStringLiteral("a    b \t  c")), QStringLiteral("a b \t c"));
    EXPECT_EQ(collapseBlanks(QStringLiteral("no doubles")), QStringLiteral("no doubles"));
    EXPECT_EQ(joinLines(QStringLiteral("a") + CRLF + CRLF + QStringLiteral("b")), QStringLiteral(" a b"));
    EXPECT_EQ(joinLines(QStringLiteral("one line")), QStringLiteral(" one line"));
    EXPECT_EQ(joinLines(QString()), QString());
    EXPECT_EQ(joinLines(QStringLiteral("  ") + CRLF + QStringLiteral("x")), QStringLiteral("    x"));
    EXPECT_EQ(trimLeadingBlanks(QStringLiteral("   \tx ")), QStringLiteral("\tx "));
    EXPECT_EQ(replaceAll(QStringLiteral("aaaa"), QStringLiteral("aa"), QStringLiteral("a")), QStringLiteral("aa"));
    EXPECT_EQ(replaceAll(QStringLiteral("abc"), QString(), QStringLiteral("x")), QStringLiteral("abc"));
    EXPECT_EQ(replaceAll(QStringLiteral("a.b"), QStringLiteral("."), QStringLiteral("..")), QStringLiteral("a..b"));
}

TEST(PrepareScriptText, FlattensIntoOneLine) {
    EXPECT_EQ(prepareScriptText(QStringLiteral("  select a,") + CRLF + CRLF + QStringLiteral("b from t")),
              QStringLiteral("select a, b from t"));
    // a line ending in a blank joins its next line without any blank
    EXPECT_EQ(prepareScriptText(QStringLiteral("select ") + CRLF + QStringLiteral("x")), QStringLiteral("selectx"));
    EXPECT_EQ(prepareScriptText(QStringLiteral("-- only a comment")), QString());
    EXPECT_EQ(prepareScriptText(QStringLiteral("/* head */") + CRLF + QStringLiteral("update t set a = 1 -- why")),
              QStringLiteral("update t set a = 1 ")); // the blank before "--" stays
}

TEST(PadText, PadsTrimsAndElides) {
    EXPECT_EQ(padText(QStringLiteral(" 42 "), QStringLiteral("R"), 5, QStringLiteral("0")), QStringLiteral("00042"));
    EXPECT_EQ(padText(QStringLiteral(" 42 "), QStringLiteral("L"), 5, QStringLiteral("0")), QStringLiteral("42000"));
    EXPECT_EQ(padText(QStringLiteral("123456"), QStringLiteral("L"), 5, QStringLiteral(" ")), QStringLiteral("..."));
    EXPECT_EQ(padText(QStringLiteral("ab"), QStringLiteral("L"), 5, QStringLiteral("xy")), QStringLiteral("abxyxy"));
    EXPECT_EQ(padText(QStringLiteral(" ab "), QStringLiteral("L"), 9, QString()), QStringLiteral("ab"));
    EXPECT_EQ(padText(QString(), QStringLiteral("L"), 3, QStringLiteral("-")), QStringLiteral("---"));
    EXPECT_EQ(padText(QStringLiteral("abc"), QStringLiteral("l"), 4, QStringLiteral(".")), QStringLiteral(".abc"));
}

TEST(ClassifyStatement, ByTheLeadingCharactersOnly) {
    EXPECT_EQ(classifyStatement(QStringLiteral("sElEcT * from t")), StatementKind::Select);
    EXPECT_EQ(classifyStatement(QStringLiteral("SELECTED")), StatementKind::Select);
    for (const char* w : {"insert", "update", "delete", "config"})
        EXPECT_EQ(statementKindText(classifyStatement(QLatin1String(w) + QStringLiteral(" x"))), QString::fromLatin1(w).toUpper());
    EXPECT_EQ(classifyStatement(QStringLiteral("Sp_who")), StatementKind::SystemProcedure);
    EXPECT_EQ(classifyStatement(QStringLiteral("exec sp_who")), StatementKind::Exec);
    EXPECT_EQ(classifyStatement(QStringLiteral("create table t(a int)")), StatementKind::Exec);
    EXPECT_EQ(classifyStatement(QStringLiteral("go")), StatementKind::None);
    EXPECT_EQ(classifyStatement(QString()), StatementKind::None);
    // a change of database is told from the text alone; nothing is opened
    EXPECT_EQ(classifyStatement(QStringLiteral("use shop")), StatementKind::Use);
    EXPECT_EQ(classifyStatement(QStringLiteral("USERS")), StatementKind::Use);
    EXPECT_EQ(statementKindText(StatementKind::Use), QStringLiteral("USE"));
}

// The linear stripper must give exactly the pass-by-pass results, also on
// texts made to provoke its corner cases: repeated, nested and unclosed
// comments, comments glued together by removals, lone CR and LF.
TEST(StripCommentsProperty, AgreesWithThePassByPassMethod) {
    QRandomGenerator rng(20261206);
    const QStringList realistic = {QStringLiteral("select "), QStringLiteral("a, b "), QStringLiteral("from t"),
                                   CRLF, QStringLiteral("-- note"), QStringLiteral("-- note 2"), QStringLiteral("/* c */"),
                                   QStringLiteral("/* multi") + CRLF + QStringLiteral("line */"), QStringLiteral("'--'"),
                                   QStringLiteral("  "), QStringLiteral("where x = 1"), QStringLiteral("*/"),
                                   QStringLiteral("/*"), QStringLiteral("-"), QStringLiteral("\n"), QStringLiteral("\r")};
    const QStringList hostile = {QStringLiteral("/"), QStringLiteral("*"), QStringLiteral("-"), QStringLiteral("\r"),
                                 QStringLiteral("\n"), QStringLiteral("a"), QStringLiteral(" "), QStringLiteral("/*"),
                                 QStringLiteral("*/"), QStringLiteral("--"), CRLF, QStringLiteral("/*a*/")};
    for (int round = 0; round < 4000; ++round) {
        const bool tough = round % 2;
        const QString s = randomScript(rng, tough ? hostile : realistic, 1 + int(rng.bounded(tough ? 40 : 60)));
        const QString expected = referenceStripComments(s);
        const QString actual = stripComments(s);
        ASSERT_EQ(actual, expected) << "input: " << QString(s).replace(QLatin1Char('\r'), QLatin1String("\\r"))
                                                         .replace(QLatin1Char('\n'), QLatin1String("\\n"))
                                                         .toStdString();
        ASSERT_EQ(prepareScriptText(s),
                  trimLeadingBlanks(referenceReplaceAll(joinLines(collapseBlanks(expected)), QStringLiteral("  "), QString())));
    }
}
