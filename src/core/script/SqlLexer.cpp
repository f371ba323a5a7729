#include "script/SqlLexer.h"

namespace sqlscript {

namespace {

bool isBlank(QChar c) {
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\r' || u == '\n' || u == '\f' || u == '\v' ||
           (u >= 0x80 && c.isSpace());
}

bool isLineBreak(QChar c) {
    return c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

bool isAsciiLetter(char16_t u) {
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}
bool isDigit(char16_t u) {
    return u >= '0' && u <= '9';
}

// A character that can start a word. Anything beyond ASCII that is not a
// blank counts as a letter: names in other scripts are words too.
bool startsWord(QChar c, Dialect dialect) {
    const char16_t u = c.unicode();
    return isAsciiLetter(u) || u == '_' || u == '@' || (u == '#' && dialect != Dialect::MySql) ||
           (u >= 0x80 && !c.isSpace());
}

bool continuesWord(QChar c, Dialect dialect) {
    return startsWord(c, dialect) || isDigit(c.unicode()) || c == QLatin1Char('$');
}

// A dollar-quote tag character (PostgreSQL: a name without '$').
bool isTagChar(QChar c, bool first) {
    const char16_t u = c.unicode();
    return isAsciiLetter(u) || u == '_' || (u >= 0x80 && !c.isSpace()) || (!first && isDigit(u));
}

} // namespace

bool SqlLexer::isWord(QStringView text, const Token& t, QLatin1String keyword) {
    return t.kind == TokenKind::Word && t.end - t.start == keyword.size() &&
           text.mid(t.start, t.end - t.start).compare(keyword, Qt::CaseInsensitive) == 0;
}

qsizetype SqlLexer::lineEnd(qsizetype from) const {
    while (from < text_.size() && !isLineBreak(text_[from]))
        ++from;
    return from;
}

qsizetype SqlLexer::quoted(qsizetype from, QChar close, bool backslashEscapes) const {
    // from is just after the opening character
    const qsizetype n = text_.size();
    qsizetype i = from;
    while (i < n) {
        const QChar c = text_[i];
        if (backslashEscapes && c == QLatin1Char('\\')) {
            i += 2;
            continue;
        }
        ++i;
        if (c == close) {
            if (i < n && text_[i] == close) { // doubled: the character itself
                ++i;
                continue;
            }
            return i;
        }
    }
    return n;
}

qsizetype SqlLexer::blockCommentEnd(qsizetype from) const {
    // from is just after the opening "/*"
    const qsizetype n = text_.size();
    int depth = 1;
    qsizetype i = from;
    while (i < n) {
        const QChar c = text_[i];
        if (c == QLatin1Char('*') && i + 1 < n && text_[i + 1] == QLatin1Char('/')) {
            i += 2;
            if (--depth == 0) return i;
        } else if (c == QLatin1Char('/') && i + 1 < n && text_[i + 1] == QLatin1Char('*') &&
                   dialect_ != Dialect::MySql) {
            i += 2;
            ++depth;
        } else {
            ++i;
        }
    }
    return n;
}

qsizetype SqlLexer::dollarBodyEnd(qsizetype from) const {
    const qsizetype n = text_.size();
    qsizetype i = from + 1;
    while (i < n && isTagChar(text_[i], i == from + 1))
        ++i;
    if (i >= n || text_[i] != QLatin1Char('$')) return -1;
    const QStringView tag = text_.mid(from, i + 1 - from); // "$tag$"
    const qsizetype close = text_.indexOf(tag, i + 1);
    return close < 0 ? n : close + tag.size();
}

Token SqlLexer::next() {
    const qsizetype n = text_.size();
    while (pos_ < n && isBlank(text_[pos_]))
        ++pos_;
    Token t;
    t.start = pos_;
    if (pos_ >= n) {
        t.end = n;
        return t;
    }
    const QChar c = text_[pos_];
    const char16_t u = c.unicode();
    const QChar after = pos_ + 1 < n ? text_[pos_ + 1] : QChar();
    const bool mysql = dialect_ == Dialect::MySql;
    qsizetype end = pos_ + 1;
    if (u == '-' && after == QLatin1Char('-') &&
        (!mysql || pos_ + 2 >= n || isBlank(text_[pos_ + 2]) || text_[pos_ + 2].unicode() < 32)) {
        t.kind = TokenKind::LineComment;
        end = lineEnd(pos_);
    } else if (u == '#' && mysql) {
        t.kind = TokenKind::LineComment;
        end = lineEnd(pos_);
    } else if (u == '/' && after == QLatin1Char('*')) {
        t.kind = TokenKind::BlockComment;
        end = blockCommentEnd(pos_ + 2);
    } else if (u == '\'') {
        t.kind = TokenKind::String;
        end = quoted(pos_ + 1, c, mysql);
    } else if (u == '"') {
        t.kind = TokenKind::QuotedName;
        end = quoted(pos_ + 1, c, mysql);
    } else if (u == '`') {
        t.kind = TokenKind::QuotedName;
        end = quoted(pos_ + 1, c, mysql);
    } else if (u == '[') {
        t.kind = TokenKind::QuotedName;
        end = quoted(pos_ + 1, QLatin1Char(']'), false);
    } else if (u == '$' && (end = dollarBodyEnd(pos_)) >= 0) {
        t.kind = TokenKind::DollarBody;
    } else if (u == ';') {
        t.kind = TokenKind::Semicolon;
        end = pos_ + 1;
    } else if (isDigit(u) || (u == '.' && isDigit(after.unicode()))) {
        t.kind = TokenKind::Number;
        end = pos_ + 1;
        while (end < n && (continuesWord(text_[end], dialect_) || text_[end] == QLatin1Char('.')))
            ++end;
    } else if (startsWord(c, dialect_)) {
        t.kind = TokenKind::Word;
        end = pos_ + 1;
        while (end < n && continuesWord(text_[end], dialect_))
            ++end;
        // E'…': a string whose backslashes escape
        if (end == pos_ + 1 && (u == 'E' || u == 'e') && end < n && text_[end] == QLatin1Char('\'')) {
            t.kind = TokenKind::String;
            end = quoted(end + 1, QLatin1Char('\''), true);
        }
    } else {
        t.kind = TokenKind::Punct;
        end = pos_ + 1;
    }
    t.end = end;
    pos_ = end;
    return t;
}

Token SqlLexer::nextSignificant() {
    Token t;
    do {
        t = next();
    } while (t.isComment());
    return t;
}

} // namespace sqlscript
