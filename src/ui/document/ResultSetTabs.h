#pragma once
// The grids of a run, one tab per result set: "Result 1 (N rows)", "Result
// 2 (N rows)", … The tab strip shows only when a run gave several sets, so
// a single result looks as it always did. Each tab is a filter bar over a
// grid; sorting, filtering, finding, copying and saving act on the tab in
// front.

#include "db/Field.h"
#include "db/RowBlock.h"

#include <QElapsedTimer>
#include <QTabWidget>

#include <memory>
#include <vector>

class GridFilterBar;
class ResultGrid;

class ResultSetTabs : public QTabWidget {
    Q_OBJECT
public:
    explicit ResultSetTabs(QWidget* parent = nullptr);

    int setCount() const { return count(); }
    ResultGrid* grid(int set) const;
    GridFilterBar* filterBar(int set) const;
    ResultGrid* currentGrid() const { return grid(std::max(0, currentIndex())); }

    // Drops every set (the first tab stays, empty) and gives the memory back.
    void clear();
    // A result set starts: the first in the first tab, every further one in a new tab.
    void startSet(const std::vector<db::Field>& fields);
    // Rows of the set started last. Its columns are sized from the first rows
    // and widened now and then from what came since.
    void appendRows(const std::shared_ptr<db::RowBlock>& rows);
    // The run ended: every set takes its last rows (a sort waiting for them
    // runs) and is widened for them.
    void finish();

signals:
    // What the grid in front is doing ("Sorting…"), or "" when nothing.
    void statusText(const QString& text);
    // A right-click on the grid of any set (globalPos on the screen).
    void popupRequested(const QPoint& globalPos);

private:
    struct SetState {
        bool sized = false;
        QElapsedTimer sinceWidened;
    };
    int addSetTab();
    void updateTitle(int set);

    std::vector<SetState> states_;
    int started_ = 0; // sets started since the last clear()
};
