#include "script/StatementSplitter.h"

#include <algorithm>

namespace script {

namespace {

bool isLineBreak(QChar c) {
    return c == QLatin1Char('\n') || c == QLatin1Char('\r');
}
bool isLineBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\f') ||
           c == QLatin1Char('\v');
}

// Turns offsets into lines and columns. Offsets are asked for in increasing
// order, so each character is looked at once however many statements there
// are; a column is the characters since the line's start, less the second
// halves of surrogate pairs.
class PointCounter {
public:
    explicit PointCounter(QStringView text, SplitStart from = {})
        : text_(text.utf16()), offset_(from.offset), line_(from.point.line),
          lineStart_(from.offset - from.point.column) {}

    TextPoint at(qsizetype offset) {
        for (; offset_ < offset; ++offset_) {
            const char16_t u = text_[offset_];
            if (u > '\r' && (u < 0xDC00 || u > 0xDFFF)) continue; // the usual character: nothing to note
            if (u == '\r' || (u == '\n' && (offset_ == 0 || text_[offset_ - 1] != '\r'))) {
                ++line_; // CR LF is one line break: its LF only moves the line's start
                pairs_ = 0;
                lineStart_ = offset_ + 1;
            } else if (u == '\n') {
                lineStart_ = offset_ + 1;
            } else if (u >= 0xDC00 && u <= 0xDFFF && offset_ > lineStart_ && text_[offset_ - 1] >= 0xD800 &&
                       text_[offset_ - 1] <= 0xDBFF) {
                ++pairs_;
            }
        }
        return {line_, int(offset - lineStart_ - pairs_)};
    }

private:
    const char16_t* text_;
    qsizetype offset_ = 0;
    int line_ = 0;
    qsizetype lineStart_ = 0;
    qsizetype pairs_ = 0; // surrogate pairs since lineStart_
};

class Splitter {
public:
    Splitter(QStringView text, Dialect dialect, StatementVisitor* visitor, SplitStart from = {},
             qsizetype stopAfter = -1)
        : text_(text), lex_(text, dialect, from.offset), points_(text, from), visitor_(visitor),
          stopAfter_(stopAfter < 0 ? text.size() : stopAfter) {}

    std::vector<StatementRange> run() {
        for (;;) {
            const Token t = lex_.next();
            if (t.kind == TokenKind::End) break;
            if (t.isComment()) continue;
            if (stmtStart_ < 0 && t.start > stopAfter_) break; // the next statement begins past the limit
            if (t.kind == TokenKind::Word) {
                if (const qsizetype lineEnd = goLineEnd(t); lineEnd >= 0) {
                    close(true, lineEnd);
                    lex_.setPosition(lineEnd);
                    continue;
                }
            }
            if (t.kind == TokenKind::Semicolon && depth_ == 0) {
                close(true, t.end);
                continue;
            }
            if (stmtStart_ < 0) stmtStart_ = t.start;
            lastEnd_ = t.end;
            if (visitor_) visitor_->token(t);
            if (t.kind == TokenKind::Word) onWord(t);
            prev_ = t;
        }
        close(false);
        return std::move(out_);
    }

private:
    bool afterDot() const { return prev_.isPunct(text_, '.'); }

    void onWord(const Token& t) {
        if (SqlLexer::isWord(text_, t, "BEGIN")) {
            if (!afterDot() && beginOpensBody()) ++depth_;
        } else if (SqlLexer::isWord(text_, t, "CASE")) {
            if (!afterDot()) ++depth_;
        } else if (SqlLexer::isWord(text_, t, "END")) {
            if (!afterDot()) onEnd();
        }
    }

    // BEGIN starts a transaction, not a body, when a transaction word, the
    // statement's end or something that cannot start a statement follows it.
    bool beginOpensBody() const {
        SqlLexer peek = lex_;
        const Token a = peek.nextSignificant();
        if (a.kind == TokenKind::End || a.kind == TokenKind::Semicolon) return false;
        if (a.kind == TokenKind::Punct) return !QStringLiteral(",)=.<>+-*/|%").contains(text_[a.start]);
        if (a.kind != TokenKind::Word) return true;
        if (goLineEnd(a) >= 0) return false;
        if (SqlLexer::isAnyWord(text_, a,
                                {"TRAN", "TRANSACTION", "WORK", "DISTRIBUTED", "DEFERRED", "IMMEDIATE",
                                 "EXCLUSIVE", "ISOLATION", "READ", "DEFERRABLE", "DIALOG", "CONVERSATION",
                                 "FROM", "AS"}))
            return false;
        if (SqlLexer::isWord(text_, a, "NOT"))
            return SqlLexer::isWord(text_, peek.nextSignificant(), "ATOMIC");
        return true;
    }

    void onEnd() {
        SqlLexer peek = lex_;
        const Token a = peek.nextSignificant();
        if (SqlLexer::isAnyWord(text_, a, {"IF", "LOOP", "WHILE", "REPEAT", "FOR"})) {
            // END IF; END LOOP label; … close a statement that opened no body.
            // Anything else after them is a new statement (T-SQL's END, then IF …).
            auto ends = [](const Token& t) {
                return t.kind == TokenKind::End || t.kind == TokenKind::Semicolon;
            };
            const Token b = peek.nextSignificant();
            if (ends(b)) return;
            if (b.kind == TokenKind::Word && goLineEnd(b) < 0 && ends(peek.nextSignificant())) return;
        }
        depth_ = std::max(0, depth_ - 1);
        if (SqlLexer::isWord(text_, a, "CASE")) { // END CASE: the CASE opens nothing
            lex_.setPosition(a.end);
            lastEnd_ = a.end;
            if (visitor_) visitor_->token(a);
        }
    }

    // The end of the line when the word is a GO alone on its line (an
    // optional repeat count and line comment may follow); else -1.
    qsizetype goLineEnd(const Token& t) const {
        if (!SqlLexer::isWord(text_, t, "GO")) return -1;
        qsizetype i = t.start;
        while (i > 0 && isLineBlank(text_[i - 1]))
            --i;
        if (i > 0 && !isLineBreak(text_[i - 1])) return -1;
        const qsizetype n = text_.size();
        qsizetype j = t.end;
        while (j < n && isLineBlank(text_[j]))
            ++j;
        while (j < n && text_[j].isDigit())
            ++j;
        while (j < n && isLineBlank(text_[j]))
            ++j;
        if (j + 1 < n && text_[j] == QLatin1Char('-') && text_[j + 1] == QLatin1Char('-'))
            while (j < n && !isLineBreak(text_[j]))
                ++j;
        return j >= n || isLineBreak(text_[j]) ? j : -1;
    }

    void close(bool terminated, qsizetype stop = -1) {
        prev_ = Token();
        depth_ = 0;
        if (stmtStart_ < 0) return;
        StatementRange r;
        r.start = stmtStart_;
        r.end = lastEnd_;
        r.from = points_.at(r.start);
        r.to = points_.at(r.end);
        r.terminated = terminated;
        r.stop = terminated ? stop : r.end;
        out_.push_back(r);
        if (visitor_) visitor_->statementEnded(r);
        stmtStart_ = -1;
    }

    QStringView text_;
    SqlLexer lex_;
    PointCounter points_;
    StatementVisitor* visitor_;
    qsizetype stopAfter_;
    std::vector<StatementRange> out_;
    qsizetype stmtStart_ = -1;
    qsizetype lastEnd_ = 0;
    int depth_ = 0; // open BEGIN and CASE bodies of the current statement
    Token prev_;    // the statement's previous significant token
};

} // namespace

std::vector<StatementRange> splitStatements(QStringView script, Dialect dialect, StatementVisitor* visitor) {
    return Splitter(script, dialect, visitor).run();
}

std::vector<StatementRange> splitStatementsFrom(QStringView script, SplitStart from, qsizetype stopAfter,
                                                Dialect dialect, StatementVisitor* visitor) {
    from.offset = std::clamp<qsizetype>(from.offset, 0, script.size());
    return Splitter(script, dialect, visitor, from, std::max<qsizetype>(stopAfter, 0)).run();
}

TextPoint pointAt(QStringView script, qsizetype offset) {
    return PointCounter(script).at(std::clamp<qsizetype>(offset, 0, script.size()));
}

std::optional<size_t> statementAt(const std::vector<StatementRange>& statements, TextPoint caret) {
    // the last statement starting at or before the caret
    const auto after =
        std::upper_bound(statements.begin(), statements.end(), caret,
                         [](const TextPoint& p, const StatementRange& r) { return p < r.from; });
    if (after != statements.begin()) {
        const StatementRange& before = *(after - 1);
        if (caret <= before.to || before.to.line + 1 >= caret.line)
            return size_t(after - 1 - statements.begin());
    }
    if (after != statements.end() && after->from.line <= caret.line + 1)
        return size_t(after - statements.begin());
    return std::nullopt;
}

} // namespace script
