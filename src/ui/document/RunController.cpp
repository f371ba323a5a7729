#include "document/RunController.h"

#include "assist/CatalogCache.h"
#include "base/Memory.h"
#include "common/DocumentContext.h"
#include "document/ExternalToolRun.h"
#include "document/MemoryQuestion.h"
#include "document/ResultPanes.h"
#include "document/UnfilteredQuestion_p.h"
#include "editor/SqlEditor.h"
#include "grid/MemoryBudget.h"
#include "run/Executor.h"
#include "run/TextLayout.h"
#include "script/SchemaChanges.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QTimer>

#include <utility>

RunController::RunController(SqlEditor* editor, ResultPanes* panes, DocumentContext& context, QObject* parent)
    : QObject(parent), editor_(editor), panes_(panes), context_(context), executor_(new Executor(this)),
      external_(new ExternalToolRun(panes, this)), parameters_(editor) {
    connect(external_, &ExternalToolRun::runningChanged, this, &RunController::runningChanged);
    connect(external_, &ExternalToolRun::resultsRatioWanted, this, &RunController::resultsRatioWanted);
    connect(external_, &ExternalToolRun::watchRequested, this, &RunController::watchRequested);
    connect(executor_, &Executor::gridStarted, panes_, &ResultPanes::startGrid);
    connect(executor_, &Executor::gridRows, panes_, &ResultPanes::appendRows);
    connect(executor_, &Executor::textAppended, this, [this](Pane pane, const QString& text) {
        switch (pane) {
        case Pane::Results:
        case Pane::Extended: panes_->appendText(pane, text); break;
        case Pane::Messages: // statements without rows of a grid run: shown before the closing message
            runNotes_ += text;
            showProgressNotes();
            break;
        case Pane::Notices:
            notices_ += text;
            showProgressNotes();
            break;
        }
    });
    connect(executor_, &Executor::textRows, panes_, &ResultPanes::appendTextRows);
    connect(executor_, &Executor::paneCleared, this, [this](Pane pane) {
        switch (pane) {
        case Pane::Results:
        case Pane::Extended: panes_->clearPane(pane); break;
        case Pane::Messages: runNotes_.clear(); break;
        case Pane::Notices: notices_.clear(); break;
        }
    });
    connect(executor_, &Executor::progress, this, [this](qint64 rows) {
        emit mainStatus(true, QStringLiteral("Working... %1 rows fetched").arg(rows));
        emit rowsStatus(run::rowsStatus(rows));
    });
    connect(executor_, &Executor::finished, this, &RunController::finish);
    executor_->setMemoryQuestion([this](qint64 held) { return askMemoryLimit(held); });
}

void RunController::showProgressNotes() { panes_->setMessage(QStringLiteral("Working...\r\n") + notices_ + runNotes_); }

MemoryAnswer RunController::askMemoryLimit(qint64 heldBytes) {
    return document::askAboutMemory(panes_, document::runRowsSubject(), heldBytes, memoryLimit_);
}

RunController::~RunController() {
    // The Executor stops a run still going. The result panes go with the
    // document: give their memory back once they are gone.
    QTimer::singleShot(0, qApp, [] { base::releaseFreed(); });
}

bool RunController::isRunning() const { return executor_->isRunning() || external_->isRunning(); }

void RunController::stop() {
    executor_->stop();
    external_->stop();
}

void RunController::execute() {
    if (executor_->isRunning()) return; // one run at a time per document
    if (gate_ && !gate_()) return;
    const settings::Snapshot options = settings::current();
    // An external tool gets the whole script; a run here the selection, or
    // the whole script when nothing is selected (an empty selection counts
    // as none: the editor may report one after the selected text was typed over).
    const QString selected = editor_->hasSelectedText() ? editor_->selectedText() : QString();
    const bool whole = options.externalExecution() || selected.isEmpty();
    // an error's line is counted in the editor: from where the selection begins
    script::TextPoint origin;
    if (!whole) {
        int lineTo = 0, indexTo = 0;
        editor_->getSelection(&origin.line, &origin.column, &lineTo, &indexTo);
    }
    start(whole ? editor_->text() : selected, options, origin);
}

void RunController::execute(const QString& text, script::TextPoint origin) {
    if (executor_->isRunning() || (gate_ && !gate_())) return;
    start(text, settings::current(), origin);
}

void RunController::executeOwnStatement(const QString& sql) {
    if (executor_->isRunning()) return;
    start(sql, settings::current(), std::nullopt);
}

void RunController::start(const QString& text, const settings::Snapshot& options,
                          std::optional<script::TextPoint> origin) {
    const bool own = !origin; // the program's own statement, on the kept session only
    const script::Dialect dialect = script::dialectOf(context_.serverFamily());
    if (!own && (!confirmDataChanges(editor_, text, context_.connectionString(), dialect) ||
                 !confirmUnfilteredChanges(editor_, text, dialect, options))) {
        panes_->showMessage(QStringLiteral("Nothing was run."));
        return;
    }
    // an external tool is handed the text as it stands
    std::optional<script::ParameterValues> values;
    if (!own && !options.externalExecution() && !parameters_.ask(text, context_.serverFamily(), values)) {
        panes_->showMessage(QStringLiteral("Nothing was run."));
        return;
    }
    emit mainStatus(true, QStringLiteral("Working..."));
    if (!own && options.externalExecution()) {
        external_->start(options, text);
        emit mainStatus(false, QString());
        return;
    }
    runNotes_.clear();
    notices_.clear();
    RunRequest request;
    request.connectionString = context_.connectionString();
    request.database = own ? QString() : context_.database();
    request.text = text;
    request.origin = origin.value_or(script::TextPoint{});
    request.namesErrorLine = origin.has_value();
    request.resultsInText = panes_->resultsInText();
    request.furtherSetsToGrid = !request.resultsInText; // each set a grid tab; the extended text stays
    request.rowLimit = options.rowLimit();
    request.loginTimeoutSeconds = options.loginTimeoutSeconds();
    request.memoryLimitBytes = memoryLimit_ = options.resultMemoryLimitBytes();
    // Past gridmemory the grid moves rows to a temporary file: a grid run
    // then only asks when the user keeps every row in memory.
    grid::MemoryBudget::instance().setLimit(options.gridMemoryBytes());
    if (!request.resultsInText && options.gridMemoryBytes() > 0) request.memoryLimitBytes.reset();
    request.session = context_.session();
    request.keptSessionOnly = own;
    request.autoCommit = context_.autoCommit();
    request.parameters = std::move(values);
    panes_->startRun();
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
    if (result.discarded) panes_->clearResults(); // stopped at the memory limit: the rows go
    panes_->finishRun(result.failed(), result.extendedResults);
    emit resultsRatioWanted(0.7);
    emit elapsedStatus(run::elapsedText(result.elapsedMs));
    emit rowsStatus(run::rowsStatus(result.rows));
    emit mainStatus(false, QString());
    emit runningChanged(false);
    const RunRequest request = std::exchange(request_, {}); // the script is not kept after its run
    // names completion has cached may be gone or new (a script of megabytes is not read for it)
    if (request.text.size() > (1 << 20) ||
        script::changesSchema(request.text, script::dialectOf(context_.serverFamily())))
        CatalogCache::forgetEverywhere(request.connectionString);
    emit runFinished(request, result, started_);
}
