#pragma once
// The rows of the History tab: one per run, newest first, with the time, the
// connection, the duration, the rows, how the run ended and the script's
// first line; the tooltip shows the script.

#include "store/HistoryStore.h"

#include <QAbstractTableModel>
#include <QIcon>

#include <vector>

class HistoryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { TimeColumn, ConnectionColumn, DurationColumn, RowsColumn, OutcomeColumn, TextColumn, ColumnCount };

    explicit HistoryModel(QObject* parent = nullptr);

    void setEntries(std::vector<HistoryEntry> entries);
    // Takes the entries with these ids out of the list.
    void removeIds(const std::vector<qint64>& ids);
    const HistoryEntry* entryAt(int row) const;
    int rowOfId(qint64 id) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // What the cells show, for the view and for tests.
    static QString durationText(qint64 milliseconds);
    static QString firstLine(const HistoryEntry& entry);
    static QString toolTip(const HistoryEntry& entry);
    static bool isFailure(const HistoryEntry& entry);

private:
    std::vector<HistoryEntry> entries_;
    QIcon failedIcon_;
};
