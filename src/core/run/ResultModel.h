#pragma once
// The grid's model, in three layers: the fetched rows (grid::RowStore,
// columnar, moved to a temporary file past the memory budget), the order
// the user sees them in (grid::RowView: a sort and a filter as a
// permutation of store rows) and what a cell shows (this class: NULL as a
// marker, binary values as 0x… with their size, long text by its start).
//
// Rows arrive while a run goes on; a filter applies to them as they come,
// a sort waits until the last row is in (sorting() says so meanwhile) and
// then runs, in the background when the result is large. A row number on
// the left is the row's place in the fetched result, so it stays with the
// row when sorted.
//
// Shown rows are what copying and exporting take (forEachBlock,
// cellText): what the user sees, in the order seen.

#include "db/Field.h"
#include "db/RowBlock.h"
#include "grid/CellFind.h"
#include "grid/RowFilter.h"
#include "grid/RowOrder.h"
#include "grid/RowView.h"

#include <QAbstractTableModel>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace grid {
class RowStore;
}

class ResultModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // data() role telling whether a cell is NULL (for the view to grey it out).
    static constexpr int IsNullRole = Qt::UserRole + 1;
    // data() role: the whole value, for the viewer of a long value (null for NULL).
    static constexpr int FullTextRole = Qt::UserRole + 2;

    explicit ResultModel(QObject* parent = nullptr);
    ~ResultModel() override;

    void reset(const std::vector<db::Field>& fields);
    void appendRows(std::shared_ptr<db::RowBlock> rows);
    // The last row is in: a sort asked for meanwhile runs now.
    void finishRows();
    void clear() { reset({}); }

    const std::vector<db::Field>& fields() const { return fields_; }
    // Rows fetched (whatever the filter shows).
    qint64 totalRows() const;
    // The cell of a shown row as text; empty for NULL.
    QString cellText(int row, int column) const;
    bool isNull(int row, int column) const;
    // The fetched row a shown row is (from 0).
    qint64 storeRow(int row) const { return view_.storeRow(row); }
    // A fetched cell by its fetched row (std::nullopt for NULL), whatever the order shown.
    std::optional<QString> storedCell(qint64 storeRow, int column) const;

    // ---- order ----
    // Sorts by column (-1: back to the fetched order).
    void sortBy(int column, grid::SortDirection direction);
    int sortColumn() const { return sortColumn_; }
    grid::SortDirection sortDirection() const { return direction_; }
    // A sort is waiting for the last row or running in the background.
    bool sorting() const { return pendingSort_ || job_ != nullptr; }
    // The sort asked for waits for the run's last row.
    bool sortWaitsForRows() const { return pendingSort_; }
    void setFilter(const grid::RowFilter& filter);
    const grid::RowFilter& filter() const { return filter_; }
    // "N of M rows" while a filter hides rows, else "M rows".
    QString rowsShownText() const;
    std::optional<grid::CellPosition> find(grid::CellPosition from, const QString& text, bool forward,
                                           bool fromCurrent = false) const;

    // ---- display ----
    // What NULL shows as (default "NULL").
    void setNullText(const QString& text);
    const QString& nullText() const { return nullText_; }

    // Visits the shown rows in order, a block of up to 1,024 at a time:
    // f(block). Only one block exists at a time.
    void forEachBlock(const std::function<void(const db::RowBlock&)>& f) const;
    // Visits every shown row: f(recordNumber, block, rowInBlock).
    template <typename F> void forEachRow(F&& f) const {
        qint64 n = 0;
        forEachBlock([&](const db::RowBlock& b) {
            for (int r = 0; r < b.rowCount(); ++r) f(++n, b, r);
        });
    }
    // Memory held for the rows (the store in memory and the shown order).
    size_t memoryUse() const;
    // Why rows could not be moved to disk (empty when they could).
    QString spillError() const;
    // The selection of rows r1..r2 and columns c1..c2 as tab-separated text,
    // every row (the last one too) ended by CR LF.
    QString selectionText(int r1, int r2, int c1, int c2) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    // The shown rows changed order or number (a sort or filter applied).
    void orderChanged();
    void sortingChanged(bool sorting);
    // Rows arrived (or the last one did): totalRows() and rowsShownText()
    // may say something new even when no shown row was added.
    void totalRowsChanged();

private:
    struct Job;
    void reorder();
    void showAppended(qint64 before);
    void apply(std::vector<uint32_t> order, bool identity);
    QString displayText(int row, int column) const;

    std::vector<db::Field> fields_;
    std::shared_ptr<grid::RowStore> store_;
    grid::RowView view_;
    int sortColumn_ = -1;
    grid::SortDirection direction_ = grid::SortDirection::Ascending;
    bool pendingSort_ = false;
    grid::RowFilter filter_;
    std::shared_ptr<Job> job_;
    QString nullText_ = QStringLiteral("NULL");
};
