#pragma once
// Query > "Format SQL" (Ctrl+Shift+F): lays out the selection, or else the
// statement at the caret (the one Ctrl+Enter would run), with the SQL
// formatter and the keyword catalogue's spellings, as one undo step. Lines
// after the first take the first line's indentation; the text's line breaks
// are the editor's.

#include "editor/EditorFeature.h"

class EditorStatements;
class KeywordLanguage;

class SqlFormatCommand : public EditorFeature {
    Q_OBJECT
public:
    SqlFormatCommand(SqlEditor* editor, const KeywordLanguage* language, EditorStatements* statements);

    // False when there is nothing to format (an empty selection or script).
    bool formatSql();

private:
    SqlEditor* editor_;
    const KeywordLanguage* language_;
    EditorStatements* statements_;
};
