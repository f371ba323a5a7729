#include "run/ResultModel.h"

#include "grid/RowStore.h"

#include <QCoreApplication>
#include <QLocale>
#include <QPointer>

#include <algorithm>
#include <climits>
#include <numeric>
#include <thread>

namespace {
constexpr qint64 kSortInPlaceRows = 200000; // smaller results are ordered at once, larger ones in the background
constexpr size_t kShownBytes = 4000;        // a longer value shows its start
constexpr int kBinaryBytesShown = 16;
constexpr int kBlockRows = 1024;

bool isBinary(const db::Field& f) {
    return f.type == db::FieldType::Binary || f.type == db::FieldType::VarBinary ||
           f.type == db::FieldType::LongVarBinary;
}

QString sizeText(qint64 bytes) {
    return bytes < 1024 ? QStringLiteral("%1 bytes").arg(bytes) : QLocale::system().formattedDataSize(bytes);
}
} // namespace

// An order computed away from the model's thread; cancelled when a newer one starts.
struct ResultModel::Job {
    std::atomic<bool> cancel{false};
};

ResultModel::ResultModel(QObject* parent) : QAbstractTableModel(parent) {}

ResultModel::~ResultModel() {
    if (job_) job_->cancel = true;
}

void ResultModel::reset(const std::vector<db::Field>& fields) {
    beginResetModel();
    if (job_) job_->cancel = true;
    job_.reset();
    fields_ = fields;
    store_ = fields.empty() ? nullptr : std::make_shared<grid::RowStore>(fields);
    view_.showAll(0);
    sortColumn_ = -1;
    direction_ = grid::SortDirection::Ascending;
    pendingSort_ = false;
    filter_ = {};
    endResetModel();
}

void ResultModel::appendRows(std::shared_ptr<db::RowBlock> rows) {
    if (!store_ || !rows || rows->rowCount() == 0 || store_->sealed()) return;
    const qint64 before = store_->rowCount();
    store_->append(*rows);
    showAppended(before);
    emit totalRowsChanged();
}

// Shows the rows from `before` on: all of them, or those that pass the filter.
void ResultModel::showAppended(qint64 before) {
    const qint64 after = store_->rowCount();
    const qint64 shown = view_.count();
    if (view_.isIdentity()) {
        const qint64 last = std::min<qint64>(after, INT_MAX) - 1;
        if (last >= shown) beginInsertRows(QModelIndex(), int(shown), int(last));
        view_.grow(after);
        if (last >= shown) endInsertRows();
        return;
    }
    std::vector<uint32_t> passed = grid::filterRows(*store_, filter_, before);
    if (passed.empty() || shown >= INT_MAX) return;
    const qint64 last = std::min<qint64>(shown + qint64(passed.size()), INT_MAX) - 1;
    beginInsertRows(QModelIndex(), int(shown), int(last));
    view_.append(passed);
    endInsertRows();
}

void ResultModel::finishRows() {
    if (!store_) return;
    store_->seal();
    if (pendingSort_) reorder();
}

qint64 ResultModel::totalRows() const { return store_ ? store_->rowCount() : 0; }

void ResultModel::sortBy(int column, grid::SortDirection direction) {
    sortColumn_ = column >= 0 && column < columnCount() ? column : -1;
    direction_ = direction;
    reorder();
}

void ResultModel::setFilter(const grid::RowFilter& filter) {
    if (filter == filter_) return;
    filter_ = filter;
    reorder();
}

void ResultModel::reorder() {
    if (job_) job_->cancel = true;
    job_.reset();
    const bool wasSorting = sorting();
    pendingSort_ = false;
    if (!store_) return;
    const auto store = store_;
    const grid::RowFilter filter = filter_;
    int column = sortColumn_;
    const grid::SortDirection direction = direction_;
    if (column >= 0 && !store->sealed()) { // rows still come: filter now, sort once they are in
        pendingSort_ = true;
        column = -1;
    }
    auto compute = [store, filter, column, direction](const std::atomic<bool>* cancel) {
        std::vector<uint32_t> rows;
        if (!filter.isEmpty()) rows = grid::filterRows(*store, filter, 0, cancel);
        if (column >= 0) rows = grid::sortRows(*store, column, direction, filter.isEmpty() ? nullptr : &rows, cancel);
        return rows;
    };
    const bool identity = filter.isEmpty() && column < 0;
    if (identity || store->rowCount() <= kSortInPlaceRows || !store->sealed()) {
        apply(identity ? std::vector<uint32_t>() : compute(nullptr), identity);
    } else {
        auto job = std::make_shared<Job>();
        job_ = job;
        QPointer<ResultModel> self(this);
        std::thread([job, compute, self, identity] {
            std::vector<uint32_t> order = compute(&job->cancel);
            if (job->cancel) return;
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [job, self, identity, order = std::move(order)]() mutable {
                    if (!self || self->job_ != job) return; // a newer order replaced it
                    self->job_.reset();
                    self->apply(std::move(order), identity);
                    emit self->sortingChanged(false);
                },
                Qt::QueuedConnection);
        }).detach();
    }
    if (wasSorting != sorting()) emit sortingChanged(sorting());
}

void ResultModel::apply(std::vector<uint32_t> order, bool identity) {
    beginResetModel();
    if (identity) view_.showAll(totalRows());
    else view_.show(std::move(order));
    endResetModel();
    emit orderChanged();
}

QString ResultModel::rowsShownText() const {
    const qint64 total = totalRows();
    const QString unit = total == 1 ? QStringLiteral("row") : QStringLiteral("rows");
    if (filter_.isEmpty()) return QStringLiteral("%1 %2").arg(total).arg(unit);
    return QStringLiteral("%1 of %2 %3").arg(view_.count()).arg(total).arg(unit);
}

std::optional<grid::CellPosition> ResultModel::find(grid::CellPosition from, const QString& text, bool forward,
                                                    bool fromCurrent) const {
    if (!store_) return std::nullopt;
    return grid::findCell(
        *store_, [this](qint64 row) { return view_.storeRow(row); }, rowCount(), from, text, forward, fromCurrent);
}

void ResultModel::setNullText(const QString& text) {
    nullText_ = text;
    if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
}

QString ResultModel::cellText(int row, int column) const {
    if (!store_ || row < 0 || row >= rowCount()) return {};
    return store_->cellText(view_.storeRow(row), column);
}

std::optional<QString> ResultModel::storedCell(qint64 storeRow, int column) const {
    if (!store_ || storeRow < 0 || storeRow >= store_->rowCount() || store_->isNull(storeRow, column)) return std::nullopt;
    return store_->cellText(storeRow, column);
}

bool ResultModel::isNull(int row, int column) const {
    if (!store_ || row < 0 || row >= rowCount()) return false;
    return store_->isNull(view_.storeRow(row), column);
}

void ResultModel::forEachBlock(const std::function<void(const db::RowBlock&)>& f) const {
    if (!store_) return;
    db::RowBlock block;
    std::vector<uint32_t> rows;
    for (qint64 at = 0; at < view_.count(); at += kBlockRows) {
        const qint64 n = std::min<qint64>(kBlockRows, view_.count() - at);
        if (view_.isIdentity()) {
            rows.resize(size_t(n));
            std::iota(rows.begin(), rows.end(), uint32_t(at));
            store_->copyRows(rows.data(), rows.size(), block);
        } else {
            store_->copyRows(view_.order().data() + at, size_t(n), block);
        }
        f(block);
    }
}

size_t ResultModel::memoryUse() const { return (store_ ? size_t(store_->residentBytes()) : 0) + view_.memoryUse(); }

QString ResultModel::spillError() const { return store_ ? store_->spillError() : QString(); }

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
    return parent.isValid() ? 0 : int(std::min<qint64>(view_.count(), INT_MAX));
}

int ResultModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(fields_.size()); }

QString ResultModel::displayText(int row, int column) const {
    const auto at = store_->locate(view_.storeRow(row));
    if (at.first->isNull(at.second, column)) return nullText_;
    std::string_view t = at.first->text(at.second, column);
    if (isBinary(fields_[size_t(column)])) {
        const qint64 bytes = qint64(t.size() / 2);
        const bool more = bytes > kBinaryBytesShown;
        const QByteArray hex(t.data(), qsizetype(std::min<size_t>(t.size(), 2 * kBinaryBytesShown)));
        return QStringLiteral("0x%1%2 (%3)")
            .arg(QLatin1String(hex), more ? QStringLiteral("…") : QString(), sizeText(bytes));
    }
    bool cut = false;
    if (t.size() > kShownBytes) { // the start, cut between characters
        size_t end = kShownBytes;
        while (end > 0 && (static_cast<unsigned char>(t[end]) & 0xC0) == 0x80) --end;
        t = t.substr(0, end);
        cut = true;
    }
    QString s = QString::fromUtf8(t.data(), qsizetype(t.size()));
    if (cut) s += QStringLiteral("…");
    // one line in the grid: line breaks show as a symbol
    s.replace(QLatin1Char('\n'), QChar(0x21B5)).remove(QLatin1Char('\r'));
    return s;
}

QVariant ResultModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !store_) return {};
    switch (role) {
    case Qt::DisplayRole: return displayText(index.row(), index.column());
    case Qt::ToolTipRole: {
        if (isNull(index.row(), index.column())) return {};
        const QString s = displayText(index.row(), index.column());
        return s.size() > 60 ? s.left(2000) : QVariant();
    }
    case Qt::EditRole: return cellText(index.row(), index.column());
    case FullTextRole:
        if (isNull(index.row(), index.column())) return {};
        return isBinary(fields_[size_t(index.column())]) ? QStringLiteral("0x") + cellText(index.row(), index.column())
                                                         : cellText(index.row(), index.column());
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
    // the row's place in the fetched result: it stays with the row when sorted
    return section >= 0 && section < rowCount() ? view_.storeRow(section) + 1 : section + 1;
}
