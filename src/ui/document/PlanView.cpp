#include "document/PlanView.h"

#include "document/PlanModel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString summaryOf(const PlanTree& plan) {
    QStringList parts;
    parts << QStringLiteral("%1 step(s)").arg(plan.nodes.size());
    if (plan.planningMs) parts << QStringLiteral("planning %1 ms").arg(*plan.planningMs, 0, 'f', 3);
    if (plan.executionMs) parts << QStringLiteral("execution %1 ms").arg(*plan.executionMs, 0, 'f', 3);
    if (!plan.analyzed) parts << QStringLiteral("estimated, not run");
    return parts.join(QStringLiteral(", "));
}

} // namespace

PlanView::PlanView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("planView"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* bar = new QHBoxLayout;
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("planSummary"));
    textButton_ = new QPushButton(QStringLiteral("Show Text"), this);
    textButton_->setObjectName(QStringLiteral("planTextButton"));
    textButton_->setCheckable(true);
    bar->addWidget(summary_, 1);
    bar->addWidget(textButton_);
    layout->addLayout(bar);

    model_ = new PlanModel(this);
    tree_ = new QTreeView(this);
    tree_->setObjectName(QStringLiteral("planTree"));
    tree_->setModel(model_);
    tree_->setUniformRowHeights(true); // thousands of steps lay out at once
    tree_->setAlternatingRowColors(true);
    raw_ = new QPlainTextEdit(this);
    raw_->setObjectName(QStringLiteral("planText"));
    raw_->setReadOnly(true);
    raw_->setLineWrapMode(QPlainTextEdit::NoWrap);
    raw_->setFont(QFont(QStringLiteral("Monospace")));
    stack_ = new QStackedWidget(this);
    stack_->addWidget(tree_);
    stack_->addWidget(raw_);
    layout->addWidget(stack_, 1);
    connect(textButton_, &QPushButton::toggled, this, &PlanView::showText);
}

void PlanView::setPlan(PlanTree plan) {
    summary_->setText(summaryOf(plan));
    raw_->setPlainText(plan.rawText);
    model_->setPlan(std::move(plan));
    tree_->expandAll();
    // a column the server gave no number for (SQLite gives none) is left out
    const PlanTree& shown = model_->plan();
    auto any = [&](auto member) {
        return std::any_of(shown.nodes.begin(), shown.nodes.end(), [&](const PlanNode& n) { return bool(n.*member); });
    };
    tree_->setColumnHidden(PlanModel::EstimatedColumn, !any(&PlanNode::estimatedRows));
    tree_->setColumnHidden(PlanModel::ActualColumn, !any(&PlanNode::actualRows));
    tree_->setColumnHidden(PlanModel::CostColumn, !any(&PlanNode::cost));
    tree_->setColumnHidden(PlanModel::TimeColumn, !any(&PlanNode::timeMs));
    tree_->setColumnHidden(PlanModel::LoopsColumn, !any(&PlanNode::loops));
    tree_->setColumnHidden(PlanModel::ShareColumn,
                           std::none_of(shown.nodes.begin(), shown.nodes.end(), [](const PlanNode& n) { return n.share > 0; }));
    for (int c = 0; c < PlanModel::ColumnCount; ++c) tree_->resizeColumnToContents(c);
    showText(textButton_->isChecked());
}

void PlanView::showText(bool text) {
    textButton_->setChecked(text);
    textButton_->setText(text ? QStringLiteral("Show Tree") : QStringLiteral("Show Text"));
    stack_->setCurrentWidget(text ? static_cast<QWidget*>(raw_) : tree_);
}
