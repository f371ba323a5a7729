#pragma once
// The tokens of an SQL script, as the statement splitter and the checks that
// run before a script is sent need them: words, quoted names, strings,
// dollar-quoted bodies, comments, ';' and single punctuation characters.
// Blanks and line breaks separate tokens and are not tokens themselves.
//
// What it recognises, in every dialect at once (a script does not say which
// server it is for):
//  - '…' strings with '' inside; E'…' strings with backslash escapes;
//  - "…" names with "" inside, `…` names with `` inside, […] names with ]]
//    inside;
//  - $$…$$ and $tag$…$tag$ bodies (a '$' inside a word, or before a digit,
//    is not one);
//  - -- comments to the end of the line, /* … */ comments (nested, as the
//    SQL standard, PostgreSQL and T-SQL read them);
//  - words: letters, digits, '_', '$', and the '@' and '#' of T-SQL
//    variables and temporary tables.
// In the MySQL dialect backslashes escape in '…' and "…" (both strings there), '#'
// starts a line comment and "--" needs a blank after it, as MySQL reads them.
//
// An unterminated string, name, body or comment runs to the end of the text.
// Every character is looked at a bounded number of times: lexing is linear
// in the text length.

#include "db/ServerFamily.h"

#include <QString>
#include <QStringView>
#include <initializer_list>
#include <string_view>

namespace script {

enum class Dialect { Generic, MySql };

// The lexer dialect of a kind of server.
Dialect dialectOf(db::ServerFamily server);

enum class TokenKind {
    End,  // no more tokens (start == end == text length)
    Word, // keyword or plain name
    Number,
    QuotedName, // "…", `…` or […]
    String,     // '…' (E'…' with its E; other prefixes such as N are words of their own)
    DollarBody, // $tag$ … $tag$
    LineComment,
    BlockComment,
    Semicolon,
    Punct, // any other single character
};

struct Token {
    TokenKind kind = TokenKind::End;
    qsizetype start = 0; // offsets into the lexed text, [start, end)
    qsizetype end = 0;

    bool isComment() const { return kind == TokenKind::LineComment || kind == TokenKind::BlockComment; }
    bool isPunct(QStringView text, char c) const {
        return kind == TokenKind::Punct && text[start] == QLatin1Char(c);
    }
};

class SqlLexer {
public:
    explicit SqlLexer(QStringView text, Dialect dialect = Dialect::Generic, qsizetype from = 0)
        : text_(text), pos_(from), dialect_(dialect) {}

    // The next token, comments included.
    Token next();
    // The next token that is not a comment.
    Token nextSignificant();
    // Where the next token will be looked for.
    qsizetype position() const { return pos_; }
    void setPosition(qsizetype pos) { pos_ = pos; }
    QStringView text() const { return text_; }

    // True when the word token's text is keyword (written in upper case; the
    // token's ASCII letters may be in any case).
    static bool isWord(QStringView text, const Token& t, std::string_view keyword);
    // True when it is one of the keywords.
    static bool isAnyWord(QStringView text, const Token& t, std::initializer_list<std::string_view> keywords);

private:
    qsizetype quoted(qsizetype from, QChar close, bool backslashEscapes) const;
    qsizetype blockCommentEnd(qsizetype from) const;
    // The end of a dollar-quoted body opening at from; -1 when no $tag$ opens there.
    qsizetype dollarBodyEnd(qsizetype from) const;
    qsizetype lineEnd(qsizetype from) const;

    QStringView text_;
    qsizetype pos_;
    Dialect dialect_;
};

} // namespace script
