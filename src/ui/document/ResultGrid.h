#pragma once
// The result grid: field names in the header row, the record number in the
// fixed column on the left, one row per record. Rows stay a fixed height so
// a million of them scroll smoothly.

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
    // The current cell's text ("" for NULL).
    QString currentCellText() const;

signals:
    void popupRequested(const QPoint& globalPos);

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    ResultModel* model_;
};
