#pragma once
// A query plan (PlanTree) as an item model for the "Plan" tab: one row per
// step, its children under it; columns for the step, the table, estimated
// and actual rows, cost, time, loops and the step's own share of the plan.
// The costliest steps are drawn bold in the failure colour. The model reads
// the tree's flat array: a plan of thousands of steps costs no items.

#include "plan/PlanTree.h"

#include <QAbstractItemModel>

class PlanModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Column { StepColumn, TableColumn, EstimatedColumn, ActualColumn, CostColumn, TimeColumn, LoopsColumn,
                  ShareColumn, ColumnCount };

    explicit PlanModel(QObject* parent = nullptr) : QAbstractItemModel(parent) {}

    void setPlan(PlanTree plan);
    const PlanTree& plan() const { return plan_; }
    // The step a row shows.
    const PlanNode* nodeAt(const QModelIndex& index) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const std::vector<int>& childrenOf(int node) const; // -1: the roots
    int rowOf(int node) const;

    PlanTree plan_;
    std::vector<int> rows_; // each node's row under its parent
};
