#include "document/ResultPanes.h"

#include "common/ResourceIcon.h"
#include "document/PlanView.h"
#include "document/ResultFind.h"
#include "document/ResultGrid.h"
#include "document/ResultSetTabs.h"
#include "document/ResultTextView.h"
#include "editor/SqlEditor.h"
#include "run/ResultModel.h"

#include <QStackedWidget>
#include <QVBoxLayout>

ResultPanes::ResultPanes(QWidget* parent) : QTabWidget(parent) {
    setObjectName(QStringLiteral("resultTabs"));
    setDocumentMode(true);
    stack_ = new QStackedWidget(this);
    messages_ = new SqlEditor(this);
    messages_->setObjectName(QStringLiteral("messagePane"));
    messages_->setReadOnly(true);
    messages_->setSyntaxColouring(false);
    messages_->setMarginsVisible(false);
    messages_->setCaretLineVisible(false);
    extended_ = new ResultTextView(this);
    extended_->setObjectName(QStringLiteral("extendedPane"));
    addTab(stack_, common::resourceIcon(QStringLiteral("grid")), QStringLiteral("&Results"));
    addTab(messages_, QStringLiteral("&Messages"));
    addTab(extended_, QStringLiteral("&Extended Recordsets"));
    setTabVisible(ExtendedTab, false);
    planPage_ = new QWidget(this);
    auto* planLayout = new QVBoxLayout(planPage_);
    planLayout->setContentsMargins(0, 0, 0, 0);
    addTab(planPage_, QStringLiteral("&Plan"));
    setTabVisible(PlanTab, false);
    connect(this, &QTabWidget::currentChanged, this, [this](int index) {
        if (tabText(index) == QLatin1String("&Results")) showResultsPane();
        retargetFind();
    });
}

void ResultPanes::buildResults() const {
    if (sets_) return;
    sets_ = new ResultSetTabs(stack_);
    text_ = new ResultTextView(stack_);
    text_->setObjectName(QStringLiteral("resultText"));
    if (!fontFamily_.isEmpty()) text_->setEditorFont(fontFamily_, fontSize_);
    stack_->addWidget(sets_);
    stack_->addWidget(text_);
    auto* self = const_cast<ResultPanes*>(this);
    connect(sets_, &QTabWidget::currentChanged, self, &ResultPanes::retargetFind);
    emit self->resultsMade();
}

ResultSetTabs* ResultPanes::resultSets() const {
    buildResults();
    return sets_;
}

ResultTextView* ResultPanes::textPane() const {
    buildResults();
    return text_;
}

ResultFind* ResultPanes::finder() const {
    if (!find_) find_ = new ResultFind(const_cast<ResultPanes*>(this));
    return find_;
}

PlanView* ResultPanes::planView() const {
    if (!plan_) {
        plan_ = new PlanView(planPage_);
        planPage_->layout()->addWidget(plan_);
    }
    return plan_;
}

void ResultPanes::setPaneFont(const QString& family, const QString& size) {
    fontFamily_ = family;
    fontSize_ = size;
    messages_->setEditorFont(family, size);
    extended_->setEditorFont(family, size);
    if (text_) text_->setEditorFont(family, size);
}

QWidget* ResultPanes::paneInFront() const {
    if (currentWidget() == stack_) return inText_ ? static_cast<QWidget*>(textPane()) : currentGrid();
    if (currentWidget() == messages_) return messages_;
    if (currentWidget() == extended_) return extended_;
    return nullptr;
}

void ResultPanes::retargetFind() {
    if (!find_ || !find_->isVisible()) return;
    if (QWidget* pane = paneInFront()) find_->setPane(pane);
}

void ResultPanes::setResultsInText(bool text) {
    inText_ = text;
    setTabIcon(ResultsTab, common::resourceIcon(inText_ ? QStringLiteral("text") : QStringLiteral("grid")));
    emit modeChanged(inText_);
}

ResultGrid* ResultPanes::grid() const { return resultSets()->grid(0); }
ResultGrid* ResultPanes::currentGrid() const { return resultSets()->currentGrid(); }

void ResultPanes::showResultsPane() {
    buildResults();
    stack_->setCurrentWidget(inText_ ? static_cast<QWidget*>(text_) : sets_);
}

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
    buildResults();
    if (inText_)
        text_->clear();
    else
        clearGrid();
    setCurrentIndex(ResultsTab);
    showResultsPane();
}

// Each result set of a grid run gets its own tab: the first in the first
// tab, every further one in a tab of its own; the tabs size its columns.
void ResultPanes::startGrid(const std::vector<db::Field>& fields) { resultSets()->startSet(fields); }

void ResultPanes::appendRows(const std::shared_ptr<db::RowBlock>& rows) { resultSets()->appendRows(rows); }

ResultTextView* ResultPanes::textPaneFor(Pane pane) const {
    switch (pane) {
    case Pane::Results: return textPane();
    case Pane::Extended: return extended_;
    default: return nullptr; // the message pane is written whole (setMessage)
    }
}

void ResultPanes::appendText(Pane pane, const QString& text) {
    if (ResultTextView* v = textPaneFor(pane)) v->append(text);
}

void ResultPanes::appendTextRows(Pane pane, const std::shared_ptr<db::RowBlock>& rows, const TextWidths& widths) {
    (pane == Pane::Extended ? extended_ : textPane())->appendRows(rows, widths);
}

void ResultPanes::clearPane(Pane pane) {
    if (ResultTextView* v = textPaneFor(pane)) v->clear();
}

void ResultPanes::clearResults() {
    clearGrid();
    if (text_) text_->clear();
    extended_->clear();
}

void ResultPanes::clearGrid() {
    if (sets_) sets_->clear(); // nothing to drop before the grids are made
}

void ResultPanes::finishRun(bool failed, bool extendedResults) {
    buildResults();
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
    planView()->setPlan(std::move(plan));
    setTabVisible(PlanTab, true);
    setCurrentIndex(PlanTab);
}
