#include "document/RunController.h"

#include "base/Memory.h"
#include "document/ResultTextView.h"
#include "run/Executor.h"
#include "document/ExternalToolRun.h"
#include "document/MemoryQuestion.h"
#include "document/ResultGrid.h"
#include "run/ResultModel.h"
#include "document/ResultPanes.h"
#include "document/UnfilteredQuestion.h"
#include "run/TextLayout.h"
#include "settings/Settings.h"
#include "editor/SqlEditor.h"

#include <QApplication>
#include <QTimer>

#include <utility>

namespace {
constexpr int kWidenIntervalMs = 1000; // how often a streaming grid widens its columns
constexpr int kLastRowsSample = 400;   // rows at the end measured when a run finishes
} // namespace

RunController::RunController(SqlEditor* editor, ResultPanes* panes, QObject* parent)
    : QObject(parent), editor_(editor), panes_(panes), executor_(new Executor(this)),
      external_(new ExternalToolRun(panes, this)) {
    connect(external_, &ExternalToolRun::runningChanged, this, &RunController::runningChanged);
    connect(external_, &ExternalToolRun::resultsRatioWanted, this, &RunController::resultsRatioWanted);
    connect(external_, &ExternalToolRun::watchRequested, this, &RunController::watchRequested);
    connect(executor_, &Executor::gridStarted, this, [this](const std::vector<db::Field>& fields) {
        panes_->grid()->resultModel()->reset(fields);
        sizedOnce_ = false;
    });
    connect(executor_, &Executor::gridRows, this, [this](const std::shared_ptr<db::RowBlock>& rows) {
        ResultModel* model = panes_->grid()->resultModel();
        const int first = model->rowCount();
        model->appendRows(rows);
        // Size the columns from the first rows while the rest arrive; widen
        // them now and then from a sample of what came since.
        if (!sizedOnce_) {
            panes_->grid()->sizeColumns();
            sizedOnce_ = true;
            sinceWidened_.start();
        } else if (sinceWidened_.elapsed() > kWidenIntervalMs) {
            panes_->grid()->widenColumns(first, rows->rowCount());
            sinceWidened_.restart();
        }
    });
    connect(executor_, &Executor::textAppended, this, [this](Pane pane, const QString& text) {
        switch (pane) {
        case Pane::Results: panes_->textPane()->append(text); break;
        case Pane::Extended: panes_->extendedPane()->append(text); break;
        case Pane::Messages:
            // statements without rows of a grid run: shown before the closing message
            runNotes_ += text;
            panes_->setMessage(QStringLiteral("Working...\r\n") + notices_ + runNotes_);
            break;
        case Pane::Notices:
            notices_ += text;
            panes_->setMessage(QStringLiteral("Working...\r\n") + notices_ + runNotes_);
            break;
        }
    });
    connect(executor_, &Executor::textRows, this,
            [this](Pane pane, const std::shared_ptr<db::RowBlock>& rows, const TextWidths& widths) {
                (pane == Pane::Extended ? panes_->extendedPane() : panes_->textPane())->appendRows(rows, widths);
            });
    connect(executor_, &Executor::paneCleared, this, [this](Pane pane) {
        switch (pane) {
        case Pane::Results: panes_->textPane()->clear(); break;
        case Pane::Extended: panes_->extendedPane()->clear(); break;
        case Pane::Messages: runNotes_.clear(); break;
        case Pane::Notices: notices_.clear(); break;
        }
    });
    connect(executor_, &Executor::progress, this, [this](qint64 rows) {
        emit mainStatus(true, QStringLiteral("Working... %1 rows fetched").arg(rows));
        emit rowsStatus(textlayout::rowsStatus(rows));
    });
    connect(executor_, &Executor::finished, this, &RunController::finish);
    executor_->setMemoryQuestion([this](qint64 held) { return askMemoryLimit(held); });
}

MemoryAnswer RunController::askMemoryLimit(qint64 heldBytes) {
    return memoryquestion::ask(panes_, memoryquestion::runRows(), heldBytes, memoryLimit_);
}

RunController::~RunController() {
    // The Executor stops a run still going. The result panes go with the
    // document: give their memory back once they are gone.
    QTimer::singleShot(0, qApp, [] { memory::releaseFreed(); });
}

bool RunController::isRunning() const { return executor_->isRunning() || external_->isRunning(); }

void RunController::stop() {
    executor_->stop();
    external_->stop();
}

void RunController::execute(const QString& connectionString, const QString& database) {
    if (executor_->isRunning()) return; // one run at a time per document
    const settings::Snapshot options = settings::current();
    // An external tool gets the whole script; a run here the selection, or
    // the whole script when nothing is selected (an empty selection counts
    // as none: the editor may report one after the selected text was typed over).
    const QString selected = editor_->hasSelectedText() ? editor_->selectedText() : QString();
    const bool whole = options.externalExecution() || selected.isEmpty();
    // an error's line is counted in the editor: from where the selection begins
    sqlscript::TextPoint origin;
    if (!whole) {
        int lineTo = 0, indexTo = 0;
        editor_->getSelection(&origin.line, &origin.column, &lineTo, &indexTo);
    }
    start(connectionString, database, whole ? editor_->text() : selected, options, origin);
}

void RunController::execute(const QString& connectionString, const QString& database, const QString& text,
                            sqlscript::TextPoint origin) {
    if (executor_->isRunning()) return;
    start(connectionString, database, text, settings::current(), origin);
}

void RunController::executeOwnStatement(const QString& connectionString, const QString& sql) {
    if (executor_->isRunning()) return;
    start(connectionString, QString(), sql, settings::current(), std::nullopt);
}

void RunController::start(const QString& connectionString, const QString& database, const QString& text,
                          const settings::Snapshot& options, std::optional<sqlscript::TextPoint> origin) {
    const bool own = !origin; // the program's own statement, on the kept session only
    if (!own && !confirmUnfilteredChanges(editor_, text, connectionString, options)) {
        panes_->setMessage(QStringLiteral("Nothing was run."));
        panes_->setTabVisible(ResultPanes::MessagesTab, true);
        panes_->setCurrentIndex(ResultPanes::MessagesTab);
        return;
    }
    emit mainStatus(true, QStringLiteral("Working..."));
    if (!own && options.externalExecution()) {
        external_->start(options, text);
        emit mainStatus(false, QString());
        return;
    }
    panes_->setTabVisible(ResultPanes::ResultsTab, true);
    panes_->setTabVisible(ResultPanes::MessagesTab, true);
    panes_->setExtendedVisible(false);
    panes_->messagePane()->setSyntaxColouring(true);

    panes_->setMessage(QStringLiteral("Working..."));
    runNotes_.clear();
    notices_.clear();
    RunRequest request;
    request.connectionString = connectionString;
    request.database = database;
    request.text = text;
    request.origin = origin.value_or(sqlscript::TextPoint{});
    request.namesErrorLine = origin.has_value();
    request.resultsInText = panes_->resultsInText();
    request.rowLimit = options.rowLimit();
    request.loginTimeoutSeconds = options.loginTimeoutSeconds();
    request.memoryLimitBytes = memoryLimit_ = options.resultMemoryLimitBytes();
    request.session = session_;
    request.keptSessionOnly = own;
    if (request.resultsInText)
        panes_->textPane()->clear();
    else
        clearGrid();
    panes_->setCurrentIndex(ResultPanes::ResultsTab);
    panes_->showResultsPane();
    request_ = request;
    started_ = QDateTime::currentDateTimeUtc();
    executor_->start(std::move(request));
    // the results come into sight with the first rows, not when the last is in
    emit resultsRatioWanted(0.7);
    emit runningChanged(true);
}

void RunController::finish(const RunResult& result) {
    statementKind_ = result.statementKind;
    // A run without row sets already says everything in its closing message.
    panes_->setMessage(notices_ +
                       (result.outcome == RunOutcome::Affected ? result.closingMessage : runNotes_ + result.closingMessage));
    lastRunFailed_ = result.failed();
    if (result.discarded) { // stopped at the memory limit: the rows go
        clearGrid();
        panes_->textPane()->clear();
        panes_->extendedPane()->clear();
    } else if (!panes_->resultsInText()) {
        ResultModel* model = panes_->grid()->resultModel();
        if (sizedOnce_) // widen for the last rows; never narrow what the user has been looking at
            panes_->grid()->widenColumns(std::max(0, model->rowCount() - kLastRowsSample), kLastRowsSample);
        else
            panes_->grid()->sizeColumns();
    }
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

void RunController::clearGrid() {
    ResultModel* model = panes_->grid()->resultModel();
    const bool large = model->memoryUse() > (size_t(1) << 20);
    model->clear();
    if (large) memory::releaseFreed();
}
