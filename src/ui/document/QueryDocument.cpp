#include "document/QueryDocument.h"

#include "assist/CatalogCache.h"
#include "assist/CodeAssist.h"
#include "catalog/ObjectBrowser.h"
#include "common/Dialogs.h"
#include "common/PanelStatusBar.h"
#include "common/RatioSplitter.h"
#include "db/ConnectionString.h"
#include "document/DocumentSession.h"
#include "document/DocumentToolbar.h"
#include "document/ErrorLineMarker.h"
#include "document/MessageLexer.h"
#include "document/NavigationPanes.h"
#include "document/QueryCheck.h"
#include "document/ResultEditing.h"
#include "document/ResultGrid.h"
#include "document/ResultPanes.h"
#include "document/ResultTextView.h"
#include "document/ToolOutputView.h"
#include "document/RunController.h"
#include "document/ScriptFileActions.h"
#include "document/StatementAtCaret.h"
#include "history/HistoryPane.h"
#include "history/RunHistory.h"
#include "document/GridExportActions.h"
#include "document/ResultFind.h"
#include "document/ResultSetTabs.h"
#include "export/QueryTable.h"
#include "run/ResultModel.h"
#include "script/OutputWatch.h"
#include "settings/Settings.h"
#include "templates/TemplateBrowser.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QVBoxLayout>

namespace {
int documentsCreated = 0;
constexpr double kObjectBrowserDefault = 0.7; // the editor's share beside the navigation panes
} // namespace

QueryDocument::QueryDocument(QWidget* parent) : QWidget(parent), number_(++documentsCreated) {
    setObjectName(QStringLiteral("queryDocument"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    toolbar_ = new DocumentToolbar(this);
    toolbar_->addMenuItem(QStringLiteral("New"), QStringLiteral("Connection Manager"), QStringLiteral("wizard"));
    editor_ = new SqlEditor(this);
    editor_->setObjectName(QStringLiteral("scriptEditor"));
    nav_ = new NavigationPanes(this);
    templates_ = new TemplateBrowser(editor_, nav_);
    nav_->setPane(NavigationPanes::TemplatesTab, templates_);
    nav_->setPane(NavigationPanes::HistoryTab, history_ = new HistoryPane(editor_, nav_));
    results_ = new ResultPanes(this);
    splUp_ = new RatioSplitter(Qt::Horizontal, this);
    splUp_->setObjectName(QStringLiteral("editorSplitter"));
    splUp_->addWidget(editor_);
    splUp_->addWidget(nav_);
    splDown_ = new RatioSplitter(Qt::Vertical, this);
    splDown_->setObjectName(QStringLiteral("resultsSplitter"));
    splDown_->addWidget(splUp_);
    splDown_->addWidget(results_);
    status_ = new PanelStatusBar(8, 7, this);
    status_->setObjectName(QStringLiteral("documentStatus"));
    status_->setPanelMinimumWidth(ElapsedPanel, 60);
    status_->setPanelToolTip(ElapsedPanel, QStringLiteral("Elapsed time of the last run"));
    status_->setPanelToolTip(RowsPanel, QStringLiteral("Rows of the last run"));
    status_->setPanelToolTip(SessionPanel, QStringLiteral("This window keeps its connection open between runs "
                                                          "(temporary tables, settings, transactions); "
                                                          "Query > Disconnect closes it"));
    layout->addWidget(toolbar_);
    layout->addWidget(splDown_, 1);
    layout->addWidget(status_);

    browser_ = new ObjectBrowser(editor_, toolbar_->databaseChooser(), nav_);
    nav_->setPane(NavigationPanes::ObjectsTab, browser_);
    scripter_ = new ObjectScripter({[this](const QString& text, bool select) { addObjectText(text, select); },
                                    [this] { startExec(); }, browser_},
                                   this);
    connect(browser_, &ObjectBrowser::captionChanged, this, &QueryDocument::updateTitle);
    connect(browser_, &ObjectBrowser::statusText, status_, &PanelStatusBar::setPanelText);
    connect(browser_, &ObjectBrowser::popupRequested, this,
            [this](const QPoint& p) { emit popupRequested(PopupMenu::Objects, p); });
    connect(browser_, &ObjectBrowser::databaseMessage, this, [this](const QString& text) {
        results_->setMessage(text);
        results_->setTabVisible(ResultPanes::ResultsTab, false);
        results_->setTabVisible(ResultPanes::MessagesTab, true);
        results_->setCurrentIndex(ResultPanes::MessagesTab);
        splDown_->setRatioFromTop(0.7);
    });

    runner_ = new RunController(editor_, results_, this);
    session_ = new DocumentSession(runner_, [this] { return connectionString_; }, this);
    connect(session_, &DocumentSession::stateChanged, this,
            [this] { status_->setPanelText(SessionPanel, session_->panelText()); });
    editing_ = new ResultEditing(runner_, session_, results_, this);
    connect(editing_, &ResultEditing::message, this, [this](const QString& text) {
        results_->setMessage(text);
        emit mainStatus(false, text);
    });
    errorLine_ = new ErrorLineMarker(editor_, results_->messagePane(), this);
    caretStatement_ = new StatementAtCaret(
        editor_,
        {[this](const QString& text, sqlscript::TextPoint origin) {
             if (editing_->confirmLeave()) runner_->execute(connectionString_, browser_->currentDatabase(), text, origin);
         },
         [this] { return runner_->isRunning(); }, [this] { return connectionString_; }},
        this);
    check_ = new QueryCheck(editor_, results_, runner_,
                            {[this] { return connectionString_; },
                             [this] { return toolbar_->databaseChooser()->currentText(); },
                             [] { return 0; }}, // the provider kind is not recorded yet
                            this);
    // the message pane's own language, coloured from the start
    auto* messages = new MessageLexer(results_->messagePane());
    results_->messagePane()->setLanguage(messages);
    results_->messagePane()->setSyntaxColouring(true);
    files_ = new ScriptFileActions(editor_, this);
    files_->setUntitledName(QStringLiteral("Query%1").arg(number_));
    watch_ = new OutputWatch(this);
    assist_ = new CodeAssist(editor_, this, nav_->browser(),
                             {[this] { return connectionString_; },
                              [this] { return toolbar_->databaseChooser()->currentText(); }});
    // a rebuilt tree (Refresh, a new connection) makes the completion lists read again too
    connect(browser_, &ObjectBrowser::listsBuilt, assist_->popup()->cache(), &CatalogCache::refresh);
    connect(watch_, &OutputWatch::reloaded, this, [this](const QString& file) {
        ToolOutputView::of(results_->textPane())->showFile(file, QFileInfo(file).fileName());
        setResultsInText(true);
        results_->setCurrentIndex(ResultPanes::ResultsTab);
        results_->showResultsPane();
    });

    splUp_->setRatioFromTop(kObjectBrowserDefault);
    splDown_->setRatioFromTop(1.0); // the result tabs are hidden at start
    applySettings();

    connect(toolbar_, &DocumentToolbar::buttonClicked, this, &QueryDocument::onToolbarButton);
    connect(toolbar_, &DocumentToolbar::menuItemChosen, this, &QueryDocument::onToolbarMenu);
    connect(results_, &ResultPanes::modeChanged, toolbar_, &DocumentToolbar::setResultMode);
    connect(editor_, &QsciScintilla::textChanged, this, &QueryDocument::onTextChanged);
    connect(editor_, &QsciScintilla::cursorPositionChanged, this, &QueryDocument::onCursorMoved);
    connect(editor_, &SqlEditor::executeRequested, this, [this] {
        startExec();
        editor_->setFocus();
    });
    editor_->setAppCommandHandler([this](SqlEditor::AppCommand command) { return handleAppCommand(command); });
    // right-click menus: the main window's "&Edit" over the script and text
    // results, its "&Query" over the messages
    for (QWidget* e : std::initializer_list<QWidget*>{editor_, results_->textPane(), results_->messagePane(),
                                                       results_->extendedPane()}) {
        e->setContextMenuPolicy(Qt::CustomContextMenu);
        const PopupMenu menu = (e == editor_ || e == results_->textPane()) ? PopupMenu::Edit : PopupMenu::Query;
        connect(e, &QWidget::customContextMenuRequested, this,
                [this, e, menu](const QPoint& p) { emit popupRequested(menu, e->mapToGlobal(p)); });
    }
    connect(templates_, &TemplateBrowser::popupRequested, this,
            [this](const QPoint& p) { emit popupRequested(PopupMenu::Templates, p); });
    connect(results_->grid(), &ResultGrid::popupRequested, this,
            [this](const QPoint& p) { emit popupRequested(PopupMenu::Grid, p); });
    connect(runner_, &RunController::mainStatus, this, &QueryDocument::mainStatus);
    connect(runner_, &RunController::runningChanged, toolbar_, &DocumentToolbar::setRunning);
    connect(runner_, &RunController::rowsStatus, this, [this](const QString& t) { status_->setPanelText(RowsPanel, t); });
    connect(runner_, &RunController::elapsedStatus, this,
            [this](const QString& t) { status_->setPanelText(ElapsedPanel, t); });
    connect(runner_, &RunController::resultsRatioWanted, splDown_, &RatioSplitter::setRatioFromTop);
    connect(runner_, &RunController::runFinished, this,
            [this](const RunRequest& request, const RunResult& result, const QDateTime& started) {
                runhistory::record(request, result, started, connectionName_);
                runTables_ = exports::tableNamesOfScript(request.text);
                if (result.errorAt) errorLine_->mark(*result.errorAt);
            });
    connect(runner_, &RunController::runningChanged, this, [this](bool running) {
        if (running) errorLine_->clear();
    });
    connect(runner_, &RunController::watchRequested, this,
            [this](const QString& folder, const QString& file) { watchOutput(folder, file); });
    connect(check_, &QueryCheck::resultsRatioWanted, splDown_, &RatioSplitter::setRatioFromTop);
    connect(files_, &ScriptFileActions::saved, this, [this](const QString&) { emit fileNameChanged(fileName()); });
    connect(files_, &ScriptFileActions::fileChanged, this, [this](const QString& path) {
        updateTitle();
        emit fileNameChanged(path);
    });
    connect(files_, &ScriptFileActions::changedStateChanged, this, [this] {
        if (titleMarked_ != (isChanged() && editor_->length() > 0)) updateTitle();
    });

    onCursorMoved();
    updateTitle();
    setFocusProxy(editor_);
    browser_->addLists(); // "[NO CONNECTION]" until a connection is set
}

QueryDocument::~QueryDocument() = default;

void QueryDocument::applySettings() {
    const settings::Snapshot s = settings::current();
    editor_->setAutoCorrectCase(s.flag(settings::Key::AutoCorrectSyntax));
    editor_->setConvertTabs(s.flag(settings::Key::ConvertTabs));
    editor_->setEditorFont(s.text(settings::Key::Font), s.text(settings::Key::FontSize));
    editor_->setSyntaxColouring(s.flag(settings::Key::SyntaxHighlight));
    setResultsInText(s.resultsInText());
    const QFont paneFont = editor_->editorFont();
    results_->messagePane()->setEditorFont(paneFont.family(), QString::number(paneFont.pointSizeF()));
    for (ResultTextView* pane : {results_->textPane(), results_->extendedPane()})
        pane->setEditorFont(paneFont.family(), QString::number(paneFont.pointSizeF()));
}

void QueryDocument::execute(DocumentCommand command) {
    switch (command) {
    case DocumentCommand::OpenNew: files_->openNew(); break;
    case DocumentCommand::OpenAppend: files_->openAppend(); break;
    case DocumentCommand::Save: files_->menuSave(); break;
    case DocumentCommand::SaveAs: files_->saveAs(); break;
    case DocumentCommand::Print: files_->print(); break;
    case DocumentCommand::Undo:
    case DocumentCommand::Redo:
    case DocumentCommand::Cut:
    case DocumentCommand::Copy:
    case DocumentCommand::Paste: editFocusedPane(command); break;
    case DocumentCommand::Find:
    case DocumentCommand::FindNext:
    case DocumentCommand::FindPrevious: find(command); break;
    case DocumentCommand::Replace: editor_->executeCmd(SqlEditor::Replace); break;
    case DocumentCommand::GoToLine: editor_->executeCmd(SqlEditor::GoToLine, true); break;
    case DocumentCommand::ToggleBookmark: editor_->executeCmd(SqlEditor::ToggleBookmark); break;
    case DocumentCommand::NextBookmark: editor_->executeCmd(SqlEditor::NextBookmark); break;
    case DocumentCommand::PreviousBookmark: editor_->executeCmd(SqlEditor::PreviousBookmark); break;
    case DocumentCommand::ClearBookmarks: editor_->executeCmd(SqlEditor::ClearBookmarks); break;
    case DocumentCommand::QueryCheck: syntaxCheck(); break;
    case DocumentCommand::Execute: startExec(); break;
    case DocumentCommand::ExecuteStatement: runStatementAtCaret(); break;
    case DocumentCommand::Stop: stopQuery(); break;
    case DocumentCommand::Disconnect: disconnectSession(); break;
    case DocumentCommand::ResultsInGrid: setResultsInText(false); break;
    case DocumentCommand::ResultsInText: setResultsInText(true); break;
    case DocumentCommand::FocusQuery: editor_->setFocus(); break;
    case DocumentCommand::FocusResults: results_->setFocus(); break;
    case DocumentCommand::ShowObjectsTab: showNavTab(NavigationPanes::ObjectsTab); break;
    case DocumentCommand::ShowTemplatesTab: showNavTab(NavigationPanes::TemplatesTab); break;
    case DocumentCommand::ShowHelpTab: showNavTab(NavigationPanes::HelpTab); break;
    case DocumentCommand::ShowHistoryTab: showNavTab(NavigationPanes::HistoryTab); break;
    case DocumentCommand::ToggleObjectBrowser:
        splUp_->setRatioFromTop(qFuzzyCompare(splUp_->ratioFromTop(), kObjectBrowserDefault) ? 1.0
                                                                                            : kObjectBrowserDefault);
        break;
    case DocumentCommand::ObjectBrowserAll: setObjectBrowserRatio(0.1); break;
    case DocumentCommand::ObjectBrowser75: setObjectBrowserRatio(0.25); break;
    case DocumentCommand::ObjectBrowser50: setObjectBrowserRatio(0.5); break;
    case DocumentCommand::ObjectBrowserDefault: setObjectBrowserRatio(kObjectBrowserDefault); break;
    case DocumentCommand::ObjectBrowserHidden: setObjectBrowserRatio(1.0); break;
    case DocumentCommand::ResultsAll: setResultsRatio(0.0); break;
    case DocumentCommand::Results75: setResultsRatio(0.25); break;
    case DocumentCommand::Results50: setResultsRatio(0.5); break;
    case DocumentCommand::ResultsDefault: setResultsRatio(0.7); break;
    case DocumentCommand::ResultsHidden: setResultsRatio(1.0); break;
    case DocumentCommand::GridInsertObject: addObjectText(results_->currentGrid()->currentCellText(), true); break;
    case DocumentCommand::GridCopy: results_->currentGrid()->copySelection(); break;
    case DocumentCommand::GridSaveAs: gridSaveAs(); break;
    case DocumentCommand::GridOpenValue: results_->currentGrid()->openCurrentValue(); break;
    case DocumentCommand::GridSetNull:
    case DocumentCommand::GridInsertRow:
    case DocumentCommand::GridDuplicateRow:
    case DocumentCommand::GridDeleteRows:
    case DocumentCommand::GridLoadValue:
    case DocumentCommand::GridSaveValue:
    case DocumentCommand::GridSaveChanges:
    case DocumentCommand::GridDiscardChanges: editing_->execute(command, results_->resultSets()->currentIndex()); break;
    case DocumentCommand::GridCopyAsTsv: gridCopyAs(exports::Format::Tsv); break;
    case DocumentCommand::GridCopyAsCsv: gridCopyAs(exports::Format::Csv); break;
    case DocumentCommand::GridCopyAsMarkdown: gridCopyAs(exports::Format::Markdown); break;
    case DocumentCommand::GridCopyAsJson: gridCopyAs(exports::Format::Json); break;
    case DocumentCommand::GridCopyAsSql: gridCopyAs(exports::Format::SqlInsert); break;
    case DocumentCommand::GridCopyHeaders: copyColumnNames_ = !copyColumnNames_; break;
    case DocumentCommand::CodeSense: assist_->showIntelli(); break;
    case DocumentCommand::CatalogSense: assist_->showCatalogSense(); break;
    case DocumentCommand::CatalogTableSense: assist_->showCatalogTableSense(); break;
    case DocumentCommand::VariableSense: assist_->showVariableSense(); break;
    case DocumentCommand::RefreshObjects: addLists(); break;
    }
}

bool QueryDocument::handleAppCommand(SqlEditor::AppCommand command) {
    switch (command) {
    case SqlEditor::EscapeStop:
        if (!isRunning()) return false; // Esc keeps its editing meaning
        stopQuery();
        return true;
    case SqlEditor::CodeSense: return assist_->codeSenseKey();
    case SqlEditor::CatalogSense: return assist_->catalogSenseKey();
    case SqlEditor::TestCommand: return false;
    }
    return false;
}

void QueryDocument::editFocusedPane(DocumentCommand command) {
    // The edit commands act on the pane that has the focus: the result panes
    // are read-only, so there only Copy does something, and never to the script.
    QWidget* focused = QApplication::focusWidget();
    auto within = [focused](QWidget* pane) { return focused && (focused == pane || pane->isAncestorOf(focused)); };
    if (auto* grid = qobject_cast<ResultGrid*>(ResultFind::searchablePane(focused)); grid && within(results_)) {
        if (command == DocumentCommand::Copy) grid->copySelection();
        return;
    }
    for (ResultTextView* pane : {results_->textPane(), results_->extendedPane()})
        if (within(pane)) {
            if (command == DocumentCommand::Copy) pane->copy();
            return;
        }
    if (within(results_->messagePane())) {
        if (command == DocumentCommand::Copy && results_->messagePane()->hasSelectedText())
            results_->messagePane()->copy();
        return;
    }
    if (focused && within(nav_)) return; // the navigation panes have their own keys
    switch (command) {
    case DocumentCommand::Undo: editor_->undo(); break;
    case DocumentCommand::Redo: editor_->redo(); break;
    case DocumentCommand::Cut: editor_->cut(); break;
    case DocumentCommand::Copy: editor_->copy(); break;
    case DocumentCommand::Paste: editor_->paste(); break;
    default: break;
    }
}

void QueryDocument::updateTitle() {
    QString title = files_->displayName();
    // the connection: its saved name and what the object browser read from it
    // ("provider - database"), else the string without its passwords
    const QString caption = browser_ ? browser_->caption() : QString();
    QString shown = connectionName_;
    if (!caption.isEmpty()) shown = shown.isEmpty() ? caption : shown + QStringLiteral(" — ") + caption;
    if (shown.isEmpty() && !connectionString_.isEmpty()) shown = db::maskPasswords(connectionString_);
    if (!connectionString_.isEmpty()) title += QStringLiteral(" — ") + shown;
    // an unsaved script is marked with "*" (a new, empty one is not)
    titleMarked_ = isChanged() && editor_->length() > 0;
    if (titleMarked_) title += QLatin1Char('*');
    setWindowTitle(title);
}

QString QueryDocument::fileName() const { return files_->fileName(); }
QString QueryDocument::fileTitle() const { return files_->fileTitle(); }
void QueryDocument::setFile(const QString& path) { files_->setFile(path); }
bool QueryDocument::isChanged() const { return files_->isChanged(); }
void QueryDocument::setChanged(bool changed) { files_->setChanged(changed); }
bool QueryDocument::confirmClose() { return files_->confirmClose(); }
bool QueryDocument::confirmEndSession() { return session_->confirmClose(this); }
bool QueryDocument::asksOnClose() const {
    return hasUnsavedScript() || editing_->hasChanges() || session_->inTransaction();
}
bool QueryDocument::confirmWindowClose() {
    return (!hasUnsavedScript() || confirmClose()) && editing_->confirmLeave() && confirmEndSession();
}
bool QueryDocument::hasUnsavedScript() const { return isChanged() && editor_->length() > 0; }

void QueryDocument::disconnectSession() {
    // an open transaction: Commit / Roll Back / Cancel first
    if (!session_->confirmClose(this, DocumentSession::Ending::Disconnect) || !session_->disconnectSession())
        return; // kept, or a run is going
    const QString outcome = session_->takeOutcome();
    results_->setMessage((outcome.isEmpty() ? QString() : outcome + QStringLiteral("\r\n")) +
                         QStringLiteral("Disconnected. The next run opens a new connection."));
    results_->setTabVisible(ResultPanes::MessagesTab, true);
    results_->setCurrentIndex(ResultPanes::MessagesTab);
}

bool QueryDocument::isRunning() const { return runner_->isRunning(); }
QString QueryDocument::statementType() const { return runner_->statementType(); }

void QueryDocument::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    editor_->setFocus();
}

// ---- text changes and caret ----

void QueryDocument::onCursorMoved() {
    lastSelection_ = editor_->selectionRange();
    status_->setPanelText(CaretPanel, QStringLiteral("Col: %1 Line: %2")
                                          .arg(lastSelection_.endColumn + 1)
                                          .arg(lastSelection_.endLine + 1));
}

void QueryDocument::onTextChanged() {
    onCursorMoved();
    wordAtCaret_ = editor_->wordAt(lastSelection_.endLine, lastSelection_.endColumn);
    ++revision_;
    if (titleMarked_ != (isChanged() && editor_->length() > 0)) updateTitle();
    watch_->stop(); // a text change ends the output watch
}

// ---- toolbar ----

void QueryDocument::onToolbarButton(const QString& tag) {
    if (tag == QLatin1String("New")) emit connectionManagerRequested();
    else if (tag == QLatin1String("Open")) files_->openNew();
    else if (tag == QLatin1String("Save")) files_->toolbarSave();
    else if (tag == QLatin1String("Cut")) { if (editor_->canCut()) editor_->cut(); }
    else if (tag == QLatin1String("Copy")) { if (editor_->canCopy()) editor_->copy(); }
    else if (tag == QLatin1String("Paste")) { if (editor_->canPaste()) editor_->paste(); }
    else if (tag == QLatin1String("Erase")) { editor_->selectAll(); editor_->removeSelectedText(); } // undoable
    else if (tag == QLatin1String("Search")) editor_->executeCmd(SqlEditor::Find);
    else if (tag == QLatin1String("Undo")) editor_->undo();
    else if (tag == QLatin1String("Syntax Check")) syntaxCheck();
    else if (tag == QLatin1String("EXECUTE")) startExec();
    else if (tag == QLatin1String("STOP")) stopQuery();
}

void QueryDocument::onToolbarMenu(const QString&, const QString& key) {
    if (key == QLatin1String("SQLITE")) connectWizard(ConnectionKind::SqliteFile);
    else if (key == QLatin1String("ODBC")) connectWizard(ConnectionKind::OdbcDriver);
    else if (key == QLatin1String("DSN")) connectWizard(ConnectionKind::OdbcDataSource);
    else if (key == QLatin1String("wizard")) emit connectionManagerRequested();
    else if (key == QLatin1String("ONEW")) files_->openNew();
    else if (key == QLatin1String("OAPP")) files_->openAppend();
    else if (key == QLatin1String("resGrd")) setResultsInText(false);
    else if (key == QLatin1String("resTxt")) setResultsInText(true);
}

// ---- runs ----

void QueryDocument::startExec() {
    if (editing_->confirmLeave()) runner_->execute(connectionString_, browser_->currentDatabase());
}
void QueryDocument::runStatementAtCaret() { caretStatement_->runStatementAtCaret(); }
void QueryDocument::stopQuery() { runner_->stop(); }
void QueryDocument::syntaxCheck() { check_->syntaxCheck(); }
void QueryDocument::setResultsInText(bool text) { results_->setResultsInText(text); }
void QueryDocument::watchOutput(const QString& folder, const QString& outputFile) { watch_->start(folder, outputFile); }

// ---- editing ----

void QueryDocument::addObjectText(const QString& text, bool select) {
    editor_->replaceSelectedText(text + QLatin1Char(' '));
    if (select) {
        EditorRange r = lastSelection_; // the range starts where the last change left the caret
        r.endColumn += int(text.size()) + 1;
        editor_->setCursorPosition(r.startLine, r.startColumn + int(text.size()) + 1);
        editor_->setSelectionRange(r, true);
    }
    editor_->setFocus();
}

// ---- connection ----

void QueryDocument::connectWizard(ConnectionKind kind) {
    // A cancelled dialog keeps the document's current connection.
    if (const auto made = Dialogs::get().newConnection(this, kind)) changeConnection(made->connectionString);
}

bool QueryDocument::changeConnection(const QString& connectionString, const QString& displayName) {
    if (connectionString != connectionString_ &&
        !session_->confirmClose(this, DocumentSession::Ending::ChangeConnection))
        return false;
    if (const QString outcome = session_->takeOutcome(); !outcome.isEmpty()) results_->setMessage(outcome);
    setConnection(connectionString, displayName);
    return true;
}

void QueryDocument::setConnection(const QString& connectionString, const QString& displayName) {
    // the session belongs to the old connection (a run still going ends it on its own)
    if (connectionString != connectionString_) session_->disconnectSession();
    connectionString_ = connectionString;
    connectionName_ = displayName;
    browser_->setConnectionString(connectionString);
    updateTitle();
}

void QueryDocument::addLists() { browser_->addLists(); }
void QueryDocument::scriptObject(ObjectCommand command) { scripter_->run(command); }

// ---- layout ----

void QueryDocument::setObjectBrowserRatio(double ratio) { splUp_->setRatioFromTop(ratio); }
void QueryDocument::setResultsRatio(double ratio) { splDown_->setRatioFromTop(ratio); }

void QueryDocument::showNavTab(int tab) {
    nav_->showTab(NavigationPanes::Tab(tab));
    if (tab == NavigationPanes::HelpTab) editor_->setFocus();
}

void QueryDocument::getTemplates() { templates_->getTemplates(); }

// ---- grid pop-up ----

QString QueryDocument::gridTable() const { return runTables_.value(results_->resultSets()->currentIndex()); }

void QueryDocument::gridSaveAs() {
    const QString folder = fileName().isEmpty() ? QDir::homePath() : QFileInfo(fileName()).absolutePath();
    gridactions::saveAs(this, results_->currentGrid(), folder, gridTable());
}

void QueryDocument::gridCopyAs(exports::Format format) {
    gridactions::copyAs(this, results_->currentGrid(), format, copyColumnNames_, gridTable());
}

void QueryDocument::find(DocumentCommand command) {
    QWidget* focused = QApplication::focusWidget();
    if (!focused || !results_->isAncestorOf(focused)) { // the script's own Find
        if (command == DocumentCommand::Find || !editor_->findNext()) editor_->executeCmd(SqlEditor::Find);
        return;
    }
    ResultFind* finder = results_->finder();
    // the pane with the focus, or the one the bar searches while it has the focus
    QWidget* pane = finder->isAncestorOf(focused) ? finder->pane() : ResultFind::searchablePane(focused);
    if (!pane) return;
    if (command == DocumentCommand::Find) finder->open(pane);
    else {
        finder->setPane(pane);
        finder->findNext(command == DocumentCommand::FindNext);
    }
}
