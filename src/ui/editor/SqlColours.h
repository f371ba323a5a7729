#pragma once
// The theme's colours for the styles of an SQL lexer (the stock one of the
// template editor and the documents' "TSQL"): word classes, comments,
// strings, quoted names and numbers in their roles, everything else as plain
// text, all on the editor's paper.

#include "common/Theme.h"

class QsciLexerSQL;

namespace editor {

// The role that colours one of the lexer's styles.
Theme::Role sqlColourRole(int style);
// Gives every style of lexer its colour and paper from the theme in use.
void applySqlColours(QsciLexerSQL* lexer);

} // namespace editor
