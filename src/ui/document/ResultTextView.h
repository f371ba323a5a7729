#pragma once
// A read-only text pane for results: it draws only the lines in sight, taking
// them from a ResultText (row blocks laid out on demand), so a million rows
// scroll and stream without a multi-hundred-megabyte document behind them.
// Caret, selection with mouse and keys, select all and copy work on the laid
// out text; the copied text is the text appended, its lines joined by CR LF.
// Control characters inside values show as visible symbols, one for one.

#include "run/ResultText.h"

#include <QAbstractScrollArea>

class QTimer;

class ResultTextView : public QAbstractScrollArea {
    Q_OBJECT
public:
    using Position = ResultText::Position;

    explicit ResultTextView(QWidget* parent = nullptr);

    const ResultText& content() const { return text_; }
    void append(const QString& text);
    void appendRows(std::shared_ptr<const db::RowBlock> rows, TextWidths widths);
    // Empties the pane and gives its memory back.
    void clear();
    void setText(const QString& text);
    QString text() const { return text_.text(); }

    bool hasSelectedText() const { return !(anchor_ == caret_); }
    QString selectedText() const { return text_.text(anchor_, caret_); }
    // Selects from anchor to caret and shows the caret.
    void setSelection(Position anchor, Position caret);
    void selectAll();
    Position caret() const { return caret_; }
    // The selection's first place (the caret when nothing is selected).
    Position selectionStart() const { return std::min(anchor_, caret_); }
    // Puts the selected text on the clipboard (nothing when none is selected).
    void copy();
    // Selects the next (or previous) place of text after (before) the
    // selection, ignoring case and wrapping around once; false when none.
    bool find(const QString& text, bool forward);

    // The font as the script editor takes it (SqlEditor::fontFromSettings).
    void setEditorFont(const QString& family, const QString& pointSize);

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    int lineHeight() const;
    int visibleLines() const;
    qint64 firstVisibleLine() const;
    void updateScrollBars();
    // The place under a point of the viewport.
    Position positionAt(const QPoint& p) const;
    // x of a column of a line, in viewport pixels before scrolling.
    int xOf(const QString& shownLine, qsizetype column) const;
    void moveCaret(Position to, bool extend);
    void ensureCaretVisible();
    Position clampedTo(Position p) const;
    void dragScroll();

    ResultText text_;
    Position anchor_, caret_;
    bool dragging_ = false;
    QPoint dragPoint_;
    QTimer* dragTimer_;
};
