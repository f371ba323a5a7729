#pragma once
// Opens the completion popup's suggestions by itself while the user types:
// after a "." that follows a name (the columns of that table, the tables of
// that schema) and when a word reaches its second letter. Each is switched
// off by its setting (autocompletedot, autocompleteword in config.ini, read
// as the key is typed, so the options dialog reaches open documents). Never
// inside a comment, a string or a $$ body, in a number, nor after a
// variable's "@"; in a quoted name being typed ("Mi) it offers the names that
// begin so. The popup opens only when it has something that matches the word.

#include <QObject>

class CompletionPopup;
class SqlEditor;

class CompletionTrigger : public QObject {
    Q_OBJECT
public:
    CompletionTrigger(SqlEditor* editor, CompletionPopup* popup);

private:
    void onCharAdded(int ch);

    SqlEditor* editor_;
    CompletionPopup* popup_;
};
