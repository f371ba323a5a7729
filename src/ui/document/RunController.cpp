#include "document/RunController.h"

#include "run/Executor.h"
#include "document/ExternalToolRun.h"
#include "document/ResultGrid.h"
#include "run/ResultModel.h"
#include "document/ResultPanes.h"
#include "run/TextLayout.h"
#include "settings/Settings.h"
#include "editor/SqlEditor.h"

#include <utility>

RunController::RunController(SqlEditor* editor, ResultPanes* panes, QObject* parent)
    : QObject(parent), editor_(editor), panes_(panes), executor_(new Executor(this)),
      external_(new ExternalToolRun(editor, panes, this)) {
    connect(external_, &ExternalToolRun::runningChanged, this, &RunController::runningChanged);
    connect(external_, &ExternalToolRun::resultsRatioWanted, this, &RunController::resultsRatioWanted);
    connect(external_, &ExternalToolRun::watchRequested, this, &RunController::watchRequested);
    connect(executor_, &Executor::gridStarted, this, [this](const std::vector<db::Field>& fields) {
        panes_->grid()->resultModel()->reset(fields);
        sizedOnce_ = false;
    });
    connect(executor_, &Executor::gridRows, this, [this](const std::shared_ptr<db::RowBlock>& rows) {
        panes_->grid()->resultModel()->appendRows(rows);
        if (!sizedOnce_) { // size from the first rows while the rest arrive
            panes_->grid()->sizeColumns();
            sizedOnce_ = true;
        }
    });
    connect(executor_, &Executor::textAppended, this, [this](Pane pane, const QString& text) {
        switch (pane) {
        case Pane::Results: panes_->textPane()->appendText(text); break;
        case Pane::Extended: panes_->extendedPane()->appendText(text); break;
        case Pane::Messages:
            // statements without rows of a grid run: shown before the closing message
            runNotes_ += text;
            panes_->setMessage(QStringLiteral("Working...\r\n") + runNotes_);
            break;
        }
    });
    connect(executor_, &Executor::paneCleared, this, [this](Pane pane) {
        switch (pane) {
        case Pane::Results: panes_->textPane()->clear(); break;
        case Pane::Extended: panes_->extendedPane()->clear(); break;
        case Pane::Messages: runNotes_.clear(); break;
        }
    });
    connect(executor_, &Executor::progress, this, [this](qint64 rows) {
        emit mainStatus(true, QStringLiteral("Working... %1 rows fetched").arg(rows));
    });
    connect(executor_, &Executor::finished, this, &RunController::finish);
}

RunController::~RunController() = default; // the Executor stops a run still going

bool RunController::isRunning() const { return executor_->isRunning() || external_->isRunning(); }

void RunController::stop() {
    executor_->stop();
    external_->stop();
}

void RunController::execute(const QString& connectionString, const QString& database) {
    if (executor_->isRunning()) return; // one run at a time per document
    emit mainStatus(true, QStringLiteral("Working..."));
    const settings::Snapshot options = settings::current();
    if (options.externalExecution()) {
        external_->start(options);
        emit mainStatus(false, QString());
        return;
    }
    panes_->setTabVisible(ResultPanes::ResultsTab, true);
    panes_->setTabVisible(ResultPanes::MessagesTab, true);
    panes_->setExtendedVisible(false);
    panes_->messagePane()->setSyntaxColouring(true);

    panes_->setMessage(QStringLiteral("Working..."));
    runNotes_.clear();
    RunRequest request;
    request.connectionString = connectionString;
    request.database = database;
    // (an empty selection counts as none: the editor may report one after the
    // selected text was typed over)
    const QString selected = editor_->hasSelectedText() ? editor_->selectedText() : QString();
    request.text = selected.isEmpty() ? editor_->text() : selected;
    request.resultsInText = panes_->resultsInText();
    request.rowLimit = options.rowLimit();
    request.loginTimeoutSeconds = options.loginTimeoutSeconds();
    if (request.resultsInText)
        panes_->textPane()->clear();
    else
        panes_->grid()->resultModel()->clear();
    panes_->setCurrentIndex(ResultPanes::ResultsTab);
    panes_->showResultsPane();
    request_ = request;
    started_ = QDateTime::currentDateTimeUtc();
    executor_->start(std::move(request));
    emit runningChanged(true);
}

void RunController::finish(const RunResult& result) {
    statementKind_ = result.statementKind;
    // A run without row sets already says everything in its closing message.
    panes_->setMessage(result.outcome == RunOutcome::Affected ? result.closingMessage : runNotes_ + result.closingMessage);
    lastRunFailed_ = result.failed();
    if (!panes_->resultsInText()) panes_->grid()->sizeColumns();
    if (result.failed()) {
        panes_->setCurrentIndex(ResultPanes::MessagesTab);
    } else {
        panes_->setCurrentIndex(ResultPanes::ResultsTab);
        panes_->showResultsPane();
    }
    if (result.extendedResults) panes_->setExtendedVisible(true);
    emit resultsRatioWanted(0.7);
    emit elapsedStatus(textlayout::elapsedText(result.elapsedMs));
    emit rowsStatus(textlayout::rowsStatus(result.rows));
    emit mainStatus(false, QString());
    emit runningChanged(false);
    const RunRequest request = std::exchange(request_, {}); // the script is not kept after its run
    emit runFinished(request, result, started_);
}
