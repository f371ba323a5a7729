#pragma once
// Colours a script in an editor the way its server reads it (private to the
// script lexer, TsqlLexer). The statement lexer of the core finds the
// tokens, so the colouring and the statement splitter agree on where a
// string, a comment or a quoted name ends: back-quoted names on
// MariaDB/MySQL (with its '#' comments and backslash escapes), bracketed
// names on SQL Server, double-quoted names everywhere. A quote character
// that does not open a name on the server is an operator there.
//
// Styles are QsciLexerSQL's, so colours and the features that read styles
// (the case correction) stay as they were. BEGIN and END open and close a
// fold; each line's fold depth at its end is kept as its line state, so a
// later pass can start at any line.

#include "db/ServerFamily.h"

#include <QHash>
#include <QString>

class QsciScintilla;

struct ScriptStyler {
    db::ServerFamily server = db::ServerFamily::Other;
    QHash<QString, int> wordStyles; // lower-case word → style (keywords, word operators, types, functions)

    // Styles the editor's text from (about) start up to at least end, as a
    // container lexer is asked to. Restarts where the text before start
    // cannot have changed how start is read.
    void style(QsciScintilla* editor, int start, int end) const;
};
