// The document's commands: the main window's menus and keys, the toolbar's
// buttons and drop-downs, the application keys of the script, the edit
// commands on whichever pane has the focus, find in the script or the result
// pane that has the focus, and the grid's "Save as..." and "Copy As".
#include "document/QueryDocument.h"

#include "assist/CodeAssist.h"
#include "catalog/ObjectBrowser.h"
#include "common/Dialogs.h"
#include "common/DocumentContext.h"
#include "common/RatioSplitter.h"
#include "document/CsvImportDialog.h"
#include "document/NavigationPanes.h"
#include "document/QueryCheck.h"
#include "document/GridExportActions.h"
#include "document/QueryPlanRun.h"
#include "document/ResultFind.h"
#include "document/ResultEditing.h"
#include "document/ResultGrid.h"
#include "document/ResultPanes.h"
#include "document/ResultSetTabs.h"
#include "document/ResultTextView.h"
#include "document/RunController.h"
#include "document/ScriptFileActions.h"
#include "document/StatementAtCaret.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

void QueryDocument::execute(DocumentCommand command) {
    switch (command) {
    case DocumentCommand::OpenNew: parts_.files->openNew(); break;
    case DocumentCommand::OpenAppend: parts_.files->openAppend(); break;
    case DocumentCommand::Save: parts_.files->menuSave(); break;
    case DocumentCommand::SaveAs: parts_.files->saveAs(); break;
    case DocumentCommand::Print: parts_.files->print(); break;
    case DocumentCommand::Undo:
    case DocumentCommand::Redo:
    case DocumentCommand::Cut:
    case DocumentCommand::Copy:
    case DocumentCommand::Paste: editFocusedPane(command); break;
    case DocumentCommand::Find:
    case DocumentCommand::FindNext:
    case DocumentCommand::FindPrevious: find(command); break;
    case DocumentCommand::Replace: parts_.editor->executeCmd(SqlEditor::Replace); break;
    case DocumentCommand::GoToLine: parts_.editor->executeCmd(SqlEditor::GoToLine, true); break;
    case DocumentCommand::ToggleBookmark: parts_.editor->executeCmd(SqlEditor::ToggleBookmark); break;
    case DocumentCommand::NextBookmark: parts_.editor->executeCmd(SqlEditor::NextBookmark); break;
    case DocumentCommand::PreviousBookmark: parts_.editor->executeCmd(SqlEditor::PreviousBookmark); break;
    case DocumentCommand::ClearBookmarks: parts_.editor->executeCmd(SqlEditor::ClearBookmarks); break;
    case DocumentCommand::QueryCheck: parts_.check->syntaxCheck(); break;
    case DocumentCommand::Execute: startExec(); break;
    case DocumentCommand::ExecuteStatement: parts_.caretStatement->runStatementAtCaret(); break;
    case DocumentCommand::Stop: parts_.runs->stop(); break;
    case DocumentCommand::Explain: parts_.plans->explain(false); break;
    case DocumentCommand::ImportCsv: importCsv(); break;
    case DocumentCommand::ExplainAnalyze: parts_.plans->explain(true); break;
    case DocumentCommand::Disconnect: disconnectSession(); break;
    case DocumentCommand::ResultsInGrid: setResultsInText(false); break;
    case DocumentCommand::ResultsInText: setResultsInText(true); break;
    case DocumentCommand::FocusQuery: parts_.editor->setFocus(); break;
    case DocumentCommand::FocusResults: parts_.results->setFocus(); break;
    case DocumentCommand::ShowObjectsTab: showNavTab(NavigationPanes::ObjectsTab); break;
    case DocumentCommand::ShowTemplatesTab: showNavTab(NavigationPanes::TemplatesTab); break;
    case DocumentCommand::ShowHelpTab: showNavTab(NavigationPanes::HelpTab); break;
    case DocumentCommand::ShowHistoryTab: showNavTab(NavigationPanes::HistoryTab); break;
    case DocumentCommand::ToggleObjectBrowser:
        parts_.upperSplitter->setRatioFromTop(qFuzzyCompare(parts_.upperSplitter->ratioFromTop(), kObjectBrowserDefault) ? 1.0
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
    case DocumentCommand::GridInsertObject:
        addObjectText(parts_.results->currentGrid()->currentCellText(), true);
        break;
    case DocumentCommand::GridCopy: parts_.results->currentGrid()->copySelection(); break;
    case DocumentCommand::GridSaveAs: gridSaveAs(); break;
    case DocumentCommand::GridOpenValue: parts_.results->currentGrid()->openCurrentValue(); break;
    case DocumentCommand::GridSetNull:
    case DocumentCommand::GridInsertRow:
    case DocumentCommand::GridDuplicateRow:
    case DocumentCommand::GridDeleteRows:
    case DocumentCommand::GridLoadValue:
    case DocumentCommand::GridSaveValue:
    case DocumentCommand::GridSaveChanges:
    case DocumentCommand::GridDiscardChanges:
        parts_.editing->execute(command, parts_.results->resultSets()->currentIndex());
        break;
    case DocumentCommand::GridCopyAsTsv: gridCopyAs(exports::Format::Tsv); break;
    case DocumentCommand::GridCopyAsCsv: gridCopyAs(exports::Format::Csv); break;
    case DocumentCommand::GridCopyAsMarkdown: gridCopyAs(exports::Format::Markdown); break;
    case DocumentCommand::GridCopyAsJson: gridCopyAs(exports::Format::Json); break;
    case DocumentCommand::GridCopyAsSql: gridCopyAs(exports::Format::SqlInsert); break;
    case DocumentCommand::GridCopyHeaders: copyColumnNames_ = !copyColumnNames_; break;
    case DocumentCommand::CodeSense: parts_.assist->showIntelli(); break;
    case DocumentCommand::CatalogSense: parts_.assist->showCatalogSense(); break;
    case DocumentCommand::CatalogTableSense: parts_.assist->showCatalogTableSense(); break;
    case DocumentCommand::VariableSense: parts_.assist->showVariableSense(); break;
    case DocumentCommand::FormatSql: parts_.assist->formatSql(); break;
    case DocumentCommand::RefreshObjects: parts_.objects->addLists(); break;
    }
}

bool QueryDocument::handleAppCommand(SqlEditor::AppCommand command) {
    switch (command) {
    case SqlEditor::EscapeStop:
        if (!isRunning()) return false; // Esc keeps its editing meaning
        parts_.runs->stop();
        return true;
    case SqlEditor::CodeSense: return parts_.assist->codeSenseKey();
    case SqlEditor::CatalogSense: return parts_.assist->catalogSenseKey();
    case SqlEditor::TestCommand: return false;
    }
    return false;
}

void QueryDocument::editFocusedPane(DocumentCommand command) {
    // The edit commands act on the pane that has the focus: the result panes
    // are read-only, so there only Copy does something, and never to the script.
    QWidget* focused = QApplication::focusWidget();
    auto within = [focused](QWidget* pane) { return focused && (focused == pane || pane->isAncestorOf(focused)); };
    if (auto* grid = qobject_cast<ResultGrid*>(ResultFind::searchablePane(focused)); grid && within(parts_.results)) {
        if (command == DocumentCommand::Copy) grid->copySelection();
        return;
    }
    if (within(parts_.results)) // (the text pane is made with the first run; the focus is never in it before)
        for (ResultTextView* pane : {parts_.results->textPane(), parts_.results->extendedPane()})
            if (within(pane)) {
                if (command == DocumentCommand::Copy) pane->copy();
                return;
            }
    if (within(parts_.results->messagePane())) {
        if (command == DocumentCommand::Copy && parts_.results->messagePane()->hasSelectedText())
            parts_.results->messagePane()->copy();
        return;
    }
    if (focused && within(parts_.navigation)) return; // the navigation panes have their own keys
    switch (command) {
    case DocumentCommand::Undo: parts_.editor->undo(); break;
    case DocumentCommand::Redo: parts_.editor->redo(); break;
    case DocumentCommand::Cut: parts_.editor->cut(); break;
    case DocumentCommand::Copy: parts_.editor->copy(); break;
    case DocumentCommand::Paste: parts_.editor->paste(); break;
    default: break;
    }
}

// ---- toolbar ----

void QueryDocument::onToolbarButton(const QString& tag) {
    if (tag == QLatin1String("New")) emit connectionManagerRequested();
    else if (tag == QLatin1String("Open")) parts_.files->openNew();
    else if (tag == QLatin1String("Save")) parts_.files->toolbarSave();
    else if (tag == QLatin1String("Cut")) { if (parts_.editor->canCut()) parts_.editor->cut(); }
    else if (tag == QLatin1String("Copy")) { if (parts_.editor->canCopy()) parts_.editor->copy(); }
    else if (tag == QLatin1String("Paste")) { if (parts_.editor->canPaste()) parts_.editor->paste(); }
    else if (tag == QLatin1String("Erase")) { parts_.editor->selectAll(); parts_.editor->removeSelectedText(); } // undoable
    else if (tag == QLatin1String("Search")) parts_.editor->executeCmd(SqlEditor::Find);
    else if (tag == QLatin1String("Undo")) parts_.editor->undo();
    else if (tag == QLatin1String("Syntax Check")) parts_.check->syntaxCheck();
    else if (tag == QLatin1String("EXECUTE")) startExec();
    else if (tag == QLatin1String("STOP")) parts_.runs->stop();
    else onTransactionButton(tag);
}

void QueryDocument::onToolbarMenu(const QString&, const QString& key) {
    if (key == QLatin1String("PGSQL")) connectWizard(ConnectionKind::PostgreSql);
    else if (key == QLatin1String("MARIADB")) connectWizard(ConnectionKind::MariaDb);
    else if (key == QLatin1String("SQLITE")) connectWizard(ConnectionKind::SqliteFile);
    else if (key == QLatin1String("ODBC")) connectWizard(ConnectionKind::OdbcDriver);
    else if (key == QLatin1String("DSN")) connectWizard(ConnectionKind::OdbcDataSource);
    else if (key == QLatin1String("wizard")) emit connectionManagerRequested();
    else if (key == QLatin1String("ONEW")) parts_.files->openNew();
    else if (key == QLatin1String("OAPP")) parts_.files->openAppend();
    else if (key == QLatin1String("resGrd")) setResultsInText(false);
    else if (key == QLatin1String("resTxt")) setResultsInText(true);
}

// ---- grid pop-up ----

QString QueryDocument::gridTable() const {
    return runTables_.value(parts_.results->resultSets()->currentIndex());
}

void QueryDocument::gridSaveAs() {
    const QString folder = fileName().isEmpty() ? QDir::homePath() : QFileInfo(fileName()).absolutePath();
    document::saveAs(this, parts_.results->currentGrid(), folder, gridTable());
}

void QueryDocument::gridCopyAs(exports::Format format) {
    document::copyAs(this, parts_.results->currentGrid(), format, copyColumnNames_, gridTable());
}

// ---- find ----

void QueryDocument::find(DocumentCommand command) {
    QWidget* focused = QApplication::focusWidget();
    ResultPanes* results = parts_.results;
    if (!focused || !results->isAncestorOf(focused)) { // the script's own Find
        if (command == DocumentCommand::Find || !parts_.editor->findNext()) parts_.editor->executeCmd(SqlEditor::Find);
        return;
    }
    ResultFind* finder = results->finder();
    // the pane with the focus, or the one the bar searches while it has the focus
    QWidget* pane = finder->isAncestorOf(focused) ? finder->pane() : ResultFind::searchablePane(focused);
    if (!pane) return;
    if (command == DocumentCommand::Find) finder->open(pane);
    else {
        finder->setPane(pane);
        finder->findNext(command == DocumentCommand::FindNext);
    }
}

void QueryDocument::importCsv() {
    if (!parts_.context->hasConnection()) {
        Dialogs::get().message(this, QStringLiteral("Connect first: the rows go into a table of the document's connection."),
                               QStringLiteral("Import CSV"));
        return;
    }
    CsvImportDialog dialog(parts_.context->connectionString(), parts_.context->database(), this);
    // a new table shows in the object tree
    connect(&dialog, &CsvImportDialog::importFinished, this, [this](const csv::ImportResult& result) {
        if (result.ok()) parts_.objects->addLists();
    });
    dialog.exec();
}
