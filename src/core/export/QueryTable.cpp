#include "export/QueryTable.h"

#include "export/ExportOptions.h"
#include "script/SqlLexer.h"
#include "script/StatementSplitter.h"

namespace exports {

namespace {

using script::SqlLexer;
using script::Token;
using script::TokenKind;

bool isNamePart(const Token& t) {
    return t.kind == TokenKind::Word || t.kind == TokenKind::QuotedName;
}

// Reads "part(.part)*" starting with t; returns the token after it and
// sets end to the end of the last part. False when t starts no name.
bool readName(SqlLexer& lexer, Token& t, qsizetype& end) {
    if (!isNamePart(t)) return false;
    for (;;) {
        // a bare reserved word is no name ("FROM select" does not parse)
        if (t.kind == TokenKind::Word &&
            isReservedWord(lexer.text().mid(t.start, t.end - t.start).toString()))
            return false;
        end = t.end;
        t = lexer.nextSignificant();
        if (!t.isPunct(lexer.text(), '.')) return true;
        t = lexer.nextSignificant();
        if (!isNamePart(t)) return false;
    }
}

// Words that may follow the table of a one-table query.
bool endsTheTable(QStringView text, const Token& t) {
    return t.kind == TokenKind::End || t.kind == TokenKind::Semicolon ||
           SqlLexer::isAnyWord(
               text, t, {"WHERE", "GROUP", "HAVING", "ORDER", "LIMIT", "OFFSET", "FETCH", "FOR", "WINDOW"});
}

bool onlyTrailing(SqlLexer& lexer, Token t) {
    while (t.kind == TokenKind::Semicolon)
        t = lexer.nextSignificant();
    return t.kind == TokenKind::End;
}

} // namespace

QString tableNameFromQuery(const QString& sql) {
    SqlLexer lexer(sql);
    Token t = lexer.nextSignificant();
    if (!SqlLexer::isWord(sql, t, "SELECT")) return {};
    int depth = 0;
    for (t = lexer.nextSignificant(); t.kind != TokenKind::End && t.kind != TokenKind::Semicolon;
         t = lexer.nextSignificant()) {
        if (t.isPunct(sql, '('))
            ++depth;
        else if (t.isPunct(sql, ')'))
            --depth;
        else if (depth == 0 && SqlLexer::isWord(sql, t, "FROM"))
            break;
    }
    if (!SqlLexer::isWord(sql, t, "FROM")) return {};
    t = lexer.nextSignificant();
    const qsizetype start = t.start;
    qsizetype end = start;
    if (!readName(lexer, t, end)) return {};
    const QString name = sql.mid(start, end - start);
    if (SqlLexer::isWord(sql, t, "AS")) t = lexer.nextSignificant();
    if (!endsTheTable(sql, t) && isNamePart(t) &&
        !SqlLexer::isAnyWord(sql, t,
                             {"JOIN", "INNER", "LEFT", "RIGHT", "FULL", "CROSS", "NATURAL", "STRAIGHT_JOIN"}))
        t = lexer.nextSignificant(); // an alias
    if (!endsTheTable(sql, t)) return {};
    if (t.kind == TokenKind::Semicolon && !onlyTrailing(lexer, t)) return {};
    return name;
}

QStringList tableNamesOfScript(const QString& script) {
    QStringList names;
    for (const script::StatementRange& s : script::splitStatements(script)) {
        const QString statement = s.textIn(script).toString();
        SqlLexer lexer(statement);
        if (!SqlLexer::isWord(statement, lexer.nextSignificant(), "SELECT")) return {};
        names << tableNameFromQuery(statement);
    }
    return names;
}

QString tableReference(const QString& name, const SqlDialect& dialect) {
    const QString given = name.trimmed();
    if (given.isEmpty()) return kDefaultTable;
    SqlLexer lexer(given);
    Token t = lexer.next();
    qsizetype end = 0;
    if (t.start == 0 && readName(lexer, t, end) && t.kind == TokenKind::End && end == given.size())
        return given;
    return dialect.quotedName(given);
}

} // namespace exports
