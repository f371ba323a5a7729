#include "document/ResultPanes.h"

#include "base/Memory.h"
#include "document/PlanView.h"
#include "document/ResultGrid.h"
#include "document/ResultTextView.h"
#include "editor/SqlEditor.h"
#include "run/ResultModel.h"

#include <QStackedWidget>

namespace {
constexpr int kWidenIntervalMs = 1000; // how often a streaming grid widens its columns
constexpr int kLastRowsSample = 400;   // rows at the end measured when a run finishes
} // namespace

ResultPanes::ResultPanes(QWidget* parent) : QTabWidget(parent) {
    setObjectName(QStringLiteral("resultTabs"));
    setDocumentMode(true);
    stack_ = new QStackedWidget(this);
    grid_ = new ResultGrid(stack_);
    grid_->setObjectName(QStringLiteral("resultGrid"));
    text_ = new ResultTextView(stack_);
    text_->setObjectName(QStringLiteral("resultText"));
    stack_->addWidget(grid_);
    stack_->addWidget(text_);
    messages_ = new SqlEditor(this);
    messages_->setObjectName(QStringLiteral("messagePane"));
    messages_->setReadOnly(true);
    messages_->setSyntaxColouring(false);
    messages_->setMarginsVisible(false);
    messages_->setCaretLineVisible(false);
    extended_ = new ResultTextView(this);
    extended_->setObjectName(QStringLiteral("extendedPane"));
    addTab(stack_, QIcon(QStringLiteral(":/icons/grid.svg")), QStringLiteral("&Results"));
    addTab(messages_, QStringLiteral("&Messages"));
    addTab(extended_, QStringLiteral("&Extended Recordsets"));
    setTabVisible(ExtendedTab, false);
    plan_ = new PlanView(this);
    addTab(plan_, QStringLiteral("&Plan"));
    setTabVisible(PlanTab, false);
    connect(this, &QTabWidget::currentChanged, this, [this](int index) {
        if (tabText(index) == QLatin1String("&Results")) showResultsPane();
    });
}

void ResultPanes::setResultsInText(bool text) {
    inText_ = text;
    setTabIcon(ResultsTab, QIcon(inText_ ? QStringLiteral(":/icons/text.svg") : QStringLiteral(":/icons/grid.svg")));
    emit modeChanged(inText_);
}

void ResultPanes::showResultsPane() { stack_->setCurrentWidget(inText_ ? static_cast<QWidget*>(text_) : grid_); }

void ResultPanes::setExtendedVisible(bool visible) { setTabVisible(ExtendedTab, visible); }

void ResultPanes::setMessage(const QString& text) { messages_->setText(text); }

void ResultPanes::showMessage(const QString& text, bool hideResults) {
    setMessage(text);
    if (hideResults) setTabVisible(ResultsTab, false);
    setTabVisible(MessagesTab, true);
    setCurrentIndex(MessagesTab);
}

void ResultPanes::appendMessage(const QString& line) {
    const QString before = messages_->text();
    const bool newLine = before.isEmpty() || before.endsWith(QLatin1Char('\n'));
    messages_->appendText((newLine ? QString() : QStringLiteral("\r\n")) + line + QStringLiteral("\r\n"));
    setTabVisible(MessagesTab, true);
}

void ResultPanes::startRun() {
    setTabVisible(ResultsTab, true);
    setTabVisible(MessagesTab, true);
    setExtendedVisible(false);
    messages_->setSyntaxColouring(true);
    setMessage(QStringLiteral("Working..."));
    if (inText_)
        text_->clear();
    else
        clearGrid();
    setCurrentIndex(ResultsTab);
    showResultsPane();
}

void ResultPanes::startGrid(const std::vector<db::Field>& fields) {
    grid_->resultModel()->reset(fields);
    sizedOnce_ = false;
}

void ResultPanes::appendRows(const std::shared_ptr<db::RowBlock>& rows) {
    ResultModel* model = grid_->resultModel();
    const int first = model->rowCount();
    model->appendRows(rows);
    if (!sizedOnce_) {
        grid_->sizeColumns();
        sizedOnce_ = true;
        sinceWidened_.start();
    } else if (sinceWidened_.elapsed() > kWidenIntervalMs) {
        grid_->widenColumns(first, rows->rowCount());
        sinceWidened_.restart();
    }
}

ResultTextView* ResultPanes::textPaneFor(Pane pane) const {
    switch (pane) {
    case Pane::Results: return text_;
    case Pane::Extended: return extended_;
    default: return nullptr; // the message pane is written whole (setMessage)
    }
}

void ResultPanes::appendText(Pane pane, const QString& text) {
    if (ResultTextView* v = textPaneFor(pane)) v->append(text);
}

void ResultPanes::appendTextRows(Pane pane, const std::shared_ptr<db::RowBlock>& rows, const TextWidths& widths) {
    (pane == Pane::Extended ? extended_ : text_)->appendRows(rows, widths);
}

void ResultPanes::clearPane(Pane pane) {
    if (ResultTextView* v = textPaneFor(pane)) v->clear();
}

void ResultPanes::clearResults() {
    clearGrid();
    text_->clear();
    extended_->clear();
}

void ResultPanes::clearGrid() {
    ResultModel* model = grid_->resultModel();
    const bool large = model->memoryUse() > (size_t(1) << 20);
    model->clear();
    if (large) memory::releaseFreed();
}

void ResultPanes::finishRun(bool failed, bool extendedResults) {
    if (!inText_) {
        ResultModel* model = grid_->resultModel();
        if (sizedOnce_) // widen for the last rows; never narrow what the user has been looking at
            grid_->widenColumns(std::max(0, model->rowCount() - kLastRowsSample), kLastRowsSample);
        else
            grid_->sizeColumns();
    }
    if (failed) {
        setCurrentIndex(MessagesTab);
    } else {
        setCurrentIndex(ResultsTab);
        showResultsPane();
    }
    if (extendedResults) setExtendedVisible(true);
}

void ResultPanes::showPlan(PlanTree plan) {
    plan_->setPlan(std::move(plan));
    setTabVisible(PlanTab, true);
    setCurrentIndex(PlanTab);
}
