#include "document/QueryDocument.h"

#include "assist/CatalogCache.h"
#include "assist/CodeAssist.h"
#include "catalog/ObjectBrowser.h"
#include "catalog/ObjectScripter.h"
#include "common/Dialogs.h"
#include "common/DocumentContext.h"
#include "common/PanelStatusBar.h"
#include "common/RatioSplitter.h"
#include "db/ConnectionString.h"
#include "document/ConnectionBadge.h"
#include "document/DocumentSession.h"
#include "document/ResultEditing.h"
#include "document/DocumentToolbar.h"
#include "document/ErrorLineMarker.h"
#include "document/MessageLexer.h"
#include "document/NavigationPanes.h"
#include "document/QueryCheck.h"
#include "document/QueryPlanRun.h"
#include "document/ResultGrid.h"
#include "document/ResultPanes.h"
#include "document/ResultSetTabs.h"
#include "document/ResultTextView.h"
#include "document/ToolOutputView.h"
#include "document/RunController.h"
#include "document/ScriptFileActions.h"
#include "document/StatementAtCaret.h"
#include "editor/EditorLook.h"
#include "export/QueryTable.h"
#include "external/OutputWatch.h"
#include "history/HistoryPane.h"
#include "settings/Settings.h"
#include "store/RunHistory.h"
#include "templates/TemplateBrowser.h"

#include <QComboBox>
#include <QFileInfo>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
int documentsCreated = 0;
} // namespace

QueryDocument::QueryDocument(QWidget* parent) : QWidget(parent), number_(++documentsCreated) {
    setObjectName(QStringLiteral("queryDocument"));
    parts_.context = new DocumentContext(this);
    buildLayout();
    buildParts();
    wireParts();
    wirePopups();
    onCursorMoved();
    updateTitle();
    setFocusProxy(parts_.editor);
    parts_.objects->addLists(); // "[NO CONNECTION]" until a connection is set
}

QueryDocument::~QueryDocument() = default;

// The widgets and where they sit: toolbar, editor beside the navigation
// tabs, the result tabs below, the status bar.
void QueryDocument::buildLayout() {
    DocumentParts& p = parts_;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    p.toolbar = new DocumentToolbar(this);
    p.toolbar->addMenuItem(QStringLiteral("New"), QStringLiteral("Connection Manager"), QStringLiteral("wizard"));
    p.editor = new SqlEditor(this);
    p.editor->setObjectName(QStringLiteral("scriptEditor"));
    p.navigation = new NavigationPanes(this);
    p.results = new ResultPanes(this);
    p.upperSplitter = new RatioSplitter(Qt::Horizontal, this);
    p.upperSplitter->setObjectName(QStringLiteral("editorSplitter"));
    p.upperSplitter->addWidget(p.editor);
    p.upperSplitter->addWidget(p.navigation);
    p.lowerSplitter = new RatioSplitter(Qt::Vertical, this);
    p.lowerSplitter->setObjectName(QStringLiteral("resultsSplitter"));
    p.lowerSplitter->addWidget(p.upperSplitter);
    p.lowerSplitter->addWidget(p.results);
    p.status = new PanelStatusBar(ProfilePanel, 7, this);
    p.status->setObjectName(QStringLiteral("documentStatus"));
    p.status->setPanelMinimumWidth(ElapsedPanel, 60);
    p.status->setPanelToolTip(ElapsedPanel, QStringLiteral("Elapsed time of the last run"));
    p.status->setPanelToolTip(RowsPanel, QStringLiteral("Rows of the last run"));
    p.status->setPanelToolTip(SessionPanel, QStringLiteral("This window keeps its connection open between runs "
                                                           "(temporary tables, settings, transactions); "
                                                           "Query > Disconnect closes it"));
    layout->addWidget(p.toolbar);
    layout->addWidget(p.lowerSplitter, 1);
    layout->addWidget(p.status);
    p.badge = new ConnectionBadge(this, *p.context, p.status, ProfilePanel);
    p.upperSplitter->setRatioFromTop(kObjectBrowserDefault);
    p.lowerSplitter->setRatioFromTop(1.0); // the result tabs are hidden at start
}

// The features, each attached to the editor or the document and given the
// document's context.
void QueryDocument::buildParts() {
    DocumentParts& p = parts_;
    DocumentContext& context = *p.context;
    p.templates = new TemplateBrowser(p.editor, p.navigation);
    p.navigation->setPane(NavigationPanes::TemplatesTab, p.templates);
    p.history = new HistoryPane(p.editor, p.navigation);
    p.navigation->setPane(NavigationPanes::HistoryTab, p.history);
    p.objects = new ObjectBrowser(context, p.editor, p.toolbar->databaseChooser(), p.navigation);
    p.navigation->setPane(NavigationPanes::ObjectsTab, p.objects);
    p.scripter = new ObjectScripter(context,
                                    {[this](const QString& text, bool select) { addObjectText(text, select); },
                                     [this](const QString& text, bool select) { addStatement(text, select); },
                                     [this] { startExec(); }, p.objects,
                                     [this](const QString& text) { emit documentRequested(text); }},
                                    this);
    p.runs = new RunController(p.editor, p.results, context, this);
    p.session = new DocumentSession(p.runs, context, this);
    p.editing = new ResultEditing(p.runs, p.session, p.results, context, this);
    p.runs->setRunGate([this] {
        // a plan being read holds the kept session
        if (parts_.plans->isBusy()) {
            parts_.results->showMessage(QStringLiteral("The plan is being read: run again when it is shown."));
            return false;
        }
        return parts_.editing->confirmLeave(); // unsaved grid edits: ask first
    });
    connect(p.editing, &ResultEditing::message, this, [this](const QString& text) {
        parts_.results->setMessage(text);
        emit mainStatus(false, text);
    });
    p.errorLine = new ErrorLineMarker(p.editor, p.results->messagePane());
    p.caretStatement = new StatementAtCaret(p.editor, context, p.runs);
    p.check = new QueryCheck(p.editor, p.results, p.runs, context, this);
    p.plans = new QueryPlanRun(p.editor, p.results, context, p.caretStatement, p.runs, this);
    p.session->setOtherUse([plans = p.plans] { return plans->isBusy(); });
    connect(p.plans, &QueryPlanRun::sessionStateRead, p.session, [session = p.session](const SessionState& s) {
        session->noteState(s.open, s.inTransaction, s.aborted);
    });
    // the message pane's own language, coloured from the start
    auto* messages = new MessageLexer(p.results->messagePane());
    p.results->messagePane()->setLanguage(messages);
    p.results->messagePane()->setSyntaxColouring(true);
    p.files = new ScriptFileActions(p.editor, this);
    p.files->setUntitledName(QStringLiteral("Query%1").arg(number_));
    p.watch = new OutputWatch(this);
    p.assist = new CodeAssist(p.editor, this, p.navigation->browser(), context);
    p.look = new EditorLook(p.editor);
    applyPaneFonts(p.editor->editorFont());
    setResultsInText(settings::current().resultsInText());
}

void QueryDocument::wireParts() {
    const DocumentParts& p = parts_;
    connect(p.look, &EditorLook::fontApplied, this, &QueryDocument::applyPaneFonts);
    connect(p.objects, &ObjectBrowser::captionChanged, this, &QueryDocument::updateTitle);
    connect(p.objects, &ObjectBrowser::statusText, p.status, &PanelStatusBar::setPanelText);
    // a rebuilt tree (Refresh, a new connection) makes the completion lists read again too
    connect(p.objects, &ObjectBrowser::listsBuilt, p.assist->popup()->cache(), &CatalogCache::refresh);
    connect(p.objects, &ObjectBrowser::databaseMessage, this, [this](const QString& text) {
        parts_.results->showMessage(text, true);
        parts_.lowerSplitter->setRatioFromTop(0.7);
    });
    connect(p.session, &DocumentSession::stateChanged, this, [this] {
        parts_.status->setPanelText(SessionPanel, parts_.session->panelText());
        parts_.toolbar->setTransactionState(parts_.session->autoCommit(), parts_.session->inTransaction());
    });
    connect(p.watch, &OutputWatch::reloaded, this, [this](const QString& file) {
        ToolOutputView::of(parts_.results->textPane())->showFile(file, QFileInfo(file).fileName());
        setResultsInText(true);
        parts_.results->setCurrentIndex(ResultPanes::ResultsTab);
        parts_.results->showResultsPane();
    });
    connect(p.toolbar, &DocumentToolbar::buttonClicked, this, &QueryDocument::onToolbarButton);
    connect(p.toolbar, &DocumentToolbar::menuItemChosen, this, &QueryDocument::onToolbarMenu);
    connect(p.results, &ResultPanes::modeChanged, p.toolbar, &DocumentToolbar::setResultMode);
    connect(p.editor, &QsciScintilla::textChanged, this, &QueryDocument::onTextChanged);
    connect(p.editor, &QsciScintilla::cursorPositionChanged, this, &QueryDocument::onCursorMoved);
    connect(p.editor, &SqlEditor::executeRequested, this, [this] {
        startExec();
        parts_.editor->setFocus();
    });
    p.editor->setAppCommandHandler([this](SqlEditor::AppCommand command) { return handleAppCommand(command); });
    connect(p.runs, &RunController::mainStatus, this, &QueryDocument::mainStatus);
    connect(p.plans, &QueryPlanRun::mainStatus, this, &QueryDocument::mainStatus);
    connect(p.runs, &RunController::runningChanged, p.toolbar, &DocumentToolbar::setRunning);
    connect(p.runs, &RunController::rowsStatus, this,
            [this](const QString& t) { parts_.status->setPanelText(RowsPanel, t); });
    connect(p.runs, &RunController::elapsedStatus, this,
            [this](const QString& t) { parts_.status->setPanelText(ElapsedPanel, t); });
    connect(p.runs, &RunController::resultsRatioWanted, p.lowerSplitter, &RatioSplitter::setRatioFromTop);
    connect(p.plans, &QueryPlanRun::resultsRatioWanted, p.lowerSplitter, &RatioSplitter::setRatioFromTop);
    connect(p.runs, &RunController::runFinished, this,
            [this](const RunRequest& request, const RunResult& result, const QDateTime& started) {
                store::recordRun(request, result, started, parts_.context->connectionName());
                runTables_ = exports::tableNamesOfScript(request.text);
                if (result.errorAt) parts_.errorLine->mark(*result.errorAt);
            });
    connect(p.runs, &RunController::runningChanged, this, [this](bool running) {
        if (running) parts_.errorLine->clear();
    });
    connect(p.runs, &RunController::watchRequested, p.watch, &OutputWatch::start);
    connect(p.check, &QueryCheck::resultsRatioWanted, p.lowerSplitter, &RatioSplitter::setRatioFromTop);
    connect(p.files, &ScriptFileActions::saved, this, [this](const QString&) { emit fileNameChanged(fileName()); });
    connect(p.files, &ScriptFileActions::fileChanged, this, [this](const QString& path) {
        updateTitle();
        emit fileNameChanged(path);
    });
    connect(p.files, &ScriptFileActions::changedStateChanged, this, [this] {
        if (titleMarked_ != hasUnsavedScript()) updateTitle();
    });
}

// Right-click menus: the main window's "&Edit" over the script and text
// results, its "&Query" over the messages, the grid's own over every result
// set's grid, and each navigation pane's own.
void QueryDocument::wirePopups() {
    const DocumentParts& p = parts_;
    const auto popupOver = [this](QWidget* e, PopupMenu menu) {
        e->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(e, &QWidget::customContextMenuRequested, this,
                [this, e, menu](const QPoint& at) { emit popupRequested(menu, e->mapToGlobal(at)); });
    };
    popupOver(p.editor, PopupMenu::Edit);
    popupOver(p.results->messagePane(), PopupMenu::Query);
    popupOver(p.results->extendedPane(), PopupMenu::Query);
    // the grids and the text pane are made with the first run
    connect(p.results, &ResultPanes::resultsMade, this, [this, popupOver] {
        popupOver(parts_.results->textPane(), PopupMenu::Edit);
        connect(parts_.results->resultSets(), &ResultSetTabs::popupRequested, this,
                [this](const QPoint& at) { emit popupRequested(PopupMenu::Grid, at); });
    });
    connect(p.objects, &ObjectBrowser::popupRequested, this,
            [this](const QPoint& at) { emit popupRequested(PopupMenu::Objects, at); });
    connect(p.templates, &TemplateBrowser::popupRequested, this,
            [this](const QPoint& at) { emit popupRequested(PopupMenu::Templates, at); });
}

void QueryDocument::applyPaneFonts(const QFont& font) {
    parts_.results->setPaneFont(font.family(), QString::number(font.pointSizeF()));
}

void QueryDocument::updateTitle() {
    const DocumentContext& c = *parts_.context;
    QString title = parts_.badge->captionPrefix() + parts_.files->displayName();
    // the connection: its saved name and what the object browser read from it
    // ("provider - database"), else the string without its passwords
    const QString caption = parts_.objects ? parts_.objects->caption() : QString();
    QString shown = c.connectionName();
    if (!caption.isEmpty()) shown = shown.isEmpty() ? caption : shown + QStringLiteral(" — ") + caption;
    if (shown.isEmpty() && c.hasConnection()) shown = db::maskPasswords(c.connectionString());
    if (c.hasConnection()) title += QStringLiteral(" — ") + shown;
    // an unsaved script is marked with "*" (a new, empty one is not)
    titleMarked_ = hasUnsavedScript();
    if (titleMarked_) title += QLatin1Char('*');
    setWindowTitle(title);
}

// ---- file state ----

QString QueryDocument::fileName() const { return parts_.files->fileName(); }
QString QueryDocument::fileTitle() const { return parts_.files->fileTitle(); }
bool QueryDocument::loadFile(const QString& path) { return parts_.files->load(path); }
void QueryDocument::setFile(const QString& path) { parts_.files->setFile(path); }
bool QueryDocument::isChanged() const { return parts_.files->isChanged(); }
void QueryDocument::setChanged(bool changed) { parts_.files->setChanged(changed); }
bool QueryDocument::confirmClose() { return parts_.files->confirmClose(); }
bool QueryDocument::confirmEndSession() { return parts_.session->confirmClose(this); }
bool QueryDocument::asksOnClose() const {
    return hasUnsavedScript() || parts_.editing->hasChanges() || parts_.session->inTransaction();
}
bool QueryDocument::confirmWindowClose() {
    return (!hasUnsavedScript() || confirmClose()) && parts_.editing->confirmLeave() && confirmEndSession();
}
bool QueryDocument::hasUnsavedScript() const { return isChanged() && parts_.editor->length() > 0; }

void QueryDocument::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    parts_.editor->setFocus();
}

// ---- text changes and caret ----

void QueryDocument::onCursorMoved() {
    lastSelection_ = parts_.editor->selectionRange();
    parts_.status->setPanelText(CaretPanel, QStringLiteral("Col: %1 Line: %2")
                                                .arg(lastSelection_.endColumn + 1)
                                                .arg(lastSelection_.endLine + 1));
}

void QueryDocument::onTextChanged() {
    onCursorMoved();
    ++revision_;
    if (titleMarked_ != hasUnsavedScript()) updateTitle();
    parts_.watch->stop(); // a text change ends the output watch
}

// ---- runs ----

void QueryDocument::startExec() { parts_.runs->execute(); }
bool QueryDocument::isRunning() const { return parts_.runs->isRunning(); }
QString QueryDocument::statementType() const { return parts_.runs->statementType(); }
bool QueryDocument::resultsInText() const { return parts_.results->resultsInText(); }
void QueryDocument::setResultsInText(bool text) { parts_.results->setResultsInText(text); }

// ---- editing ----

void QueryDocument::addObjectText(const QString& text, bool select) {
    SqlEditor* e = parts_.editor;
    const long start = e->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART);
    e->replaceSelectedText(text + QLatin1Char(' '));
    if (select) { // the text and its blank, from where the selection began
        const long end = e->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
        e->SendScintilla(QsciScintillaBase::SCI_SETSEL, start, end);
    }
    e->setFocus();
}

void QueryDocument::addStatement(const QString& text, bool select) {
    SqlEditor* e = parts_.editor;
    const long start = e->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART);
    const long lineStart = e->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE,
                                            e->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, start));
    const bool textBefore = !e->text(int(lineStart), int(start)).trimmed().isEmpty();
    if (textBefore) { // a statement starts a line of its own
        e->replaceSelectedText(QStringLiteral("\r\n"));
        e->SendScintilla(QsciScintillaBase::SCI_SETEMPTYSELECTION,
                         e->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
    }
    addObjectText(text, select);
}

void QueryDocument::addMessage(const QString& line) { parts_.results->appendMessage(line); }

// ---- connection ----

void QueryDocument::connectWizard(ConnectionKind kind) {
    // A cancelled dialog keeps the document's current connection.
    if (const auto made = Dialogs::get().newConnection(this, kind)) changeConnection(made->connectionString);
}

bool QueryDocument::changeConnection(const QString& connectionString, const QString& displayName) {
    if (connectionString != parts_.context->connectionString() &&
        !parts_.session->confirmClose(this, DocumentSession::Ending::ChangeConnection))
        return false;
    if (const QString outcome = parts_.session->takeOutcome(); !outcome.isEmpty()) parts_.results->setMessage(outcome);
    setConnection(connectionString, displayName);
    return true;
}

void QueryDocument::setConnection(const QString& connectionString, const QString& displayName) {
    // the session belongs to the old connection (a run still going ends it on its own)
    if (connectionString != parts_.context->connectionString()) parts_.session->disconnectSession();
    parts_.context->setConnection(connectionString, displayName); // the object browser rebuilds its lists
    updateTitle();
}

void QueryDocument::disconnectSession() {
    DocumentSession* session = parts_.session;
    // an open transaction: Commit / Roll Back / Cancel first
    if (!session->confirmClose(this, DocumentSession::Ending::Disconnect) || !session->disconnectSession())
        return; // kept, or a run is going
    const QString outcome = session->takeOutcome();
    parts_.results->showMessage((outcome.isEmpty() ? QString() : outcome + QStringLiteral("\r\n")) +
                                QStringLiteral("Disconnected. The next run opens a new connection."));
}

void QueryDocument::onTransactionButton(const QString& tag) {
    DocumentSession* session = parts_.session;
    if (tag == QLatin1String("AUTOCOMMIT")) {
        // a refused switch (Cancel) shows the switch as it stays
        if (!session->setAutoCommit(parts_.toolbar->button(tag)->isChecked(), this))
            parts_.toolbar->setTransactionState(session->autoCommit(), session->inTransaction());
    } else if (tag == QLatin1String("COMMIT")) {
        session->commit();
    } else if (tag == QLatin1String("ROLLBACK")) {
        session->rollBack();
    }
    showSessionOutcome();
}

void QueryDocument::showSessionOutcome() {
    if (const QString outcome = parts_.session->takeOutcome(); !outcome.isEmpty()) parts_.results->showMessage(outcome);
}

void QueryDocument::scriptObject(ObjectCommand command) { parts_.scripter->run(command); }
void QueryDocument::getTemplates() { parts_.templates->getTemplates(); }

// ---- layout ----

void QueryDocument::setObjectBrowserRatio(double ratio) { parts_.upperSplitter->setRatioFromTop(ratio); }
void QueryDocument::setResultsRatio(double ratio) { parts_.lowerSplitter->setRatioFromTop(ratio); }

void QueryDocument::showNavTab(int tab) {
    parts_.navigation->showTab(NavigationPanes::Tab(tab));
    if (tab == NavigationPanes::HelpTab) parts_.editor->setFocus();
}
