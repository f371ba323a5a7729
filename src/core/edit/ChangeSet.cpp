#include "edit/ChangeSet.h"

#include <QStringList>

namespace edit {

ChangeSet::ChangeSet(int columns, qint64 fetchedRows, std::function<Value(qint64, int)> fetched)
    : columns_(columns), fetchedRows_(fetchedRows), fetched_(std::move(fetched)) {}

const ChangeSet::RowChange* ChangeSet::change(qint64 row) const {
    const auto it = pending_.find(row);
    return it == pending_.end() ? nullptr : &it->second;
}

Value ChangeSet::savedValue(qint64 row, int column) const {
    if (const auto it = saved_.find(row); it != saved_.end())
        return size_t(column) < it->second.size() ? it->second[size_t(column)] : Value();
    return row < fetchedRows_ ? fetched_(row, column) : Value();
}

Value ChangeSet::value(qint64 row, int column) const {
    if (const RowChange* c = change(row))
        if (const auto it = c->cells.find(column); it != c->cells.end()) return it->second;
    return savedValue(row, column);
}

bool ChangeSet::isEdited(qint64 row, int column) const {
    const RowChange* c = change(row);
    return c && c->cells.count(column);
}
bool ChangeSet::isInserted(qint64 row) const {
    const RowChange* c = change(row);
    return c && c->inserted;
}
bool ChangeSet::isDeleted(qint64 row) const {
    const RowChange* c = change(row);
    return c && c->deleted;
}
bool ChangeSet::isGone(qint64 row) const { return gone_.count(row) != 0; }

QString ChangeSet::summary() const {
    int changed = 0, inserted = 0, deleted = 0;
    for (const auto& [row, c] : pending_) {
        if (c.inserted) inserted += c.deleted ? 0 : 1;
        else if (c.deleted) ++deleted;
        else ++changed;
    }
    QStringList parts;
    if (changed) parts << QStringLiteral("%1 changed").arg(changed);
    if (inserted) parts << QStringLiteral("%1 inserted").arg(inserted);
    if (deleted) parts << QStringLiteral("%1 deleted").arg(deleted);
    return parts.isEmpty() ? QStringLiteral("no changes") : parts.join(QStringLiteral(", "));
}

void ChangeSet::remember(Step& step, qint64 row) const {
    if (step.before.count(row)) return;
    const RowChange* c = change(row);
    step.before[row] = c ? std::optional<RowChange>(*c) : std::nullopt;
}

void ChangeSet::finish(Step step) {
    for (auto& [row, state] : step.before) {
        const RowChange* c = change(row);
        step.after[row] = c ? std::optional<RowChange>(*c) : std::nullopt;
    }
    step.insertedAfter = inserted_;
    undo_.push_back(std::move(step));
    redo_.clear();
}

void ChangeSet::setCells(const std::vector<CellEdit>& edits, qint64 appendRows) {
    Step step;
    step.insertedBefore = inserted_;
    for (qint64 i = 0; i < appendRows; ++i) {
        const qint64 row = fetchedRows_ + inserted_++;
        remember(step, row);
        pending_[row].inserted = true;
    }
    for (const CellEdit& e : edits) {
        if (e.row < 0 || e.row >= rowCount() || e.column < 0 || e.column >= columns_ || isGone(e.row)) continue;
        remember(step, e.row);
        RowChange& c = pending_[e.row];
        // Typing the saved value back takes the edit away (an inserted row keeps every cell set).
        if (!c.inserted && e.value == savedValue(e.row, e.column))
            c.cells.erase(e.column);
        else
            c.cells[e.column] = e.value;
        if (!c.inserted && !c.deleted && c.cells.empty()) pending_.erase(e.row);
    }
    if (!step.before.empty()) finish(std::move(step));
}

qint64 ChangeSet::insertRow(const std::map<int, Value>& cells) {
    Step step;
    step.insertedBefore = inserted_;
    const qint64 row = fetchedRows_ + inserted_++;
    remember(step, row);
    RowChange& c = pending_[row];
    c.inserted = true;
    for (const auto& [column, value] : cells)
        if (column >= 0 && column < columns_) c.cells[column] = value;
    finish(std::move(step));
    return row;
}

void ChangeSet::setDeleted(const std::vector<qint64>& rows, bool deleted) {
    Step step;
    step.insertedBefore = inserted_;
    for (qint64 row : rows) {
        if (row < 0 || row >= rowCount() || isGone(row) || isDeleted(row) == deleted) continue;
        remember(step, row);
        RowChange& c = pending_[row];
        c.deleted = deleted;
        if (!c.inserted && !c.deleted && c.cells.empty()) pending_.erase(row);
    }
    if (!step.before.empty()) finish(std::move(step));
}

void ChangeSet::apply(const std::map<qint64, std::optional<RowChange>>& states, qint64 inserted) {
    for (const auto& [row, state] : states) {
        if (state) pending_[row] = *state;
        else pending_.erase(row);
    }
    inserted_ = inserted;
}

bool ChangeSet::undo() {
    if (undo_.empty()) return false;
    Step step = std::move(undo_.back());
    undo_.pop_back();
    apply(step.before, step.insertedBefore);
    redo_.push_back(std::move(step));
    return true;
}

bool ChangeSet::redo() {
    if (redo_.empty()) return false;
    Step step = std::move(redo_.back());
    redo_.pop_back();
    apply(step.after, step.insertedAfter);
    undo_.push_back(std::move(step));
    return true;
}

void ChangeSet::discard() {
    // Unsaved inserted rows go away with their edits; saved ones stay.
    while (inserted_ > 0 && isInserted(fetchedRows_ + inserted_ - 1)) --inserted_;
    pending_.clear();
    undo_.clear();
    redo_.clear();
}

void ChangeSet::accepted(const std::map<qint64, std::vector<Value>>& readBack) {
    for (const auto& [row, c] : pending_) {
        if (c.deleted) { // an inserted row deleted before saving was never written: gone all the same
            gone_[row] = true;
            continue;
        }
        if (const auto it = readBack.find(row); it != readBack.end()) {
            saved_[row] = it->second;
            continue;
        }
        auto values = std::vector<Value>(size_t(columns_));
        for (int col = 0; col < columns_; ++col) values[size_t(col)] = value(row, col);
        saved_[row] = values;
    }
    pending_.clear();
    undo_.clear();
    redo_.clear();
}

} // namespace edit
