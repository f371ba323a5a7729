#include "editing/GridEditor.h"

#include "editing/CellEditDelegate.h"
#include "editing/EditedResultModel.h"
#include "run/ResultModel.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QTableView>

#include <algorithm>
#include <set>

GridEditor::GridEditor(QTableView* view, ResultModel* results)
    : QObject(view), view_(view), results_(results), model_(new EditedResultModel(results, this)) {
    view_->setItemDelegate(new CellEditDelegate(
        view_->itemDelegate(), [this]() -> const std::vector<db::Field>& { return fields(); }, this));
    view_->installEventFilter(this);
    connect(model_, &EditedResultModel::cellEdited, this, &GridEditor::stateChanged);
}

GridEditor::~GridEditor() = default;

void GridEditor::clear(const QString& readOnlyReason) { setTarget(edit::EditTarget::readOnly(readOnlyReason)); }

void GridEditor::showModel(QAbstractItemModel* model) {
    if (view_->model() == model) return;
    const QModelIndex current = view_->currentIndex();
    view_->setModel(model);
    if (current.isValid()) view_->setCurrentIndex(model->index(current.row(), current.column()));
}

void GridEditor::setTarget(edit::EditTarget target) {
    model_->setChanges(nullptr);
    target_ = std::move(target);
    changes_.reset();
    fields_ = results_->fields();
    if (target_.editable()) {
        ResultModel* results = results_;
        const int shown = int(fields_.size());
        if (!target_.rowIds.empty()) {
            db::Field rowid;
            rowid.name = target_.columns.back();
            rowid.type = db::FieldType::BigInt;
            fields_.push_back(rowid);
        }
        changes_ = std::make_unique<edit::ChangeSet>(
            int(fields_.size()), results_->totalRows(), [results, shown, ids = target_.rowIds](qint64 row, int column) {
                if (column < shown) return results->storedCell(row, column);
                return size_t(row) < ids.size() ? edit::Value(ids[size_t(row)]) : edit::Value();
            });
        model_->setChanges(changes_.get());
    }
    // A read-only grid shows the results as they are; an editable one through the edits.
    showModel(isEditable() ? static_cast<QAbstractItemModel*>(model_) : results_);
    view_->setEditTriggers(isEditable() ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                              QAbstractItemView::AnyKeyPressed
                                        : QAbstractItemView::NoEditTriggers);
    emit stateChanged();
}

void GridEditor::changed() {
    model_->refresh();
    emit stateChanged();
}

std::vector<qint64> GridEditor::selectedRows() const {
    std::set<int> shown;
    for (const QModelIndex& i : view_->selectionModel()->selectedIndexes()) shown.insert(i.row());
    if (shown.empty() && view_->currentIndex().isValid()) shown.insert(view_->currentIndex().row());
    std::vector<qint64> rows;
    for (int r : shown) rows.push_back(model_->changeRow(r));
    return rows;
}

void GridEditor::setNull() {
    if (!isEditable()) return;
    std::vector<edit::ChangeSet::CellEdit> edits;
    QModelIndexList cells = view_->selectionModel()->selectedIndexes();
    if (cells.isEmpty() && view_->currentIndex().isValid()) cells << view_->currentIndex();
    for (const QModelIndex& i : cells)
        if (model_->flags(i) & Qt::ItemIsEditable) edits.push_back({model_->changeRow(i.row()), i.column(), std::nullopt});
    changes_->setCells(edits);
    changed();
}

void GridEditor::insertRow() {
    if (!isEditable()) return;
    const qint64 row = changes_->insertRow();
    changed();
    showRow(row);
}

void GridEditor::duplicateRows() {
    if (!isEditable()) return;
    qint64 last = -1;
    for (qint64 row : selectedRows()) {
        // every cell but the key, which a copy cannot share
        std::map<int, edit::Value> cells;
        for (int c = 0; c < changes_->columnCount(); ++c)
            if (!target_.isKey(c)) cells[c] = changes_->value(row, c);
        last = changes_->insertRow(cells);
    }
    changed();
    if (last >= 0) showRow(last);
}

void GridEditor::deleteRows() {
    if (!isEditable()) return;
    const std::vector<qint64> rows = selectedRows();
    const bool allMarked = !rows.empty() && std::all_of(rows.begin(), rows.end(), [this](qint64 r) {
        return changes_->isDeleted(r);
    });
    changes_->setDeleted(rows, !allMarked);
    changed();
}

bool GridEditor::paste(const QString& text) {
    const QModelIndex at = view_->currentIndex();
    if (!isEditable() || !at.isValid() || text.isEmpty()) return false;
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() > 1 && lines.last().isEmpty()) lines.removeLast(); // the line end after the last row
    // Lines past the last row go into rows inserted for them.
    const int shown = model_->rowCount();
    const int added = std::max(0, at.row() + int(lines.size()) - shown);
    const qint64 firstAdded = changes_->rowCount();
    std::vector<edit::ChangeSet::CellEdit> edits;
    for (int l = 0; l < lines.size(); ++l) {
        QString line = lines[l];
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        const QStringList cells = line.split(QLatin1Char('\t'));
        const int viewRow = at.row() + l;
        for (int c = 0; c < cells.size() && at.column() + c < model_->columnCount(); ++c) {
            const int column = at.column() + c;
            if (viewRow >= shown)
                edits.push_back({firstAdded + (viewRow - shown), column, cells[c]});
            else if (const QModelIndex i = model_->index(viewRow, column); model_->flags(i) & Qt::ItemIsEditable)
                edits.push_back({model_->changeRow(viewRow), column, cells[c]});
        }
    }
    if (edits.empty()) return false;
    changes_->setCells(edits, added);
    changed();
    return true;
}

std::optional<edit::Value> GridEditor::currentValue() const {
    const QModelIndex i = view_->currentIndex();
    if (!i.isValid()) return std::nullopt;
    const QVariant v = i.data(ResultModel::FullTextRole);
    if (v.isNull()) return edit::Value();
    QString text = v.toString();
    if (currentIsBinary() && text.startsWith(QLatin1String("0x"))) text.remove(0, 2);
    return edit::Value(text);
}

bool GridEditor::setCurrentValue(const edit::Value& value) {
    const QModelIndex i = view_->currentIndex();
    if (!isEditable() || !i.isValid() || !(model_->flags(i) & Qt::ItemIsEditable)) return false;
    changes_->setCells({{model_->changeRow(i.row()), i.column(), value}});
    changed();
    return true;
}

bool GridEditor::currentIsBinary() const {
    const int c = view_->currentIndex().column();
    if (c < 0 || c >= int(fields().size())) return false;
    const db::FieldType t = fields()[size_t(c)].type;
    return t == db::FieldType::Binary || t == db::FieldType::VarBinary || t == db::FieldType::LongVarBinary;
}

void GridEditor::undo() {
    if (changes_ && changes_->undo()) changed();
}

void GridEditor::redo() {
    if (changes_ && changes_->redo()) changed();
}

void GridEditor::discard() {
    if (!changes_) return;
    changes_->discard();
    changed();
}

void GridEditor::accepted(const std::map<qint64, std::vector<edit::Value>>& readBack) {
    if (!changes_) return;
    changes_->accepted(readBack);
    changed();
}

void GridEditor::showRow(qint64 changeRow) {
    int shown = model_->shownInsertedRow(changeRow);
    for (int r = 0; shown < 0 && r < results_->rowCount(); ++r)
        if (results_->storeRow(r) == changeRow) shown = r;
    if (shown < 0) return;
    const QModelIndex i = model_->index(shown, std::max(0, view_->currentIndex().column()));
    view_->setCurrentIndex(i);
    view_->scrollTo(i);
}

bool GridEditor::handlesKey(int key, Qt::KeyboardModifiers m) const {
    const bool ctrl = m == Qt::ControlModifier, plain = m == Qt::NoModifier;
    return (ctrl && (key == Qt::Key_0 || key == Qt::Key_S || key == Qt::Key_Z || key == Qt::Key_Y || key == Qt::Key_V)) ||
           (m == (Qt::ControlModifier | Qt::ShiftModifier) && key == Qt::Key_Z) ||
           (plain && (key == Qt::Key_Insert || key == Qt::Key_Delete));
}

bool GridEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched != view_ || !isEditable()) // a cell's open editor has the keys itself
        return QObject::eventFilter(watched, event);
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers m = key->modifiers() & ~Qt::KeypadModifier;
    if (!handlesKey(key->key(), m)) return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::ShortcutOverride) { // the grid's keys win over the window's shortcuts
        event->accept();
        return true;
    }
    switch (key->key()) {
    case Qt::Key_0: setNull(); break;
    case Qt::Key_S: emit saveRequested(); break;
    case Qt::Key_Z: m & Qt::ShiftModifier ? redo() : undo(); break;
    case Qt::Key_Y: redo(); break;
    case Qt::Key_V: paste(QApplication::clipboard()->text()); break;
    case Qt::Key_Insert: insertRow(); break;
    case Qt::Key_Delete: deleteRows(); break;
    default: break;
    }
    return true;
}
