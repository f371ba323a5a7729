#include "script/SchemaChanges.h"

namespace script {

namespace {

bool isSchemaVerb(QStringView text, const Token& t) {
    return SqlLexer::isAnyWord(text, t, {"CREATE", "ALTER", "DROP", "RENAME", "TRUNCATE", "ATTACH", "DETACH"});
}

// Words after which a new statement begins inside a block.
bool opensStatement(QStringView text, const Token& t) {
    return t.kind == TokenKind::Semicolon || t.kind == TokenKind::End ||
           SqlLexer::isAnyWord(text, t, {"BEGIN", "ATOMIC", "THEN", "ELSE", "LOOP", "DO", "GO"});
}

// SELECT … INTO name (not INTO @variable, :host or OUTFILE/DUMPFILE): a new table.
bool selectIntoTable(QStringView text, SqlLexer lex) {
    int depth = 0;
    for (Token t = lex.nextSignificant(); t.kind != TokenKind::End && t.kind != TokenKind::Semicolon;
         t = lex.nextSignificant()) {
        if (t.isPunct(text, '(')) ++depth;
        if (t.isPunct(text, ')') && --depth < 0) return false;
        if (depth != 0 || !SqlLexer::isWord(text, t, "INTO")) continue;
        const Token target = lex.nextSignificant();
        if (target.kind == TokenKind::QuotedName) return true;
        if (target.kind != TokenKind::Word) return false;
        const QChar first = text[target.start];
        return first != QLatin1Char('@') && first != QLatin1Char(':') &&
               !SqlLexer::isAnyWord(text, target, {"OUTFILE", "DUMPFILE"});
    }
    return false;
}

} // namespace

bool changesSchema(QStringView script, Dialect dialect) {
    SqlLexer lex(script, dialect);
    Token prev; // End: the start of the script
    for (Token t = lex.nextSignificant(); t.kind != TokenKind::End; prev = t, t = lex.nextSignificant()) {
        if (!opensStatement(script, prev)) continue;
        if (isSchemaVerb(script, t)) return true;
        if (SqlLexer::isWord(script, t, "SELECT") && selectIntoTable(script, lex)) return true;
        if (t.kind == TokenKind::DollarBody && SqlLexer::isWord(script, prev, "DO")) {
            // DO $$ … $$: the body is a script of its own
            const QStringView body = script.mid(t.start, t.end - t.start);
            const qsizetype open = body.indexOf(QLatin1Char('$'), 1) + 1;
            if (changesSchema(body.mid(open), dialect)) return true;
        }
    }
    return false;
}

} // namespace script
