#pragma once
// The filter above a result grid: a quick filter that any column may
// contain, and conditions on single columns (contains, =, <, >, is null,
// is not null) added with "+" and removed with their "×". It narrows the
// grid's shown rows as the user types and says "N of M rows".

#include "grid/RowFilter.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QTimer;
class QVBoxLayout;
class ResultModel;

class GridFilterBar : public QWidget {
    Q_OBJECT
public:
    GridFilterBar(ResultModel* model, QWidget* parent = nullptr);

    QLineEdit* quickFilter() const { return quick_; }
    // Adds a condition row (column, operation, value) and returns its parts.
    struct ConditionRow {
        QWidget* row;
        QComboBox* column;
        QComboBox* op;
        QLineEdit* value;
    };
    ConditionRow addCondition(int column = 0);
    const std::vector<ConditionRow>& conditions() const { return conditions_; }
    // "N of M rows", or "M rows" without a filter.
    QString rowsText() const;
    // Applies what the boxes say now (the boxes apply by themselves shortly after a change).
    void apply();
    // Empties the boxes (a new result set has other columns).
    void clear();
    // What the grid is doing ("Sorting…", "Sorted when all rows are in"),
    // shown after the row count; "" when nothing.
    void setActivity(const QString& text);

signals:
    void rowsTextChanged(const QString& text);

private:
    void schedule();
    grid::RowFilter currentFilter() const;
    void updateCount();

    ResultModel* model_;
    QLineEdit* quick_;
    QLabel* count_;
    QString activity_;
    QVBoxLayout* rows_;
    std::vector<ConditionRow> conditions_;
    QTimer* delay_;
};
