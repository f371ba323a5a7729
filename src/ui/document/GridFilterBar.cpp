#include "document/GridFilterBar.h"

#include "common/ClearButton.h"
#include "run/ResultModel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

namespace {
constexpr int kApplyDelayMs = 150; // typing settles before a million rows are filtered

struct OpChoice {
    const char* caption;
    grid::FilterOp op;
};
const OpChoice kOps[] = {{"contains", grid::FilterOp::Contains}, {"=", grid::FilterOp::Equals},
                         {"<", grid::FilterOp::Less},             {">", grid::FilterOp::Greater},
                         {"is null", grid::FilterOp::IsNull},     {"is not null", grid::FilterOp::IsNotNull}};
} // namespace

GridFilterBar::GridFilterBar(ResultModel* model, QWidget* parent) : QWidget(parent), model_(model) {
    setObjectName(QStringLiteral("gridFilterBar"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(2, 2, 2, 2);
    outer->setSpacing(2);
    auto* top = new QHBoxLayout;
    quick_ = new QLineEdit(this);
    quick_->setObjectName(QStringLiteral("quickFilter"));
    quick_->setPlaceholderText(QStringLiteral("Filter rows: text in any column"));
    common::clearButtonWhenTyped(quick_);
    auto* add = new QToolButton(this);
    add->setObjectName(QStringLiteral("addCondition"));
    add->setText(QStringLiteral("+"));
    add->setToolTip(QStringLiteral("Add a condition on one column"));
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("filterCount"));
    top->addWidget(quick_, 1);
    top->addWidget(add);
    top->addWidget(count_);
    outer->addLayout(top);
    rows_ = new QVBoxLayout;
    rows_->setSpacing(2);
    outer->addLayout(rows_);
    delay_ = new QTimer(this);
    delay_->setSingleShot(true);
    delay_->setInterval(kApplyDelayMs);
    connect(delay_, &QTimer::timeout, this, &GridFilterBar::apply);
    connect(quick_, &QLineEdit::textChanged, this, &GridFilterBar::schedule);
    connect(add, &QToolButton::clicked, this, [this] { addCondition(); });
    connect(model_, &ResultModel::totalRowsChanged, this, &GridFilterBar::updateCount);
    connect(model_, &QAbstractItemModel::modelReset, this, &GridFilterBar::updateCount);
    updateCount();
}

GridFilterBar::ConditionRow GridFilterBar::addCondition(int column) {
    ConditionRow c;
    c.row = new QWidget(this);
    auto* l = new QHBoxLayout(c.row);
    l->setContentsMargins(0, 0, 0, 0);
    c.column = new QComboBox(c.row);
    for (const db::Field& f : model_->fields()) c.column->addItem(f.name);
    c.column->setCurrentIndex(column);
    c.op = new QComboBox(c.row);
    for (const OpChoice& o : kOps) c.op->addItem(QString::fromLatin1(o.caption));
    c.value = new QLineEdit(c.row);
    c.value->setPlaceholderText(QStringLiteral("value"));
    auto* remove = new QToolButton(c.row);
    remove->setText(QStringLiteral("×"));
    remove->setToolTip(QStringLiteral("Remove this condition"));
    l->addWidget(c.column);
    l->addWidget(c.op);
    l->addWidget(c.value, 1);
    l->addWidget(remove);
    rows_->addWidget(c.row);
    conditions_.push_back(c);
    connect(c.column, &QComboBox::currentIndexChanged, this, &GridFilterBar::schedule);
    connect(c.op, &QComboBox::currentIndexChanged, this, [this, c] {
        const auto op = kOps[c.op->currentIndex()].op;
        c.value->setEnabled(op != grid::FilterOp::IsNull && op != grid::FilterOp::IsNotNull);
        schedule();
    });
    connect(c.value, &QLineEdit::textChanged, this, &GridFilterBar::schedule);
    QWidget* row = c.row;
    connect(remove, &QToolButton::clicked, this, [this, row] {
        conditions_.erase(std::remove_if(conditions_.begin(), conditions_.end(),
                                         [row](const ConditionRow& r) { return r.row == row; }),
                          conditions_.end());
        row->deleteLater();
        apply();
    });
    c.value->setFocus();
    return c;
}

grid::RowFilter GridFilterBar::currentFilter() const {
    grid::RowFilter filter;
    filter.quick = quick_->text();
    for (const ConditionRow& c : conditions_) {
        const grid::FilterOp op = kOps[std::max(0, c.op->currentIndex())].op;
        const bool needsValue = op != grid::FilterOp::IsNull && op != grid::FilterOp::IsNotNull;
        if (needsValue && c.value->text().isEmpty() && op == grid::FilterOp::Contains) continue;
        filter.conditions.push_back({c.column->currentIndex(), op, needsValue ? c.value->text() : QString()});
    }
    return filter;
}

void GridFilterBar::schedule() { delay_->start(); }

void GridFilterBar::apply() {
    delay_->stop();
    model_->setFilter(currentFilter());
    updateCount();
}

void GridFilterBar::clear() {
    delay_->stop();
    const QSignalBlocker block(quick_);
    quick_->clear();
    for (const ConditionRow& c : conditions_) delete c.row;
    conditions_.clear();
    updateCount();
}

QString GridFilterBar::rowsText() const { return model_->rowsShownText(); }

void GridFilterBar::setActivity(const QString& text) {
    activity_ = text;
    updateCount();
}

void GridFilterBar::updateCount() {
    count_->setText(activity_.isEmpty() ? rowsText() : rowsText() + QStringLiteral(" · ") + activity_);
    emit rowsTextChanged(rowsText());
}
