#include "assist/StatementContext.h"

#include "assist/QueryScopes.h"
#include "script/StatementIndex.h"

namespace assist {

using script::SqlLexer;
using script::Token;
using script::TokenKind;

QString unquotedName(QStringView token) {
    if (token.size() < 1) return token.toString();
    const QChar open = token.front();
    QChar close;
    if (open == QLatin1Char('"') || open == QLatin1Char('`'))
        close = open;
    else if (open == QLatin1Char('['))
        close = QLatin1Char(']');
    else
        return token.toString();
    QStringView inner = token.mid(1);
    if (inner.endsWith(close)) inner.chop(1); // an unclosed name runs to the end
    QString out = inner.toString();
    out.replace(QString(2, close), QString(close));
    return out;
}

const TableRef* StatementContext::resolve(const QString& name) const {
    for (const TableRef& t : tables)
        if (!t.alias.isEmpty() && t.alias.compare(name, Qt::CaseInsensitive) == 0) return &t;
    for (const TableRef& t : tables)
        if (t.alias.isEmpty() && t.name().compare(name, Qt::CaseInsensitive) == 0) return &t;
    for (const TableRef& t : ctes)
        if (t.name().compare(name, Qt::CaseInsensitive) == 0) return &t;
    return nullptr;
}

namespace {

// Whether the caret lies inside token t (not just after it, except where the
// token is still open there: a line comment, an unclosed string or name).
bool caretInside(QStringView text, const Token& t, qsizetype caret) {
    if (caret <= t.start || caret > t.end) return false;
    if (caret < t.end) return true;
    switch (t.kind) {
    case TokenKind::LineComment:
    case TokenKind::Word:
    case TokenKind::Number:
        return true;
    case TokenKind::String: // open while its closing quote is missing
        return t.end - t.start < 2 || text[t.end - 1] != QLatin1Char('\'');
    case TokenKind::QuotedName: {
        const QChar close = text[t.start] == QLatin1Char('[') ? QLatin1Char(']') : text[t.start];
        return t.end - t.start < 2 || text[t.end - 1] != close;
    }
    case TokenKind::BlockComment: // "/*" never closed
        return t.end - t.start < 4 || !text.mid(t.start, t.end - t.start).endsWith(QLatin1String("*/"));
    case TokenKind::DollarBody: { // "$tag$" never closed
        const QStringView body = text.mid(t.start, t.end - t.start);
        const QStringView tag = body.left(body.indexOf(QLatin1Char('$'), 1) + 1);
        return body.size() < 2 * tag.size() || !body.endsWith(tag);
    }
    default:
        return false;
    }
}

// The expectation after the token at prev: what the word (and the names
// before it) that follows it stands for.
Expect expectAfter(const StatementTokens& t, size_t prev) {
    if (prev == size_t(-1)) return Expect::Keywords; // the statement's start
    const Token& p = t.at(prev);
    if (p.kind == TokenKind::Word) {
        if (t.word(prev, "UPDATE"))
            return prev > 0 && t.word(prev - 1, "KEY") ? Expect::Columns
                   : prev > 0 && t.word(prev - 1, "FOR") ? Expect::Keywords
                                                          : Expect::Tables;
        if (t.word(prev, "IS") || (t.word(prev, "NOT") && prev > 0 && t.word(prev - 1, "IS")))
            return Expect::Keywords; // IS NULL, IS NOT NULL
        if (t.anyWord(prev, {"FROM", "JOIN", "INTO", "TABLE", "VIEW", "USING", "TRUNCATE", "DESCRIBE",
                             "STRAIGHT_JOIN", "ONLY", "LATERAL"}))
            return Expect::Tables;
        if (t.anyWord(prev, {"SELECT", "WHERE", "ON", "BY", "SET", "HAVING", "AND", "OR", "NOT", "WHEN", "THEN",
                             "ELSE", "CASE", "DISTINCT", "RETURNING", "IN", "BETWEEN", "LIKE", "ILIKE",
                             "ALL", "ANY", "SOME", "EXISTS", "ESCAPE", "RLIKE", "REGEXP", "DIV", "MOD", "XOR"}))
            return Expect::Columns;
        return Expect::Keywords;
    }
    if (p.kind != TokenKind::Punct) return Expect::Keywords;
    if (t.punct(prev, ')')) return Expect::Keywords;
    if (t.punct(prev, '*') && prev > 0 && (t.word(prev - 1, "SELECT") || t.punct(prev - 1, ',')))
        return Expect::Keywords; // SELECT * …
    if (t.punct(prev, ',')) {
        // a comma of a FROM list names a table; elsewhere it lists expressions
        for (size_t k = prev; k-- > 0;) {
            if (t.punct(k, ')')) { // a closed group says nothing: go before it
                if (t.opening(k) >= k) return Expect::Columns;
                k = t.opening(k);
                continue;
            }
            if (t.punct(k, '(')) return Expect::Columns; // inside a list
            if (t.word(k, "FROM")) return Expect::Tables;
            if (t.anyWord(k, {"SELECT", "WHERE", "ON", "BY", "SET", "HAVING", "VALUES", "RETURNING", "JOIN",
                              "USING", "INTO", "UPDATE"}))
                return Expect::Columns;
        }
        return Expect::Columns;
    }
    return Expect::Columns; // an operator or '('
}

} // namespace

StatementContext analyzeStatement(QStringView script, const script::StatementRange& statement, qsizetype caret,
                                  script::Dialect dialect) {
    StatementContext ctx;
    caret = std::clamp<qsizetype>(caret, 0, script.size());
    ctx.wordStart = caret;
    const qsizetype lexEnd = std::max(statement.end, caret);
    std::vector<Token> significant;
    size_t word = size_t(-1); // the significant token being typed
    SqlLexer lex(script, dialect, std::min(statement.start, caret));
    for (Token t = lex.next(); t.kind != TokenKind::End && t.start < lexEnd; t = lex.next()) {
        if (caretInside(script, t, caret)) {
            if (t.kind == TokenKind::Word && script[t.start] != QLatin1Char('@')) {
                ctx.prefix = script.mid(t.start, caret - t.start).toString();
                ctx.wordStart = t.start;
                word = significant.size();
            } else if (t.kind == TokenKind::QuotedName) {
                ctx.quote = script[t.start];
                ctx.prefix = unquotedName(script.mid(t.start, caret - t.start));
                ctx.wordStart = t.start;
                word = significant.size();
                // a name opened here and not closed before a blank or a line's end
                // ends at the caret ("Od| FROM "Mixed Case" is "Od, then FROM …)
                const QStringView rest = script.mid(caret, t.end - caret);
                if (t.end >= script.size() || rest.contains(QLatin1Char('\n')) || rest.contains(QLatin1Char('\r')) ||
                    rest.contains(QLatin1Char(' ')) || rest.contains(QLatin1Char('\t'))) {
                    t.end = caret;
                    lex.setPosition(caret);
                }
            } else {
                ctx.expect = Expect::Nothing; // a comment, string, body, number or variable
                return ctx;
            }
        }
        if (!t.isComment()) significant.push_back(t);
    }

    // the part of the statement between the ';' around the caret (a block's statements)
    size_t begin = 0, end = significant.size();
    for (size_t i = 0; i < significant.size(); ++i) {
        if (significant[i].kind != TokenKind::Semicolon) continue;
        if (significant[i].end <= ctx.wordStart) begin = i + 1;
        else if (significant[i].start >= caret && end == significant.size()) end = i;
    }
    std::vector<Token> part(significant.begin() + qsizetype(begin), significant.begin() + qsizetype(end));
    if (word != size_t(-1)) word -= begin;
    const StatementTokens tokens(script, std::move(part));

    // where the word goes, and the names before it
    size_t at = word;
    if (at == size_t(-1)) {
        at = 0;
        while (at < tokens.size() && tokens.at(at).start < caret)
            ++at;
    }
    size_t prev = at - 1; // wraps to size_t(-1) at the start
    while (prev != size_t(-1) && tokens.punct(prev, '.') && prev >= 1 && tokens.isName(prev - 1)) {
        ctx.qualifier.prepend(tokens.name(prev - 1));
        prev -= 2;
    }
    ctx.expect = expectAfter(tokens, prev);
    if (prev != size_t(-1) && tokens.at(prev).kind == TokenKind::Word) {
        ctx.previousWord = tokens.name(prev).toUpper();
        if (ctx.previousWord == QLatin1String("NOT") && prev > 0 && tokens.word(prev - 1, "IS"))
            ctx.previousWord = QStringLiteral("IS NOT");
    }
    if (!ctx.qualifier.isEmpty() && ctx.expect != Expect::Tables) ctx.expect = Expect::Columns;

    // the tables of the caret's query and of the queries around it
    const QueryScopes scopes(tokens, word);
    for (int s = scopes.scopeAt(at); s >= 0; s = scopes.scopes()[size_t(s)].parent) {
        const Scope& scope = scopes.scopes()[size_t(s)];
        ctx.tables.insert(ctx.tables.end(), scope.tables.begin(), scope.tables.end());
        ctx.ctes.insert(ctx.ctes.end(), scope.ctes.begin(), scope.ctes.end());
    }
    // a table named like a WITH query is that query
    for (TableRef& t : ctx.tables) {
        if (t.derived || t.path.size() != 1) continue;
        for (const TableRef& cte : ctx.ctes) {
            if (cte.name().compare(t.name(), Qt::CaseInsensitive) != 0) continue;
            t.derived = true;
            t.columns = cte.columns;
            t.starSources = cte.starSources;
            break;
        }
    }
    return ctx;
}

StatementContext analyzeAt(QStringView script, qsizetype caret, script::Dialect dialect) {
    script::StatementIndex index;
    index.setDialect(dialect);
    return analyzeStatement(script, index.statementAround(script, caret), caret, dialect);
}

} // namespace assist
