#include "document/QueryCheck.h"

#include "common/DocumentContext.h"
#include "document/ResultPanes.h"
#include "document/ResultTextView.h"
#include "document/RunController.h"
#include "document/ToolOutputView.h"
#include "editor/SqlEditor.h"
#include "external/ToolCommand.h"
#include "run/QuerySummary.h"
#include "settings/AppPaths.h"
#include "settings/Settings.h"

#include <QFileInfo>

QueryCheck::QueryCheck(SqlEditor* editor, ResultPanes* panes, RunController* runner, const DocumentContext& context,
                       QObject* parent)
    : QObject(parent), editor_(editor), panes_(panes), runner_(runner), context_(context) {}

QString QueryCheck::getValidationInformation() {
    QuerySummaryInput in;
    const QString selected = editor_->selectedText(); // as a run takes it
    in.source = selected.isEmpty() ? editor_->text() : selected;
    in.connectionString = context_.connectionString();
    in.database = context_.database();
    in.sqlStyle = int(context_.providerKind());
    const QuerySummary summary = summarizeQuery(in);
    runner_->setStatementKind(summary.kind);
    return summary.text;
}

void QueryCheck::syntaxCheck() {
    if (settings::current().externalExecution()) {
        reloadOutput();
        return;
    }
    panes_->messagePane()->setSyntaxColouring(false);
    panes_->showMessage(getValidationInformation(), true);
    emit resultsRatioWanted(0.7);
}

void QueryCheck::reloadOutput() {
    panes_->setTabVisible(ResultPanes::ResultsTab, true);
    panes_->setTabVisible(ResultPanes::MessagesTab, true);
    panes_->setExtendedVisible(false);
    panes_->setCurrentIndex(ResultPanes::ResultsTab);
    panes_->setResultsInText(true);
    panes_->showResultsPane();
    emit resultsRatioWanted(0.7);
    const QString file = external::chosenOutputFile(settings::current(), AppPaths::toolFolder());
    if (file.isEmpty()) return; // the tool writes no file: nothing to reload
    // A file that is not there (yet) leaves the text pane as it was.
    ToolOutputView::of(panes_->textPane())->showFile(file, QFileInfo(file).fileName());
}
