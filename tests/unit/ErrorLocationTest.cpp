// Placing a server's error position in the script that was run.
#include "run/ErrorLocation_p.h"

#include <gtest/gtest.h>

using script::Dialect;
using script::TextPoint;

namespace {

std::optional<TextPoint> at(const db::ErrorPosition& p, const QString& text, Dialect d = Dialect::Generic) {
    return run::locateError(p, text, d);
}

db::ErrorPosition offset(qsizetype o) {
    db::ErrorPosition p;
    p.offset = o;
    return p;
}

db::ErrorPosition statement(int index, std::optional<int> line = {}, QString near = {}) {
    db::ErrorPosition p;
    p.statementIndex = index;
    p.lineInStatement = line;
    p.nearText = std::move(near);
    return p;
}

} // namespace

TEST(ErrorLocation, AnOffsetCountsLinesAcrossEveryKindOfLineBreakAndCharactersNotUnits) {
    const QString text = QStringLiteral("a\r\nb\rc\n\U0001F600\u00e9\tx");
    EXPECT_EQ(at(offset(0), text), (TextPoint{0, 0}));
    EXPECT_EQ(at(offset(3), text), (TextPoint{1, 0}));
    EXPECT_EQ(at(offset(5), text), (TextPoint{2, 0}));
    // the emoji is two UTF-16 units but one column, as the editor counts
    EXPECT_EQ(at(offset(text.indexOf(QLatin1Char('x'))), text), (TextPoint{3, 3}));
    // a position past the end is the end, never a crash
    EXPECT_EQ(at(offset(500), text), (TextPoint{3, 4}));
}

TEST(ErrorLocation, AFailingStatementIsFoundByIndexOrByWhereItsTextBegins) {
    const QString text = QStringLiteral("select 1; -- one; two\n\n  select 2;select\n 3;\n");
    EXPECT_EQ(at(statement(0), text), (TextPoint{0, 0}));
    EXPECT_EQ(at(statement(1), text), (TextPoint{2, 2}));
    EXPECT_EQ(at(statement(2), text), (TextPoint{2, 11}));
    EXPECT_EQ(at(statement(3), text), std::nullopt); // not a statement the script has
    EXPECT_EQ(at(statement(-1), text), std::nullopt);
    EXPECT_EQ(at({}, text), std::nullopt);

    db::ErrorPosition begins; // SQLite: the text after the previous ';', comments and blanks included
    begins.statementOffset = text.indexOf(QLatin1Char(';')) + 1;
    EXPECT_EQ(at(begins, text), (TextPoint{2, 2}));
    begins.statementOffset = text.size();
    EXPECT_EQ(at(begins, text), std::nullopt);
}

TEST(ErrorLocation, MariaDbLinesCountFromTheStatementsFirstNonBlankAndTheQuotedTextGivesTheColumn) {
    const QString text = QStringLiteral("select 1;\n\n# note\nselect a,\n  b frm t;\nselect 'x'\n");
    // counted from "# note" (the server skips blanks, not comments)
    EXPECT_EQ(at(statement(1, 3, QStringLiteral("frm t")), text, Dialect::MySql), (TextPoint{4, 4}));
    // the quoted text is not on that line: the line's start
    EXPECT_EQ(at(statement(1, 3, QStringLiteral("zzz")), text, Dialect::MySql), (TextPoint{4, 0}));
    // a line outside the statement: its start
    EXPECT_EQ(at(statement(1, 9, QStringLiteral("frm t")), text, Dialect::MySql), (TextPoint{3, 0}));
    // nothing quoted: the statement ended too early
    EXPECT_EQ(at(statement(2, 1, QString()), text, Dialect::MySql), (TextPoint{5, 10}));
}

TEST(ErrorLocation, APointIsShiftedByWhereTheRunTextBeginsInTheEditor) {
    using run::shiftedPoint;
    EXPECT_EQ(shiftedPoint({0, 3}, {7, 12}), (TextPoint{7, 15}));  // first line: after the selection's start column
    EXPECT_EQ(shiftedPoint({2, 3}, {7, 12}), (TextPoint{9, 3}));   // later lines keep their columns
    EXPECT_EQ(run::errorLineText({9, 3}), QStringLiteral("Line 10"));
}
