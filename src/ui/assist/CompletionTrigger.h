#pragma once
// Opens the completion popup's suggestions by itself while the user types:
// after a "." that follows a name (the columns of that table, the tables of
// that schema) and when a word reaches its second letter. Each is switched
// off by its setting (autocompletedot, autocompleteword in config.ini; a
// change in the options dialog reaches open documents at once). Never
// inside a comment, a string or a $$ body, in a number, nor after a
// variable's "@"; in a quoted name being typed ("Mi) it offers the names that
// begin so. The popup opens only when it has something that matches the word.

#include "editor/EditorFeature.h"

class CompletionPopup;

class CompletionTrigger : public EditorFeature {
    Q_OBJECT
public:
    CompletionTrigger(SqlEditor* editor, CompletionPopup* popup);

protected:
    void settingsChanged(const settings::Snapshot& s) override;

private:
    void onCharAdded(int ch);

    CompletionPopup* popup_;
    bool afterDot_ = true;  // autocompletedot
    bool afterWord_ = true; // autocompleteword
};
