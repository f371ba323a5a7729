// The statement around a caret from the nearest known statement start: it
// must be the one a split of the whole script gives, before and after edits
// anywhere in the script (an opened quote or comment, a ';' taken away), and
// lexing from lexStart() must read the tokens a lexing from the top reads.
// Also: where a statement's terminator ends, and splitting from a start.
#include "script/StatementIndex.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace script;

namespace {

// Pieces that make splitting hard: terminators inside strings, names,
// comments and bodies, blocks, batches, and text that opens or closes those.
const char* const kPieces[] = {
    "SELECT 1;\n", "SELECT 'a;b' FROM t;\n", "/* ; */ SELECT 2;\n", "-- x; y\n", "UPDATE t SET a = 1\nGO\n",
    "CREATE FUNCTION f() RETURNS int AS $$ BEGIN RETURN 1; END; $$ LANGUAGE plpgsql;\n",
    "CREATE PROCEDURE p() BEGIN SELECT 1; SELECT 2; END;\n", "SELECT \"x;y\", [a;b] FROM u\n", "'", "\"", "/*",
    "*/", ";", "$$", "\n", " ", "BEGIN ", "END ", "CASE WHEN 1 THEN 2 END ", "x", "GO\n",
};

QString randomScript(QRandomGenerator& r, int pieces) {
    QString s;
    for (int i = 0; i < pieces; ++i)
        s += QLatin1String(kPieces[r.bounded(int(std::size(kPieces)))]);
    return s;
}

// What a split of the whole script says the caret belongs to.
StatementRange expectedAround(QStringView script, qsizetype caret, Dialect dialect) {
    const std::vector<StatementRange> all = splitStatements(script, dialect);
    const StatementRange* last = nullptr;
    for (const StatementRange& r : all)
        if (r.start <= caret) last = &r;
    if (last && !(last->terminated && last->stop <= caret)) return *last;
    StatementRange empty; // after the terminator before the caret, or at the top
    empty.start = empty.end = empty.stop = last ? last->stop : 0;
    return empty;
}

// The token holding offset, lexing from `from`.
Token tokenAt(QStringView script, qsizetype from, qsizetype offset, Dialect dialect) {
    SqlLexer lex(script, dialect, from);
    for (Token t = lex.next(); t.kind != TokenKind::End; t = lex.next())
        if (t.start <= offset && offset < t.end) return t;
    return {};
}

void expectSame(QStringView script, StatementIndex& index, qsizetype caret, Dialect dialect, const char* when) {
    const StatementRange want = expectedAround(script, caret, dialect);
    const StatementRange got = index.statementAround(script, caret);
    ASSERT_EQ(got.start, want.start) << when << " caret " << caret << " in:\n" << script.toString().toStdString();
    ASSERT_EQ(got.end, want.end) << when << " caret " << caret;
    ASSERT_EQ(got.stop, want.stop) << when << " caret " << caret;
    const Token a = tokenAt(script, 0, caret, dialect);
    const Token b = tokenAt(script, index.lexStart(script, caret), caret, dialect);
    ASSERT_EQ(int(a.kind), int(b.kind)) << when << " caret " << caret;
    ASSERT_EQ(a.start, b.start) << when << " caret " << caret;
}

} // namespace

TEST(StatementIndex, AgreesWithAWholeSplitBeforeAndAfterEdits) {
    QRandomGenerator random(20261207);
    for (Dialect dialect : {Dialect::Generic, Dialect::MySql}) {
        for (int round = 0; round < 60; ++round) {
            QString script = randomScript(random, 25);
            StatementIndex index;
            index.setDialect(dialect);
            for (int q = 0; q < 20; ++q)
                expectSame(script, index, random.bounded(int(script.size()) + 1), dialect, "before edits");
            for (int edit = 0; edit < 15; ++edit) {
                const qsizetype at = random.bounded(int(script.size()) + 1);
                if (random.bounded(2) == 0) {
                    script.insert(at, QLatin1String(kPieces[random.bounded(int(std::size(kPieces)))]));
                } else {
                    script.remove(at, random.bounded(8));
                }
                index.textChangedAt(at);
                for (int q = 0; q < 5; ++q)
                    expectSame(script, index, random.bounded(int(script.size()) + 1), dialect, "after an edit");
            }
        }
    }
}

TEST(StatementIndex, RemembersStartsAndForgetsThoseAfterAnEdit) {
    QString script;
    for (int i = 0; i < 100; ++i)
        script += QStringLiteral("SELECT %1 FROM t;\n").arg(i);
    StatementIndex index;
    const qsizetype caret = script.indexOf(QStringLiteral("SELECT 90"));
    EXPECT_EQ(index.statementAround(script, caret + 3).start, caret);
    EXPECT_EQ(index.knownStarts(), 91u);
    const qsizetype fifty = script.indexOf(QStringLiteral("SELECT 50"));
    index.textChangedAt(fifty + 2);
    EXPECT_EQ(index.knownStarts(), 51u);
    // a comment opened in statement 50 now swallows the rest of the script
    script.insert(fifty + 2, QStringLiteral("/*"));
    const StatementRange around = index.statementAround(script, script.indexOf(QStringLiteral("SELECT 90")));
    EXPECT_EQ(around.start, fifty);
    EXPECT_FALSE(around.terminated);
    // another dialect reads '#' and backslashes differently: nothing is kept
    index.setDialect(Dialect::MySql);
    EXPECT_EQ(index.knownStarts(), 0u);
}

TEST(StatementSplitter, StatementsKnowWhereTheirTerminatorEnds) {
    const QString script = QStringLiteral("SELECT 1 ;  SELECT 2\nGO 3 -- x\nSELECT 3");
    const auto all = splitStatements(script);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].stop, script.indexOf(QLatin1Char(';')) + 1);
    EXPECT_EQ(all[1].stop, script.indexOf(QStringLiteral("\nSELECT 3"))); // the GO line's end
    EXPECT_EQ(all[2].stop, all[2].end);
    // a split from a known start gives the same statements, up to a limit
    const auto tail = splitStatementsFrom(script, {all[1].start, all[1].from}, all[1].start);
    ASSERT_EQ(tail.size(), 1u);
    EXPECT_EQ(tail[0].start, all[1].start);
    EXPECT_EQ(tail[0].to, all[1].to);
    const auto rest = splitStatementsFrom(script, {all[1].start, all[1].from}, script.size());
    ASSERT_EQ(rest.size(), 2u);
    EXPECT_EQ(rest[1].from, all[2].from);
}
