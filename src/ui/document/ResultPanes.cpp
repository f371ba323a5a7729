#include "document/ResultPanes.h"

#include "document/ResultGrid.h"
#include "document/ResultTextView.h"
#include "editor/SqlEditor.h"

#include <QStackedWidget>

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

void ResultPanes::setMessage(const QString& text) { messages_->setText(text); }

void ResultPanes::setExtendedVisible(bool visible) { setTabVisible(ExtendedTab, visible); }
