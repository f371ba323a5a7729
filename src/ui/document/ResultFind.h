#pragma once
// Find in the result panes: a small bar over the bottom of the result tabs
// that searches the pane it was opened from: the grid (moving the current
// cell), the text results, the extended recordsets or the messages. Enter
// and F3 find the next place, Shift+Enter and Shift+F3 the previous one,
// Escape closes it and gives the focus back to the pane. The script's own
// Find stays the script's.

#include <QPointer>
#include <QWidget>

class QLabel;
class QLineEdit;

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
    QWidget* pane() const { return pane_; }
    // Searches pane from now on, leaving the focus where it is.
    void setPane(QWidget* pane) { pane_ = pane; }
    // The pane that find works on when focus is in w (or one of its parents); null for none.
    static QWidget* searchablePane(QWidget* w);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void place();

    QLineEdit* text_;
    QLabel* status_;
    QPointer<QWidget> pane_;
};
