#pragma once
// The rows of the History tab: one per run, newest first, with the time, the
// script's first line, how the run ended, the rows, the duration and the
// connection (the script comes second so a narrow pane still shows it); the
// tooltip shows the whole script under the run's date, connection and
// database.

#include "store/HistoryStore.h"

#include <QAbstractTableModel>
#include <QIcon>

#include <vector>

class HistoryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { TimeColumn, TextColumn, OutcomeColumn, RowsColumn, DurationColumn, ConnectionColumn, ColumnCount };

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
    // The start in local time: the time alone for a run of today.
    static QString timeText(const QDateTime& started, const QDate& today = QDate::currentDate());
    static QString firstLine(const HistoryEntry& entry);
    static QString toolTip(const HistoryEntry& entry);
    static bool isFailure(const HistoryEntry& entry);

private:
    // The style's warning icon, asked for when a failed run is first shown
    // (the style searches the icon theme for it).
    const QIcon& failedIcon() const;

    std::vector<HistoryEntry> entries_;
    mutable QIcon failedIcon_;
};
