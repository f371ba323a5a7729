#pragma once
// Corrects the case of known words as they are typed: when a character that
// ends a word is typed (a blank, punctuation, a line break), the word before
// it takes its spelling from the keyword catalogue ("select" becomes
// "SELECT"). Words in comments, strings and quoted names, variables
// ("@select"), qualified names ("t.date") and words the catalogue does not
// know are left alone. Switched by the autocorrsyntax setting; works
// whether colouring is on or not (the colouring's styles tell code from
// comments and strings when it is on, the statement's tokens when it is
// off); a correction is one undo step of its own.

#include "editor/EditorFeature.h"

class EditorStatements;
class KeywordLanguage;

class KeywordCaseCorrector : public EditorFeature {
    Q_OBJECT
public:
    KeywordCaseCorrector(SqlEditor* editor, const KeywordLanguage* language, EditorStatements* statements);

private:
    void onCharAdded(int ch);
    // Corrects the word that ends at position end (a byte position).
    void correctWordBefore(int end);

    // Whether position (a word's start) is code rather than comment or string.
    bool isCode(int position, int end);

    const KeywordLanguage* language_;
    EditorStatements* statements_;
};
