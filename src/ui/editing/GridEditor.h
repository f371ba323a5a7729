#pragma once
// Editing attached to a result grid: once told what the result can be saved
// to (setTarget), the grid edits cells in place (double-click, F2 or typing),
// and its keys insert rows (Ins), mark rows for deletion (Del), set NULL
// (Ctrl+0), paste a tab-separated block (Ctrl+V), undo and redo (Ctrl+Z,
// Ctrl+Y) and ask for the save (Ctrl+S). Edited cells, inserted rows and
// rows marked for deletion show as such until saved or discarded.
//
// It holds the change set; saving it is its owner's (ResultEditing), since
// that needs the document's session.

#include "edit/ChangeSet.h"
#include "edit/EditTarget.h"

#include <QObject>

#include <memory>

class EditedResultModel;
class QAbstractItemModel;
class QTableView;
class ResultModel;

class GridEditor : public QObject {
    Q_OBJECT
public:
    // view shows results; the editor lives as long as the view.
    GridEditor(QTableView* view, ResultModel* results);
    ~GridEditor() override;

    // The grid holds a new result (or none): read-only, saying why.
    void clear(const QString& readOnlyReason);
    // What the result can be saved to; editable when the target is.
    void setTarget(edit::EditTarget target);
    const edit::EditTarget& target() const { return target_; }
    bool isEditable() const { return changes_ != nullptr; }
    QString readOnlyReason() const { return target_.readOnlyReason; }
    bool hasChanges() const { return changes_ && changes_->hasChanges(); }
    edit::ChangeSet* changes() const { return changes_.get(); }
    // The result's fields, and the hidden rowid's when rows are named by it.
    const std::vector<db::Field>& fields() const { return fields_; }
    QTableView* view() const { return view_; }

    // ---- commands on the current cell or the selected rows ----
    void setNull();
    void insertRow();
    void duplicateRows();
    // Marks the selected rows for deletion, or takes the mark away when
    // they all have it.
    void deleteRows();
    // Pastes tab-separated lines from the current cell on, inserting rows
    // for the lines past the last one (one undo step);
    // false when nothing could be pasted.
    bool paste(const QString& text);
    // The current cell's value, and setting it (a value loaded from a file).
    std::optional<edit::Value> currentValue() const;
    bool setCurrentValue(const edit::Value& value);
    bool currentIsBinary() const;
    void undo();
    void redo();
    // Restores the values as read or last saved.
    void discard();

    // A save went through: what the server returned becomes the rows' values.
    void accepted(const std::map<qint64, std::vector<edit::Value>>& readBack);
    // Makes a row of the change set current (a failed save names it).
    void showRow(qint64 changeRow);

signals:
    // Editable or not, changes pending or not, undo and redo possible or not.
    void stateChanged();
    void saveRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Rows of the change set under the selection (or the current cell).
    std::vector<qint64> selectedRows() const;
    void changed();
    // Puts model in the view (keeping the current cell).
    void showModel(QAbstractItemModel* model);
    bool handlesKey(int key, Qt::KeyboardModifiers modifiers) const;

    QTableView* view_;
    ResultModel* results_;
    EditedResultModel* model_;
    edit::EditTarget target_;
    std::vector<db::Field> fields_;
    std::unique_ptr<edit::ChangeSet> changes_;
};
