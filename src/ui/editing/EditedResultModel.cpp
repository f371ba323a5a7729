#include "editing/EditedResultModel.h"

#include "common/Theme.h"
#include "run/ResultModel.h"
#include "settings/Settings.h"

#include <QFont>

namespace {
constexpr int kShownChars = 200; // an edited long value shows by its start, as fetched ones do

bool isBinary(db::FieldType t) {
    return t == db::FieldType::Binary || t == db::FieldType::VarBinary || t == db::FieldType::LongVarBinary;
}
} // namespace

EditedResultModel::EditedResultModel(ResultModel* source, QObject* parent) : QAbstractTableModel(parent), source_(source) {
    forwardSignals();
}

void EditedResultModel::forwardSignals() {
    // A sort or filter reorders the fetched rows: the views start afresh.
    connect(source_, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
    connect(source_, &QAbstractItemModel::modelReset, this, [this] {
        shownAdded_ = addedRows();
        endResetModel();
    });
    connect(source_, &QAbstractItemModel::layoutAboutToBeChanged, this, [this] { beginResetModel(); });
    connect(source_, &QAbstractItemModel::layoutChanged, this, [this] { endResetModel(); });
    connect(source_, &QAbstractItemModel::rowsAboutToBeInserted, this,
            [this](const QModelIndex&, int first, int last) { beginInsertRows(QModelIndex(), first, last); });
    connect(source_, &QAbstractItemModel::rowsInserted, this, [this] { endInsertRows(); });
    connect(source_, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& a, const QModelIndex& b, const QList<int>& roles) {
                emit dataChanged(index(a.row(), a.column()), index(b.row(), b.column()), roles);
            });
    connect(source_, &QAbstractItemModel::headerDataChanged, this, &QAbstractItemModel::headerDataChanged);
}

void EditedResultModel::setChanges(edit::ChangeSet* changes) {
    beginResetModel();
    changes_ = changes;
    shownAdded_ = addedRows();
    endResetModel();
}

int EditedResultModel::addedRows() const { return changes_ ? int(changes_->rowCount() - changes_->fetchedRows()) : 0; }

qint64 EditedResultModel::changeRow(int row) const {
    const int fetched = source_->rowCount();
    return row < fetched ? source_->storeRow(row) : (changes_ ? changes_->fetchedRows() : 0) + (row - fetched);
}

int EditedResultModel::shownInsertedRow(qint64 changeRow) const {
    if (!changes_ || changeRow < changes_->fetchedRows()) return -1;
    return source_->rowCount() + int(changeRow - changes_->fetchedRows());
}

void EditedResultModel::refresh() {
    const int fetched = source_->rowCount();
    const int added = addedRows();
    if (added > shownAdded_) {
        beginInsertRows(QModelIndex(), fetched + shownAdded_, fetched + added - 1);
        shownAdded_ = added;
        endInsertRows();
    } else if (added < shownAdded_) {
        beginRemoveRows(QModelIndex(), fetched + added, fetched + shownAdded_ - 1);
        shownAdded_ = added;
        endRemoveRows();
    }
    if (rowCount() > 0 && columnCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
}

int EditedResultModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : source_->rowCount() + shownAdded_;
}

int EditedResultModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : source_->columnCount(); }

QVariant EditedResultModel::changedData(qint64 row, int column, int role) const {
    const edit::Value v = changes_->value(row, column);
    const db::Field& field = source_->fields()[size_t(column)];
    switch (role) {
    case Qt::DisplayRole:
        if (!v) return settings::current().nullMarker();
        if (isBinary(field.type)) return QStringLiteral("0x") + v->left(kShownChars);
        return v->size() > kShownChars ? v->left(kShownChars) + QStringLiteral("…") : *v;
    case Qt::EditRole: return v.value_or(QString());
    case ResultModel::FullTextRole:
        if (!v) return {};
        return isBinary(field.type) ? QStringLiteral("0x") + *v : *v;
    case ResultModel::IsNullRole: return !v.has_value();
    case Qt::TextAlignmentRole:
        return db::isNumberType(field.type) ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                            : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ToolTipRole: {
        if (!changes_->isEdited(row, column) || changes_->isInserted(row)) return {};
        const edit::Value was = changes_->savedValue(row, column);
        return QStringLiteral("was: %1").arg(was ? was->left(kShownChars) : settings::current().nullMarker());
    }
    default: return {};
    }
}

QVariant EditedResultModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int fetched = source_->rowCount();
    if (!changes_) return index.row() < fetched ? source_->data(source_->index(index.row(), index.column()), role) : QVariant();
    const qint64 row = changeRow(index.row());
    const int column = index.column();
    using Role = Theme::Role;
    if (role == Qt::BackgroundRole) {
        if (changes_->isDeleted(row) || changes_->isGone(row)) return themeColour(Role::DeletedRowPaper);
        if (changes_->isInserted(row)) return themeColour(Role::InsertedRowPaper);
        if (changes_->isEdited(row, column)) return themeColour(Role::EditedCellPaper);
        return {};
    }
    if (role == Qt::FontRole) {
        if (!changes_->isDeleted(row) && !changes_->isGone(row)) return {};
        QFont f;
        f.setStrikeOut(true);
        return f;
    }
    if (index.row() >= fetched || changes_->differsFromFetched(row, column)) return changedData(row, column, role);
    return source_->data(source_->index(index.row(), column), role);
}

bool EditedResultModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!changes_ || !index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
    const edit::Value v = value.isValid() ? edit::Value(value.toString()) : std::nullopt;
    changes_->setCells({{changeRow(index.row()), index.column(), v}});
    refresh();
    emit cellEdited();
    return true;
}

Qt::ItemFlags EditedResultModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (!changes_ || !index.isValid()) return f;
    const qint64 row = changeRow(index.row());
    if (!changes_->isDeleted(row) && !changes_->isGone(row)) f |= Qt::ItemIsEditable;
    return f;
}

QVariant EditedResultModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical && role == Qt::DisplayRole && section >= source_->rowCount())
        return QStringLiteral("*%1").arg(section - source_->rowCount() + 1);
    return source_->headerData(section, orientation, role);
}
