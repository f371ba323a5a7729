#include "document/PlanModel.h"

#include "common/Theme.h"

#include <QFont>

#include <cmath>

namespace {

QString number(const std::optional<double>& v, int decimals = 0) {
    if (!v) return {};
    return QString::number(*v, 'f', *v == std::floor(*v) ? 0 : decimals);
}

} // namespace

void PlanModel::setPlan(PlanTree plan) {
    beginResetModel();
    plan_ = std::move(plan);
    rows_.assign(plan_.nodes.size(), 0);
    for (size_t i = 0; i < plan_.roots.size(); ++i) rows_[size_t(plan_.roots[i])] = int(i);
    for (const PlanNode& n : plan_.nodes)
        for (size_t i = 0; i < n.children.size(); ++i) rows_[size_t(n.children[i])] = int(i);
    endResetModel();
}

const PlanNode* PlanModel::nodeAt(const QModelIndex& index) const {
    return index.isValid() ? &plan_.nodes[size_t(index.internalId())] : nullptr;
}

const std::vector<int>& PlanModel::childrenOf(int node) const {
    return node < 0 ? plan_.roots : plan_.nodes[size_t(node)].children;
}

QModelIndex PlanModel::index(int row, int column, const QModelIndex& parent) const {
    const std::vector<int>& children = childrenOf(parent.isValid() ? int(parent.internalId()) : -1);
    if (row < 0 || row >= int(children.size()) || column < 0 || column >= ColumnCount) return {};
    return createIndex(row, column, quintptr(children[size_t(row)]));
}

QModelIndex PlanModel::parent(const QModelIndex& child) const {
    if (!child.isValid()) return {};
    const int parent = plan_.nodes[size_t(child.internalId())].parent;
    return parent < 0 ? QModelIndex() : createIndex(rows_[size_t(parent)], 0, quintptr(parent));
}

int PlanModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) return 0;
    return int(childrenOf(parent.isValid() ? int(parent.internalId()) : -1).size());
}

int PlanModel::columnCount(const QModelIndex&) const { return ColumnCount; }

QVariant PlanModel::data(const QModelIndex& index, int role) const {
    const PlanNode* n = nodeAt(index);
    if (!n) return {};
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case StepColumn: return n->operation;
        case TableColumn: return n->relation;
        case EstimatedColumn: return number(n->estimatedRows);
        case ActualColumn: return number(n->actualRows);
        case CostColumn: return number(n->cost, 2);
        case TimeColumn: return number(n->timeMs, 3);
        case LoopsColumn: return number(n->loops);
        case ShareColumn: return n->share > 0 ? QStringLiteral("%1%").arg(n->share * 100, 0, 'f', 1) : QString();
        default: return {};
        }
    case Qt::ToolTipRole: return n->detail.isEmpty() ? QVariant() : QVariant(n->detail);
    case Qt::TextAlignmentRole:
        return index.column() >= EstimatedColumn ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    case Qt::FontRole:
        if (n->costly) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::ForegroundRole: return n->costly ? QVariant(themeColour(Theme::Role::FailureText)) : QVariant();
    default: return {};
    }
}

QVariant PlanModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const captions[] = {"Step", "Table", "Estimated Rows", "Rows", "Cost", "Time (ms)", "Loops",
                                           "Share"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(captions[section]) : QVariant();
}
