#include "document/QueryDocument.h"

#include "document/DocumentToolbar.h"
#include "run/GridExport.h"
#include "document/NavigationPanes.h"
#include "script/OutputWatch.h"
#include "common/RatioSplitter.h"
#include "document/ResultGrid.h"
#include "run/ResultModel.h"
#include "document/ResultPanes.h"
#include "document/RunController.h"
#include "document/ScriptFileActions.h"
#include "common/Dialogs.h"
#include "settings/Ini.h"
#include "common/PanelStatusBar.h"
#include "db/ConnectionString.h"

#include <QComboBox>
#include <QFileInfo>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
int documentsCreated = 0;
} // namespace

QueryDocument::QueryDocument(QWidget* parent) : QWidget(parent), number_(++documentsCreated) {
    setObjectName(QStringLiteral("frmDocument"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    toolbar_ = new DocumentToolbar(this);
    toolbar_->addMenuItem(QStringLiteral("New"), QStringLiteral("Connection Manager"), QStringLiteral("wizard"));
    editor_ = new SqlEditor(this);
    editor_->setObjectName(QStringLiteral("codeMain"));
    nav_ = new NavigationPanes(this);
    results_ = new ResultPanes(this);
    splUp_ = new RatioSplitter(Qt::Horizontal, this);
    splUp_->setObjectName(QStringLiteral("splUp"));
    splUp_->addWidget(editor_);
    splUp_->addWidget(nav_);
    splDown_ = new RatioSplitter(Qt::Vertical, this);
    splDown_->setObjectName(QStringLiteral("splDown"));
    splDown_->addWidget(splUp_);
    splDown_->addWidget(results_);
    status_ = new PanelStatusBar(7, 7, this);
    status_->setObjectName(QStringLiteral("StatusBar1"));
    status_->setPanelMinimumWidth(5, 60);
    status_->setPanelToolTip(5, QStringLiteral("Elapsed time of the last run"));
    status_->setPanelToolTip(6, QStringLiteral("Rows of the last run"));
    layout->addWidget(toolbar_);
    layout->addWidget(splDown_, 1);
    layout->addWidget(status_);

    runner_ = new RunController(editor_, results_, this);
    files_ = new ScriptFileActions(this);
    watch_ = new OutputWatch(this);
    connect(watch_, &OutputWatch::reloaded, this, [this](const QString& text) {
        results_->textPane()->setText(text);
        setResultMood(QStringLiteral("text"));
        results_->setCurrentIndex(ResultPanes::ResultsTab);
        results_->showResultsPane();
    });

    splUp_->setRatioFromTop(0.7);
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
    connect(editor_, &SqlEditor::appCommand, this, [this](int command) {
        switch (command) {
        case SqlEditor::CodeSense: showIntelli(); break;
        case SqlEditor::CatalogSense: showCatalogSense(); break;
        case SqlEditor::EscapeStop: stopQuery(); break;
        default: break;
        }
    });
    // right-click menus: the main window's "&Edit" over the script and text
    // results, its "&Query" over the messages
    for (SqlEditor* e : {editor_, results_->textPane(), results_->messagePane(), results_->extendedPane()}) {
        e->setContextMenuPolicy(Qt::CustomContextMenu);
        const QString menu = (e == editor_ || e == results_->textPane()) ? QStringLiteral("Edit") : QStringLiteral("Query");
        connect(e, &QWidget::customContextMenuRequested, this,
                [this, e, menu](const QPoint& p) { emit popupRequested(menu, e->mapToGlobal(p)); });
    }
    connect(results_->grid(), &ResultGrid::popupRequested, this,
            [this](const QPoint& p) { emit popupRequested(QStringLiteral("NOVIS_GRID"), p); });
    connect(runner_, &RunController::mainStatus, this, &QueryDocument::mainStatus);
    connect(runner_, &RunController::runningChanged, toolbar_, &DocumentToolbar::setRunning);
    connect(runner_, &RunController::rowsStatus, this, [this](const QString& t) { status_->setPanelText(6, t); });
    connect(runner_, &RunController::elapsedStatus, this, [this](const QString& t) { status_->setPanelText(5, t); });
    connect(runner_, &RunController::resultsRatioWanted, splDown_, &RatioSplitter::setRatioFromTop);
    connect(files_, &ScriptFileActions::saved, this, [this](const QString&) { emit fileNameChanged(fileName_); });

    onCursorMoved();
    updateTitle();
    setFocusProxy(editor_);
}

QueryDocument::~QueryDocument() = default;

void QueryDocument::applySettings() {
    auto flag = [](const char* key) { return ini::flag(QStringLiteral("OPTIONS"), QLatin1String(key)); };
    editor_->setAutoCorrectCase(flag("autocorrsyntax"));
    editor_->setConvertTabs(flag("converttabs"));
    editor_->setEditorFont(ini::value(QStringLiteral("OPTIONS"), QStringLiteral("font")),
                           ini::value(QStringLiteral("OPTIONS"), QStringLiteral("fontsize")));
    editor_->setSyntaxColouring(flag("syntaxhighlight"));
    setResultMood(ini::value(QStringLiteral("OPTIONS"), QStringLiteral("resultsin")) == QLatin1String("1")
                      ? QStringLiteral("text")
                      : QStringLiteral("grid"));
    const QFont paneFont = editor_->editorFont();
    for (SqlEditor* pane : {results_->textPane(), results_->messagePane(), results_->extendedPane()})
        pane->setEditorFont(paneFont.family(), QString::number(paneFont.pointSizeF()));
}

void QueryDocument::updateTitle() {
    QString title = fileTitle_.isEmpty() ? QStringLiteral("Query%1").arg(number_) : fileTitle_;
    if (!connectionString_.isEmpty())
        title += QStringLiteral(" — ") +
                 (connectionName_.isEmpty() ? db::maskPasswords(connectionString_) : connectionName_);
    // an unsaved script is marked with "*" (a new, empty one is not)
    titleMarked_ = changed_ && editor_->length() > 0;
    if (titleMarked_) title += QLatin1Char('*');
    setWindowTitle(title);
    status_->setPanelText(1, connectionString_.isEmpty() ? QStringLiteral("No connection")
                                                         : (connectionName_.isEmpty() ? db::maskPasswords(connectionString_)
                                                                                      : connectionName_));
}

void QueryDocument::setFile(const QString& path) {
    fileName_ = path;
    fileTitle_ = QFileInfo(path).fileName();
    updateTitle();
    emit fileNameChanged(fileName_);
}

void QueryDocument::setChanged(bool changed) {
    changed_ = changed;
    if (titleMarked_ != (changed_ && editor_->length() > 0)) updateTitle();
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
    status_->setPanelText(7, QStringLiteral("Col: %1 Line: %2").arg(lastSelection_.endColumn + 1).arg(lastSelection_.endLine + 1));
}

void QueryDocument::onTextChanged() {
    onCursorMoved();
    wordAtCaret_ = editor_->wordAt(lastSelection_.endLine, lastSelection_.endColumn);
    ++revision_;
    setChanged(true);
    watch_->stop(); // a text change ends the output watch
}

// ---- toolbar ----

void QueryDocument::onToolbarButton(const QString& tag) {
    if (tag == QLatin1String("New")) emit connectionManagerRequested();
    else if (tag == QLatin1String("Open")) fileOpenNew();
    else if (tag == QLatin1String("Save")) toolbarSave();
    else if (tag == QLatin1String("Cut")) { if (editor_->canCut()) editor_->cut(); }
    else if (tag == QLatin1String("Copy")) { if (editor_->canCopy()) editor_->copy(); }
    else if (tag == QLatin1String("Paste")) { if (editor_->canPaste()) editor_->paste(); }
    else if (tag == QLatin1String("Erase")) editor_->setText(QString());
    else if (tag == QLatin1String("Search")) editor_->executeCmd(SqlEditor::Find);
    else if (tag == QLatin1String("Undo")) editor_->undo();
    else if (tag == QLatin1String("Syntax Check")) syntaxCheck();
    else if (tag == QLatin1String("EXECUTE")) startExec();
    else if (tag == QLatin1String("STOP")) stopQuery();
}

void QueryDocument::onToolbarMenu(const QString& tag, const QString& key) {
    if (key == QLatin1String("OLEDB") || key == QLatin1String("ODBC")) connectWizard(key);
    else if (key == QLatin1String("wizard")) emit connectionManagerRequested();
    else if (key == QLatin1String("ONEW")) fileOpenNew();
    else if (key == QLatin1String("OAPP")) fileOpenAppend();
    else if (key == QLatin1String("resGrd")) setResultMood(QStringLiteral("grid"));
    else if (key == QLatin1String("resTxt")) setResultMood(QStringLiteral("text"));
    Q_UNUSED(tag);
}

// ---- runs ----

void QueryDocument::startExec() { docExecute(); }
void QueryDocument::quickSelect() { docExecute(); }

void QueryDocument::docExecute() {
    const QString database = toolbar_->databaseChooser()->currentText();
    runner_->execute(connectionString_, database);
}

void QueryDocument::stopQuery() { runner_->stop(); }
void QueryDocument::syntaxCheck() {}
void QueryDocument::setResultMood(const QString& mode) { results_->setResultMood(mode); }

// ---- files ----

void QueryDocument::fileOpenNew() { files_->openNew(); }
void QueryDocument::fileOpenAppend() { files_->openAppend(); }
void QueryDocument::toolbarSave() { files_->toolbarSave(); }
void QueryDocument::menuSave() { files_->menuSave(); }
void QueryDocument::saveAs() { files_->saveAs(); }
void QueryDocument::printScript() { files_->print(); }
void QueryDocument::myWatch(const QString& folder, const QString& outputFile) { watch_->start(folder, outputFile); }
bool QueryDocument::confirmClose() { return files_->confirmClose(); }

// ---- editing ----

void QueryDocument::addObjectText(const QString& text, bool select) {
    editor_->replaceSelectedText(text + QLatin1Char(' '));
    if (select) {
        EditorRange r = lastSelection_;
        r.startColumn = r.startColumn; // the range starts where the last change left the caret
        r.endColumn += int(text.size()) + 1;
        editor_->setCursorPosition(r.startLine, r.startColumn + int(text.size()) + 1);
        editor_->setSelectionRange(r, true);
    }
    editor_->setFocus();
}

void QueryDocument::executeCmd(int command) { editor_->executeCmd(command, command == SqlEditor::GoToLine); }
void QueryDocument::editUndo() { editor_->undo(); }
void QueryDocument::editCut() { editor_->cut(); }
void QueryDocument::editCopy() { editor_->copy(); }
void QueryDocument::editPaste() { editor_->paste(); }

// ---- operations of later features ----

void QueryDocument::addLists() {}
void QueryDocument::getTemplates() {}
void QueryDocument::showIntelli() {}
void QueryDocument::showCatalogSense() {}
void QueryDocument::showCatalogTableSense() {}
void QueryDocument::showVariableSense() {}

// ---- connection ----

void QueryDocument::connectWizard(const QString& kind) {
    // A cancelled dialog keeps the document's current connection.
    if (const auto made = Dialogs::get().newConnection(this, kind)) setCONSTR(made->connectionString);
}

void QueryDocument::setCONSTR(const QString& connectionString, const QString& displayName) {
    connectionString_ = connectionString;
    connectionName_ = displayName;
    updateTitle();
    addLists();
}

// ---- layout ----

void QueryDocument::setObjectBrowserRatio(double ratio) { splUp_->setRatioFromTop(ratio); }

void QueryDocument::toggleObjectBrowser() {
    splUp_->setRatioFromTop(qFuzzyCompare(splUp_->ratioFromTop(), 0.7) ? 1.0 : 0.7);
}

void QueryDocument::setResultsRatio(double ratio) { splDown_->setRatioFromTop(ratio); }

void QueryDocument::focusQuery() { editor_->setFocus(); }
void QueryDocument::focusResults() { results_->setFocus(); }

void QueryDocument::showNavTab(int tab) {
    nav_->showTab(NavigationPanes::Tab(tab));
    if (tab == NavigationPanes::HelpTab) editor_->setFocus();
}

// ---- grid pop-up ----

void QueryDocument::gridInsertObject() { addObjectText(results_->grid()->currentCellText(), true); }
void QueryDocument::gridCopy() { results_->grid()->copySelection(); }
void QueryDocument::gridSaveAs() {
    const QStringList filters = {QStringLiteral("Comma Separated (*.csv)"), QStringLiteral("Tab Separated (*.tab)")};
    QString chosen;
    const QString path = Dialogs::get().saveFileName(this, QStringLiteral("Save as..."), filters, QString(), &chosen);
    if (path.isEmpty()) return;
    const auto format = gridexport::formatFor(path, chosen == filters[1] ? gridexport::kTab : gridexport::kCsv);
    const auto result = gridexport::writeFile(*results_->grid()->resultModel(), path, format);
    if (!result.ok)
        Dialogs::get().message(this, QStringLiteral("The results were not saved to %1.\n%2").arg(path, result.error),
                               QStringLiteral("Save as..."));
}
