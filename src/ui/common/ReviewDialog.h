#pragma once
// A question about a long text the user should read first (the statements
// a save will run): the intro above, the text below in a read-only pane in
// the editor's fixed-width font, and the answers as buttons (the first is
// the default). Esc closes it without an answer.

#include <QDialog>
#include <QStringList>

class ReviewDialog : public QDialog {
    Q_OBJECT
public:
    ReviewDialog(const QString& title, const QString& intro, const QString& text, const QStringList& buttons,
                 QWidget* parent = nullptr);
    // The index of the button pressed, -1 when closed without one.
    int choice() const { return choice_; }

private:
    int choice_ = -1;
};
