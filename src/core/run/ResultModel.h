#pragma once
// The rows of a grid result, kept as the fetched row blocks themselves: UTF-8
// text back to back with one 32-bit offset per cell, so a million rows cost
// about their text size plus 4 bytes a cell. Display strings are made only
// for the cells on screen. NULL shows as "NULL" (the view greys it, see
// IsNullRole) but reads as empty text for copying, exporting and inserting.

#include "db/Field.h"
#include "db/RowBlock.h"

#include <QAbstractTableModel>

#include <memory>
#include <vector>

class ResultModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // data() role telling whether a cell is NULL (for the view to grey it out).
    static constexpr int IsNullRole = Qt::UserRole + 1;

    explicit ResultModel(QObject* parent = nullptr);

    void reset(const std::vector<db::Field>& fields);
    void appendRows(std::shared_ptr<db::RowBlock> rows);
    void clear() { reset({}); }

    const std::vector<db::Field>& fields() const { return fields_; }
    qint64 totalRows() const { return rows_; }
    // The cell as text; empty for NULL.
    QString cellText(int row, int column) const;
    bool isNull(int row, int column) const;
    // Visits every row in order: f(recordNumber, block, rowInBlock).
    template <typename F> void forEachRow(F&& f) const {
        qint64 n = 0;
        for (const auto& b : blocks_)
            for (int r = 0; r < b->rowCount(); ++r) f(++n, *b, r);
    }
    // Visits the row blocks in order, as fetched: f(block).
    template <typename F> void forEachBlock(F&& f) const {
        for (const auto& b : blocks_) f(*b);
    }
    // Memory held for the cells.
    size_t memoryUse() const;
    // The selection of rows r1..r2 and columns c1..c2 as tab-separated text,
    // every row (the last one too) ended by CR LF.
    QString selectionText(int r1, int r2, int c1, int c2) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    // The block holding a row and the row's index inside it.
    std::pair<const db::RowBlock*, int> locate(int row) const;

    std::vector<db::Field> fields_;
    std::vector<std::shared_ptr<db::RowBlock>> blocks_;
    std::vector<qint64> blockStarts_; // first row of each block
    qint64 rows_ = 0;
};
