#pragma once
// Lays out SQL text: keywords in the keyword catalogue's spelling, one clause
// per line, subqueries and CASE indented on lines of their own, lists broken
// one item per line when they do not fit, a blank line between statements.
//
// Only blanks and line breaks between tokens change, and the case of the
// catalogue's words where the server reads any case alike (not a table's
// name or alias, a qualified name's parts or a column alias): the inside of
// strings, quoted names, comments and $$ bodies stays byte for byte, tokens
// written together stay together, a comment stays before the token it
// preceded, a line comment ends its line, two strings on separate lines stay
// on separate lines (PostgreSQL joins them), a T-SQL GO stays alone on its
// line. Formatting formatted text gives the same text.

#include "script/SqlLexer.h"

#include <QHash>
#include <QString>

namespace assist {

struct FormatOptions {
    int width = 100;     // a clause or list longer than this is broken
    int indentWidth = 4; // blanks per level
    QString lineBreak = QStringLiteral("\n");
    // Put before every line but the first (the first line's own indentation
    // in the editor, so a statement inside a block stays inside it).
    QString lineLead;
};

// spellings: words (in lower case) and how the catalogue writes them.
QString formatSql(QStringView text, const QHash<QString, QString>& spellings,
                  script::Dialect dialect = script::Dialect::Generic, const FormatOptions& options = {});

} // namespace assist
