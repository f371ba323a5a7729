#pragma once
// The find and the find-and-replace dialog of a script editor: a tool window
// that stays open while the user works in the editor.

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SqlEditor;

class FindReplaceDialog : public QDialog {
    Q_OBJECT
public:
    explicit FindReplaceDialog(SqlEditor* editor);

    // Shows the dialog in find or find-and-replace form, seeded with text.
    void showFor(bool withReplace, const QString& text);

    void setFindText(const QString& t);
    void setReplaceText(const QString& t);
    void setMatchCase(bool on);
    void setWholeWord(bool on);
    void setWrap(bool on);

    // The buttons' actions (also used by tests).
    bool findNext();
    bool replaceOne();
    int replaceAll();
    // The last outcome shown to the user ("Not found", "3 replaced").
    QString status() const;

private:
    bool search(bool fromStart);
    SqlEditor* editor_;
    QLineEdit* find_;
    QLineEdit* replace_;
    QLabel* replaceLabel_;
    QCheckBox* matchCase_;
    QCheckBox* wholeWord_;
    QCheckBox* wrap_;
    QPushButton* replaceButton_;
    QPushButton* replaceAllButton_;
    QLabel* status_;
    bool searching_ = false; // a findFirst is active, findNext continues it
};
