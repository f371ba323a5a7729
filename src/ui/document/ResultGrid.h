#pragma once
// The result grid: field names in the header row, the row's place in the
// fetched result in the fixed column on the left, one row per record. Rows
// stay a fixed height so a million of them scroll smoothly.
//
// A click on a column header sorts by it (again: descending; a third time:
// back to the fetched order) with the arrow shown; the model orders the
// rows, never a copy of them. A double click opens a cell's whole value in
// a viewer. Copy takes the selected cells as tab-separated text, or in any
// copyable export format (copyAs).

#include "export/ExportFormat.h"

#include <QTableView>

class ResultModel;

class ResultGrid : public QTableView {
    Q_OBJECT
public:
    explicit ResultGrid(QWidget* parent = nullptr);
    ResultModel* resultModel() const { return model_; }

    // Sizes every column but the last to its widest text (header included)
    // among a bounded sample of rows, plus a margin.
    void sizeColumns();
    // Widens (never narrows) the columns but the last to fit rows first to
    // first + count - 1, measuring a bounded sample of them.
    void widenColumns(int first, int count);
    // The selected cells (or the current cell) as tab-separated text with
    // CR LF after every row; empty when the grid is empty.
    QString selectionText() const;
    // Puts selectionText() on the clipboard.
    void copySelection();
    // The selected cells (or the current cell) in format; headers: with the
    // column names; table: the INSERT's table (SQL INSERT). Empty for an empty grid.
    QString selectionText(exports::Format format, bool headers, const QString& table) const;
    // The current cell's text ("" for NULL).
    QString currentCellText() const;

    // Header clicks: the next step of ascending, descending, fetched order.
    void cycleSort(int column);
    // Moves the current cell to the next (or previous) cell containing text,
    // or to the current cell itself when fromCurrent and it matches; false
    // when there is none.
    bool findNext(const QString& text, bool forward, bool fromCurrent = false);
    // Shows the current cell's whole value in a viewer.
    void openCurrentValue();

signals:
    void popupRequested(const QPoint& globalPos);
    // What the grid is doing, for the status bar ("Sorting…"); empty when nothing.
    void statusText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void showSortIndicator();
    // The rows and columns the copy commands take.
    void selectedRange(int& r1, int& r2, int& c1, int& c2) const;

    ResultModel* model_;
};
