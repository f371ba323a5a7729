#include "run/ErrorLocation_p.h"

namespace run {
namespace {

using script::StatementRange;
using script::TextPoint;

// The offset where line (from 0) begins in text; text's size past its end.
qsizetype lineStart(QStringView text, int line) {
    qsizetype i = 0;
    for (int l = 0; l < line && i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\r')) {
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) ++i;
            ++l;
        } else if (text[i] == QLatin1Char('\n')) {
            ++l;
        }
    }
    return i;
}

// Where the server starts counting a statement's lines: MariaDB reads each
// further statement of a batch from just after the previous ';', skipping
// blanks and line breaks (not comments).
qsizetype serverStatementStart(QStringView text, const std::vector<StatementRange>& statements, size_t index,
                               script::Dialect dialect) {
    qsizetype from = 0;
    if (index > 0) {
        script::SqlLexer lex(text, dialect, statements[index - 1].end);
        const script::Token t = lex.nextSignificant();
        from = t.kind == script::TokenKind::Semicolon ? t.end : statements[index].start;
    }
    while (from < text.size() && text[from].isSpace()) ++from;
    return from;
}

// The statement's own line that the server counted from its start, with
// the column of the quoted text when it is found on that line.
TextPoint withinStatement(const db::ErrorPosition& position, QStringView text,
                          const std::vector<StatementRange>& statements, size_t index, script::Dialect dialect) {
    const StatementRange& statement = statements[index];
    if (position.nearText.isEmpty()) return statement.to; // the statement ended too early
    const qsizetype base = serverStatementStart(text, statements, index, dialect);
    const int line = script::pointAt(text, base).line + *position.lineInStatement - 1;
    if (line < statement.from.line || line > statement.to.line) return statement.from;
    const qsizetype start = std::max(lineStart(text, line), statement.start);
    const qsizetype found = text.indexOf(position.nearText, start);
    if (found >= 0 && found < statement.end) {
        const TextPoint at = script::pointAt(text, found);
        if (at.line == line) return at;
    }
    return line == statement.from.line ? statement.from : TextPoint{line, 0};
}

} // namespace

std::optional<TextPoint> locateError(const db::ErrorPosition& position, QStringView text, script::Dialect dialect) {
    if (position.offset) return script::pointAt(text, *position.offset);
    if (position.isEmpty()) return std::nullopt;
    const std::vector<StatementRange> statements = script::splitStatements(text, dialect);
    if (position.statementOffset) {
        for (const StatementRange& s : statements)
            if (s.end > *position.statementOffset) return s.from;
        return std::nullopt;
    }
    const int index = *position.statementIndex;
    if (index < 0 || size_t(index) >= statements.size()) return std::nullopt;
    if (position.lineInStatement && *position.lineInStatement > 0)
        return withinStatement(position, text, statements, size_t(index), dialect);
    return statements[size_t(index)].from;
}

TextPoint shiftedPoint(TextPoint point, TextPoint origin) {
    if (point.line == 0) point.column += origin.column;
    point.line += origin.line;
    return point;
}

QString errorLineText(TextPoint point) { return QStringLiteral("Line %1").arg(point.line + 1); }

} // namespace run
