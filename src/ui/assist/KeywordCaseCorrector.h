#pragma once
// Corrects the case of known words as they are typed: when a character that
// ends a word is typed (a blank, punctuation, a line break), the word before
// it takes its spelling from the keyword catalogue ("select" becomes
// "SELECT"). Words in comments, strings and quoted names, variables
// ("@select"), qualified names ("t.date") and words the catalogue does not
// know are left alone. Switched by the autocorrsyntax setting; works while
// the editor's colouring (which tells code from comments and strings) is
// on; a correction is one undo step of its own.

#include "editor/EditorFeature.h"

class KeywordLanguage;

class KeywordCaseCorrector : public EditorFeature {
    Q_OBJECT
public:
    KeywordCaseCorrector(SqlEditor* editor, const KeywordLanguage* language);

private:
    void onCharAdded(int ch);
    // Corrects the word that ends at position end (a byte position).
    void correctWordBefore(int end);

    const KeywordLanguage* language_;
};
