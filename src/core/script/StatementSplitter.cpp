#include "script/StatementSplitter.h"

#include <algorithm>
#include <initializer_list>

namespace sqlscript {

namespace {

bool isLineBreak(QChar c) {
    return c == QLatin1Char('\n') || c == QLatin1Char('\r');
}
bool isLineBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\f') ||
           c == QLatin1Char('\v');
}

// Turns offsets into lines and columns. Offsets are asked for in increasing
// order, so each character is counted once however many statements there are.
class PointCounter {
public:
    explicit PointCounter(QStringView text) : text_(text) {}

    TextPoint at(qsizetype offset) {
        while (offset_ < offset) {
            const QChar c = text_[offset_];
            const QChar before = offset_ > 0 ? text_[offset_ - 1] : QChar();
            if (c == QLatin1Char('\r') || (c == QLatin1Char('\n') && before != QLatin1Char('\r'))) {
                ++point_.line; // CR LF is one line break: its LF counts nothing
                point_.column = 0;
            } else if (c != QLatin1Char('\n') && !(c.isLowSurrogate() && before.isHighSurrogate())) {
                ++point_.column;
            }
            ++offset_;
        }
        return point_;
    }

private:
    QStringView text_;
    qsizetype offset_ = 0;
    TextPoint point_;
};

bool isAnyWord(QStringView text, const Token& t, std::initializer_list<const char*> words) {
    if (t.kind != TokenKind::Word) return false;
    for (const char* w : words)
        if (SqlLexer::isWord(text, t, QLatin1String(w))) return true;
    return false;
}

class Splitter {
public:
    Splitter(QStringView text, Dialect dialect) : text_(text), lex_(text, dialect), points_(text) {}

    std::vector<StatementRange> run() {
        for (;;) {
            const Token t = lex_.next();
            if (t.kind == TokenKind::End) break;
            if (t.isComment()) continue;
            if (t.kind == TokenKind::Word) {
                if (const qsizetype lineEnd = goLineEnd(t); lineEnd >= 0) {
                    close(true);
                    lex_.setPosition(lineEnd);
                    continue;
                }
            }
            if (t.kind == TokenKind::Semicolon && depth_ == 0) {
                close(true);
                continue;
            }
            if (stmtStart_ < 0) stmtStart_ = t.start;
            lastEnd_ = t.end;
            if (t.kind == TokenKind::Word) onWord(t);
            prev_ = t;
        }
        close(false);
        return std::move(out_);
    }

private:
    bool afterDot() const { return prev_.isPunct(text_, '.'); }

    void onWord(const Token& t) {
        if (SqlLexer::isWord(text_, t, QLatin1String("BEGIN"))) {
            if (!afterDot() && beginOpensBody()) ++depth_;
        } else if (SqlLexer::isWord(text_, t, QLatin1String("CASE"))) {
            if (!afterDot()) ++depth_;
        } else if (SqlLexer::isWord(text_, t, QLatin1String("END"))) {
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
        if (isAnyWord(text_, a,
                      {"TRAN", "TRANSACTION", "WORK", "DISTRIBUTED", "DEFERRED", "IMMEDIATE", "EXCLUSIVE",
                       "ISOLATION", "READ", "DEFERRABLE", "DIALOG", "CONVERSATION", "FROM", "AS"}))
            return false;
        if (SqlLexer::isWord(text_, a, QLatin1String("NOT")))
            return SqlLexer::isWord(text_, peek.nextSignificant(), QLatin1String("ATOMIC"));
        return true;
    }

    void onEnd() {
        SqlLexer peek = lex_;
        const Token a = peek.nextSignificant();
        if (isAnyWord(text_, a, {"IF", "LOOP", "WHILE", "REPEAT", "FOR"})) {
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
        if (SqlLexer::isWord(text_, a, QLatin1String("CASE"))) { // END CASE: the CASE opens nothing
            lex_.setPosition(a.end);
            lastEnd_ = a.end;
        }
    }

    // The end of the line when the word is a GO alone on its line (an
    // optional repeat count and line comment may follow); else -1.
    qsizetype goLineEnd(const Token& t) const {
        if (!SqlLexer::isWord(text_, t, QLatin1String("GO"))) return -1;
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

    void close(bool terminated) {
        prev_ = Token();
        depth_ = 0;
        if (stmtStart_ < 0) return;
        StatementRange r;
        r.start = stmtStart_;
        r.end = lastEnd_;
        r.from = points_.at(r.start);
        r.to = points_.at(r.end);
        r.terminated = terminated;
        out_.push_back(r);
        stmtStart_ = -1;
    }

    QStringView text_;
    SqlLexer lex_;
    PointCounter points_;
    std::vector<StatementRange> out_;
    qsizetype stmtStart_ = -1;
    qsizetype lastEnd_ = 0;
    int depth_ = 0; // open BEGIN and CASE bodies of the current statement
    Token prev_;    // the statement's previous significant token
};

} // namespace

std::vector<StatementRange> splitStatements(QStringView script, Dialect dialect) {
    return Splitter(script, dialect).run();
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

} // namespace sqlscript
