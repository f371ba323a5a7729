#include "script/SqlLexer.h"

#include <array>

namespace script {

namespace {

// Classes of the ASCII characters, looked up instead of compared: the lexer
// looks at every character of scripts of tens of megabytes.
enum : unsigned char { kBlank = 1, kWordStart = 2, kWordPart = 4, kDigit = 8, kTagStart = 16 };

constexpr std::array<unsigned char, 128> makeClasses() {
    std::array<unsigned char, 128> c{};
    for (char ch : {' ', '\t', '\r', '\n', '\f', '\v'})
        c[size_t(ch)] = kBlank;
    for (int ch = 'a'; ch <= 'z'; ++ch)
        c[size_t(ch)] = kWordStart | kWordPart | kTagStart;
    for (int ch = 'A'; ch <= 'Z'; ++ch)
        c[size_t(ch)] = kWordStart | kWordPart | kTagStart;
    for (int ch = '0'; ch <= '9'; ++ch)
        c[size_t(ch)] = kWordPart | kDigit;
    c[size_t('_')] = kWordStart | kWordPart | kTagStart;
    c[size_t('@')] = kWordStart | kWordPart;
    c[size_t('#')] = kWordStart | kWordPart; // not in MySQL, where it starts a comment
    c[size_t('$')] = kWordPart;
    return c;
}
constexpr std::array<unsigned char, 128> kClasses = makeClasses();

// Anything beyond ASCII that is not a blank counts as a letter: names in
// other scripts are words too.
bool has(char16_t u, unsigned char cls) {
    if (u < 128) return (kClasses[u] & cls) != 0;
    const bool space = QChar(u).isSpace();
    return cls == kBlank ? space : cls == kDigit ? false : !space;
}

bool isLineBreak(char16_t u) {
    return u == '\n' || u == '\r';
}

} // namespace

bool SqlLexer::isWord(QStringView text, const Token& t, std::string_view keyword) {
    if (t.kind != TokenKind::Word || size_t(t.end - t.start) != keyword.size()) return false;
    const char16_t* p = text.utf16() + t.start;
    for (size_t i = 0; i < keyword.size(); ++i) {
        const char16_t c = p[i] >= 'a' && p[i] <= 'z' ? char16_t(p[i] - 32) : p[i];
        if (c != char16_t(keyword[i])) return false;
    }
    return true;
}

bool SqlLexer::isAnyWord(QStringView text, const Token& t, std::initializer_list<std::string_view> keywords) {
    if (t.kind != TokenKind::Word) return false;
    for (std::string_view k : keywords)
        if (isWord(text, t, k)) return true;
    return false;
}

qsizetype SqlLexer::lineEnd(qsizetype from) const {
    const char16_t* p = text_.utf16();
    const qsizetype n = text_.size();
    while (from < n && !isLineBreak(p[from]))
        ++from;
    return from;
}

qsizetype SqlLexer::quoted(qsizetype from, QChar close, bool backslashEscapes) const {
    // from is just after the opening character; a doubled closing character
    // stands for itself
    const qsizetype n = text_.size();
    const char16_t* p = text_.utf16();
    const char16_t q = close.unicode();
    qsizetype i = from;
    for (;;) {
        if (backslashEscapes) {
            while (i < n && p[i] != q)
                i += p[i] == '\\' ? 2 : 1;
        } else {
            i = text_.indexOf(close, i); // the fast search: strings can be long
            if (i < 0) return n;
        }
        if (i >= n) return n;
        ++i;
        if (i < n && p[i] == q) {
            ++i;
            continue;
        }
        return i;
    }
}

qsizetype SqlLexer::blockCommentEnd(qsizetype from) const {
    // from is just after the opening "/*"
    const qsizetype n = text_.size();
    const char16_t* p = text_.utf16();
    const bool nests = dialect_ != Dialect::MySql;
    int depth = 1;
    qsizetype i = from;
    while (i + 1 < n) {
        if (p[i] == '*' && p[i + 1] == '/') {
            i += 2;
            if (--depth == 0) return i;
        } else if (nests && p[i] == '/' && p[i + 1] == '*') {
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
    const char16_t* p = text_.utf16();
    qsizetype i = from + 1;
    if (i < n && has(p[i], kTagStart))
        while (++i < n && has(p[i], kWordPart) && p[i] != '$' && p[i] != '@' && p[i] != '#') {
        }
    if (i >= n || p[i] != '$') return -1;
    const QStringView tag = text_.mid(from, i + 1 - from); // "$tag$" or "$$"
    const qsizetype close = text_.indexOf(tag, i + 1);
    return close < 0 ? n : close + tag.size();
}

Token SqlLexer::next() {
    const qsizetype n = text_.size();
    const char16_t* p = text_.utf16();
    while (pos_ < n && has(p[pos_], kBlank))
        ++pos_;
    Token t;
    t.start = pos_;
    if (pos_ >= n) {
        t.end = n;
        return t;
    }
    const char16_t u = p[pos_];
    const char16_t after = pos_ + 1 < n ? p[pos_ + 1] : 0;
    const bool mysql = dialect_ == Dialect::MySql;
    auto wordPart = [&](char16_t c) { return has(c, kWordPart) && !(mysql && c == '#'); };
    qsizetype end = pos_ + 1;
    if (u == '-' && after == '-' && (!mysql || pos_ + 2 >= n || p[pos_ + 2] <= ' ')) {
        t.kind = TokenKind::LineComment; // MySQL wants a blank or control character after "--"
        end = lineEnd(pos_);
    } else if (u == '#' && mysql) {
        t.kind = TokenKind::LineComment;
        end = lineEnd(pos_);
    } else if (u == '/' && after == '*') {
        t.kind = TokenKind::BlockComment;
        end = blockCommentEnd(pos_ + 2);
    } else if (u == '\'') {
        t.kind = TokenKind::String;
        end = quoted(pos_ + 1, QChar(u), mysql);
    } else if (u == '"') {
        t.kind = TokenKind::QuotedName;
        end = quoted(pos_ + 1, QChar(u), mysql);
    } else if (u == '`') {
        t.kind = TokenKind::QuotedName;
        end = quoted(pos_ + 1, QChar(u), false);
    } else if (u == '[') {
        t.kind = TokenKind::QuotedName;
        end = quoted(pos_ + 1, QLatin1Char(']'), false);
    } else if (u == '$' && (end = dollarBodyEnd(pos_)) >= 0) {
        t.kind = TokenKind::DollarBody;
    } else if (u == ';') {
        t.kind = TokenKind::Semicolon;
        end = pos_ + 1;
    } else if (has(u, kDigit) || (u == '.' && has(after, kDigit))) {
        t.kind = TokenKind::Number;
        end = pos_ + 1;
        while (end < n && (wordPart(p[end]) || p[end] == '.'))
            ++end;
    } else if (has(u, kWordStart) && !(mysql && u == '#')) {
        t.kind = TokenKind::Word;
        end = pos_ + 1;
        while (end < n && wordPart(p[end]))
            ++end;
        // E'…': a string whose backslashes escape
        if (end == pos_ + 1 && (u == 'E' || u == 'e') && end < n && p[end] == '\'') {
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

Dialect dialectOf(db::ServerFamily server) {
    return server == db::ServerFamily::MariaDB ? Dialect::MySql : Dialect::Generic;
}

} // namespace script
