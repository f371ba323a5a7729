#include "run/ResultModel.h"

#include <algorithm>
#include <climits>

ResultModel::ResultModel(QObject* parent) : QAbstractTableModel(parent) {}

void ResultModel::reset(const std::vector<db::Field>& fields) {
    beginResetModel();
    fields_ = fields;
    blocks_.clear();
    blockStarts_.clear();
    rows_ = 0;
    endResetModel();
}

void ResultModel::appendRows(std::shared_ptr<db::RowBlock> rows) {
    if (!rows || rows->rowCount() == 0) return;
    const int first = int(rows_);
    const qint64 count = rows->rowCount();
    // the view's rows are ints: beyond that, rows are kept but not shown
    const qint64 shown = std::min<qint64>(count, qint64(INT_MAX) - rows_);
    if (shown > 0) beginInsertRows(QModelIndex(), first, int(first + shown - 1));
    blockStarts_.push_back(rows_);
    blocks_.push_back(std::move(rows));
    rows_ += count;
    if (shown > 0) endInsertRows();
}

std::pair<const db::RowBlock*, int> ResultModel::locate(int row) const {
    auto it = std::upper_bound(blockStarts_.begin(), blockStarts_.end(), qint64(row));
    const size_t b = size_t(it - blockStarts_.begin()) - 1;
    return {blocks_[b].get(), int(row - blockStarts_[b])};
}

QString ResultModel::cellText(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= int(fields_.size())) return {};
    const auto [block, r] = locate(row);
    return block->isNull(r, column) ? QString() : block->string(r, column);
}

bool ResultModel::isNull(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= int(fields_.size())) return false;
    const auto [block, r] = locate(row);
    return block->isNull(r, column);
}

size_t ResultModel::memoryUse() const {
    size_t n = 0;
    for (const auto& b : blocks_) n += b->memoryUse();
    return n + blockStarts_.capacity() * sizeof(qint64) + blocks_.capacity() * sizeof(blocks_[0]);
}

QString ResultModel::selectionText(int r1, int r2, int c1, int c2) const {
    if (r1 > r2) std::swap(r1, r2);
    if (c1 > c2) std::swap(c1, c2);
    QString out;
    for (int r = r1; r <= r2; ++r)
        for (int c = c1; c <= c2; ++c) {
            out += cellText(r, c);
            out += c == c2 ? QStringLiteral("\r\n") : QStringLiteral("\t");
        }
    return out;
}

int ResultModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(std::min<qint64>(rows_, INT_MAX));
}

int ResultModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(fields_.size()); }

QVariant ResultModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
        const auto [block, r] = locate(index.row());
        if (block->isNull(r, index.column())) return role == Qt::DisplayRole ? QStringLiteral("NULL") : QVariant();
        QString s = block->string(r, index.column());
        if (role == Qt::ToolTipRole) return s.size() > 60 ? s.left(2000) : QVariant();
        // one line in the grid: line breaks show as a symbol
        if (s.size() > 1000) s = s.left(1000) + QStringLiteral("…");
        s.replace(QLatin1Char('\n'), QChar(0x21B5)).remove(QLatin1Char('\r'));
        return s;
    }
    case Qt::EditRole: return cellText(index.row(), index.column());
    case IsNullRole: return isNull(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return db::isNumberType(fields_[size_t(index.column())].type) ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                                   : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    default: return {};
    }
}

QVariant ResultModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < int(fields_.size()) ? fields_[size_t(section)].name : QString();
    return section + 1; // the record number
}
