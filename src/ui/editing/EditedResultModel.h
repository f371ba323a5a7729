#pragma once
// The grid's model while a result can be edited: the fetched rows as the
// result model shows them (sorted, filtered), with the pending edits laid
// over them, inserted rows after them, and the look of each state: an
// edited cell on its own paper, an inserted row on another, a row marked
// for deletion struck through. Without a change set it only passes the
// result model through.
//
// Cells take text (or an invalid QVariant for NULL) through setData(); each
// setData() is one undo step of the change set.

#include "edit/ChangeSet.h"

#include <QAbstractTableModel>

class ResultModel;

class EditedResultModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit EditedResultModel(ResultModel* source, QObject* parent = nullptr);

    ResultModel* source() const { return source_; }
    // The change set to show and edit (not owned); null: read-only.
    void setChanges(edit::ChangeSet* changes);
    edit::ChangeSet* changes() const { return changes_; }
    // The change set's row a shown row is.
    qint64 changeRow(int row) const;
    // The shown row of an inserted row (-1 for a fetched one).
    int shownInsertedRow(qint64 changeRow) const;
    // The change set changed (an edit, undo, a save): rows added or
    // removed at the end are announced, and every cell repaints.
    void refresh();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    // A cell was edited through setData() (the grid's cell editor).
    void cellEdited();

private:
    int addedRows() const;
    QVariant changedData(qint64 row, int column, int role) const;
    void forwardSignals();

    ResultModel* source_;
    edit::ChangeSet* changes_ = nullptr;
    int shownAdded_ = 0; // inserted rows the views know of
};
