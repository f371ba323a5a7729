#pragma once
// Where the statements of a script begin and end, found by its tokens (see
// SqlLexer): a statement ends at a ';' outside quotes, comments and bodies,
// at a T-SQL "GO" alone on its line (any case, with an optional count and
// comment), or at the end of the text.
//
// A ';' inside the BEGIN … END body of a procedure, function, trigger or
// block (and inside CASE … END) does not end the statement. BEGIN opens such
// a body except where it starts a transaction (BEGIN; BEGIN TRANSACTION,
// TRAN, WORK, DEFERRED, IMMEDIATE, ISOLATION LEVEL …) or is a plain name;
// END IF, END LOOP, END WHILE, END REPEAT and END FOR close statements that
// never opened a body, END CASE closes a CASE. A GO line ends the batch
// whatever is still open.
//
// A statement's range runs from its first token to the end of its last one:
// comments and blanks before it, and its ';' or GO line, are outside. Lines
// and columns count from 0 the way the editor counts them: CR LF, a lone CR
// and a lone LF each end a line, and a column counts characters (a
// surrogate pair is one).
//
// One pass over the text, with a look-ahead of at most three tokens at
// BEGIN and END: linear in the script's length.

#include "script/SqlLexer.h"

#include <QString>
#include <compare>
#include <optional>
#include <vector>

namespace script {

struct TextPoint {
    int line = 0;
    int column = 0;
    auto operator<=>(const TextPoint&) const = default;
};

struct StatementRange {
    qsizetype start = 0; // [start, end) in the script
    qsizetype end = 0;
    TextPoint from;          // where start is
    TextPoint to;            // where end is (just after the last character)
    bool terminated = false; // ended by ';' or a GO line, not by the end of the text
    qsizetype stop = 0;      // where its ';' or GO line ends (end when not terminated)

    QStringView textIn(QStringView script) const { return script.mid(start, end - start); }
};

// Follows a split: the significant tokens of each statement in order, then
// the statement's range. Comments, terminators and GO lines are not passed on.
class StatementVisitor {
public:
    virtual ~StatementVisitor() = default;
    virtual void token(const Token& token) = 0;
    virtual void statementEnded(const StatementRange& statement) = 0;
};

std::vector<StatementRange> splitStatements(QStringView script, Dialect dialect = Dialect::Generic,
                                            StatementVisitor* visitor = nullptr);

// Where a split may begin instead of the top: the start of a statement that a
// split of the same text found, as offset and point. The splitter's state
// there is that of the top (nothing open), and it depends only on the text
// before it, so it stays right while that text is unchanged.
struct SplitStart {
    qsizetype offset = 0;
    TextPoint point;
};

// The statements from a known start on, up to the last one that begins at or
// before stopAfter (the split ends where the next one would begin).
std::vector<StatementRange> splitStatementsFrom(QStringView script, SplitStart from, qsizetype stopAfter,
                                                Dialect dialect = Dialect::Generic,
                                                StatementVisitor* visitor = nullptr);

// Where offset is in script, counted as the statement ranges count.
TextPoint pointAt(QStringView script, qsizetype offset);

// The statement the caret at point belongs to: the one it is in (its end
// included, so a caret just after the last character counts); else, in the
// blanks and comments between statements, the nearest statement before it
// that ends on the caret's line or the line before; else the next statement
// when it starts on the caret's line or the line after. Its index, or
// nullopt when no statement is that close.
std::optional<size_t> statementAt(const std::vector<StatementRange>& statements, TextPoint caret);

} // namespace script
