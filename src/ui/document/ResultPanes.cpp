#include "document/ResultPanes.h"

#include "document/PlanView.h"
#include "document/ResultFind.h"
#include "document/ResultGrid.h"
#include "document/ResultSetTabs.h"
#include "document/ResultTextView.h"
#include "editor/SqlEditor.h"
#include "run/ResultModel.h"

#include <QStackedWidget>

ResultPanes::ResultPanes(QWidget* parent) : QTabWidget(parent) {
    setObjectName(QStringLiteral("resultTabs"));
    setDocumentMode(true);
    stack_ = new QStackedWidget(this);
    sets_ = new ResultSetTabs(stack_);
    text_ = new ResultTextView(stack_);
    text_->setObjectName(QStringLiteral("resultText"));
    stack_->addWidget(sets_);
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
    find_ = new ResultFind(this);
    connect(this, &QTabWidget::currentChanged, this, [this](int index) {
        if (tabText(index) == QLatin1String("&Results")) showResultsPane();
        retargetFind();
    });
    connect(sets_, &QTabWidget::currentChanged, this, &ResultPanes::retargetFind);
}

QWidget* ResultPanes::paneInFront() const {
    if (currentWidget() == stack_) return inText_ ? static_cast<QWidget*>(text_) : currentGrid();
    if (currentWidget() == messages_) return messages_;
    if (currentWidget() == extended_) return extended_;
    return nullptr;
}

void ResultPanes::retargetFind() {
    if (!find_->isVisible()) return;
    if (QWidget* pane = paneInFront()) find_->setPane(pane);
}

void ResultPanes::setResultsInText(bool text) {
    inText_ = text;
    setTabIcon(ResultsTab, QIcon(inText_ ? QStringLiteral(":/icons/text.svg") : QStringLiteral(":/icons/grid.svg")));
    emit modeChanged(inText_);
}

ResultGrid* ResultPanes::grid() const { return sets_->grid(0); }
ResultGrid* ResultPanes::currentGrid() const { return sets_->currentGrid(); }

void ResultPanes::showResultsPane() { stack_->setCurrentWidget(inText_ ? static_cast<QWidget*>(text_) : sets_); }

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

// Each result set of a grid run gets its own tab: the first in the first
// tab, every further one in a tab of its own; the tabs size its columns.
void ResultPanes::startGrid(const std::vector<db::Field>& fields) { sets_->startSet(fields); }

void ResultPanes::appendRows(const std::shared_ptr<db::RowBlock>& rows) { sets_->appendRows(rows); }

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

void ResultPanes::clearGrid() { sets_->clear(); }

void ResultPanes::finishRun(bool failed, bool extendedResults) {
    if (!inText_) {
        sets_->finish(); // every set widened for its last rows; a sort asked for during the run applies now
        for (int set = 0; set < sets_->setCount(); ++set)
            if (const QString spill = sets_->grid(set)->resultModel()->spillError(); !spill.isEmpty()) {
                appendMessage(spill + QStringLiteral("\r\nThe rows stay in memory."));
                break;
            }
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
