#pragma once
// Find in the result panes: a small bar over the bottom of the result tabs
// that searches the pane it was opened from: the grid (moving the current
// cell), the text results, the extended recordsets or the messages. Typing
// moves to the first place at or after where the bar was opened; Enter and
// F3 find the next place, Shift+Enter and Shift+F3 the previous one, and the
// bar says when a search went past the end and continued from the other
// one. Escape closes it and gives the focus back to the pane. The script's
// own Find stays the script's.

#include <QPointer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QTimer;

class ResultFind : public QWidget {
    Q_OBJECT
public:
    // Lies over panes (its parent), at its bottom right.
    explicit ResultFind(QWidget* panes);

    // Shows the bar for pane (a ResultGrid, ResultTextView or SqlEditor),
    // with the text selected for typing over.
    void open(QWidget* pane);
    // Finds the next (or previous) place in the pane; opens the bar when it
    // holds no text yet. False when nothing was found.
    bool findNext(bool forward);
    QLineEdit* textBox() const { return text_; }
    // "Not found", the continued-from note, or nothing.
    QString statusText() const;
    QWidget* pane() const { return pane_; }
    // Searches pane from now on, leaving the focus where it is.
    void setPane(QWidget* pane);
    // The pane that find works on when focus is in w (or one of its parents); null for none.
    static QWidget* searchablePane(QWidget* w);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    // A place in a pane, comparable in reading order: (row, column) of a
    // grid cell, (line, column) of a selection's start.
    struct Place {
        qint64 major = -1, minor = 0;
        auto operator<=>(const Place&) const = default;
    };
    Place placeInPane() const;
    void moveTo(Place place);
    // Searches from start_ on, the current place included, as typed.
    void findAsTyped();
    bool search(bool forward, bool fromCurrent);
    void place();

    QLineEdit* text_;
    QLabel* status_;
    QTimer* typing_;
    QPointer<QWidget> pane_;
    Place start_; // where the pane was when the bar was opened on it
};
