#pragma once
// The edits a user made to a result and has not saved: changed cells,
// inserted rows and rows marked for deletion, with undo and redo of each
// step. Nothing here reaches a server; SaveStatements turns a change set
// into statements and ChangeSaver runs them.
//
// Rows are numbered as the fetched result numbers them (0 …), inserted rows
// after the fetched ones. Values are text as the grid holds them (binary
// values as hex digits), std::nullopt for NULL. After a save the saved
// values become the rows' values (accepted()); the fetched rows themselves
// are never changed, so the caller hands in a reader for them.

#include <QString>

#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace edit {

using Value = std::optional<QString>;

class ChangeSet {
public:
    // fetched(row, column): the value the result holds.
    ChangeSet(int columns, qint64 fetchedRows, std::function<Value(qint64, int)> fetched);

    int columnCount() const { return columns_; }
    qint64 fetchedRows() const { return fetchedRows_; }
    // Fetched rows and every inserted row (saved or not).
    qint64 rowCount() const { return fetchedRows_ + inserted_; }

    // ---- what the grid shows ----
    Value value(qint64 row, int column) const;
    // The value as last read or saved, before the pending edits.
    Value savedValue(qint64 row, int column) const;
    bool isEdited(qint64 row, int column) const;
    // The value shown is not the fetched one (edited, saved, or an inserted row's).
    bool differsFromFetched(qint64 row, int column) const {
        return row >= fetchedRows_ || saved_.count(row) || isEdited(row, column);
    }
    bool isInserted(qint64 row) const;  // inserted and not yet saved
    bool isDeleted(qint64 row) const;   // marked for deletion
    bool isGone(qint64 row) const;      // deleted by a save
    bool hasChanges() const { return !pending_.empty(); }
    // "2 changed, 1 inserted, 1 deleted"
    QString summary() const;

    // ---- changes; each call is one undo step ----
    struct CellEdit {
        qint64 row;
        int column;
        Value value;
    };
    // Edits of rows that are gone are ignored. With appendRows, that many
    // rows are inserted first, in the same step, numbered from rowCount() on
    // as it was (a paste that runs past the last row).
    void setCells(const std::vector<CellEdit>& edits, qint64 appendRows = 0);
    // Appends a row (with the given cells set) and returns its number.
    qint64 insertRow(const std::map<int, Value>& cells = {});
    // Marks rows for deletion (or takes the mark away); an unsaved inserted
    // row marked for deletion is simply not inserted.
    void setDeleted(const std::vector<qint64>& rows, bool deleted);
    bool undo();
    bool redo();
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    // Drops every pending change (and the undo history).
    void discard();

    // ---- saving ----
    struct RowChange {
        std::map<int, Value> cells; // edited cells
        bool inserted = false;
        bool deleted = false;
    };
    // The rows with pending changes, by row number.
    const std::map<qint64, RowChange>& pending() const { return pending_; }
    // The pending changes were saved: rows read back from the server (whole
    // rows, by row number) become the rows' values, other changed rows keep
    // their edited values, deleted rows are gone.
    void accepted(const std::map<qint64, std::vector<Value>>& readBack);

private:
    struct Step {
        std::map<qint64, std::optional<RowChange>> before, after;
        qint64 insertedBefore = 0, insertedAfter = 0;
    };
    // Records the states of rows before a step changes them.
    void remember(Step& step, qint64 row) const;
    void finish(Step step);
    void apply(const std::map<qint64, std::optional<RowChange>>& states, qint64 inserted);
    const RowChange* change(qint64 row) const;

    int columns_;
    qint64 fetchedRows_;
    std::function<Value(qint64, int)> fetched_;
    qint64 inserted_ = 0;
    std::map<qint64, RowChange> pending_;
    std::map<qint64, std::vector<Value>> saved_; // values a save wrote (or read back)
    std::map<qint64, bool> gone_;
    std::vector<Step> undo_, redo_;
};

} // namespace edit
