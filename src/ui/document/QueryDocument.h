#pragma once
// One query document: a script in its editor, its connection, its result
// panes and the file it came from. It composes small parts (toolbar, editor,
// navigation panes, result panes, run controller, file actions) and relays
// between them; each feature lives in its own part. The main window reaches
// it through execute(DocumentCommand) and a few typed operations.

#include "common/Dialogs.h"
#include "catalog/ObjectScripter.h"
#include "document/DocumentCommand.h"
#include "editor/SqlEditor.h"
#include "export/ExportFormat.h"

#include <QWidget>

class CodeAssist;
class DocumentSession;
class DocumentToolbar;
class ErrorLineMarker;
class HistoryPane;
class NavigationPanes;
class ObjectBrowser;
class OutputWatch;
class PanelStatusBar;
class QueryCheck;
class RatioSplitter;
class ResultEditing;
class ResultPanes;
class RunController;
class ScriptFileActions;
class StatementAtCaret;
class TemplateBrowser;

class QueryDocument : public QWidget {
    Q_OBJECT
public:
    explicit QueryDocument(QWidget* parent = nullptr);
    ~QueryDocument() override;

    // Carries out a menu or key command.
    void execute(DocumentCommand command);

    // ---- runs ----
    void startExec();  // runs the selection, or the whole script
    void runStatementAtCaret();
    void stopQuery();
    void syntaxCheck();
    bool isRunning() const;
    // The class of the script last run, as the query summary shows it.
    QString statementType() const;
    void setResultsInText(bool text);
    // "Copy As" takes the column names too (Edit > Copy As > With Column Names).
    bool copiesColumnNames() const { return copyColumnNames_; }

    // ---- connection ----
    // Sets the document's connection; displayName (a saved connection's name)
    // is shown instead of the string when given.
    void setConnection(const QString& connectionString, const QString& displayName = QString());
    // The user's change of connection: inside a transaction it asks first
    // (Commit / Roll Back / Cancel); false when the current one is kept.
    bool changeConnection(const QString& connectionString, const QString& displayName = QString());
    QString connectionString() const { return connectionString_; }
    QString connectionName() const { return connectionName_; }
    // Builds a new connection with the connection dialog; Cancel keeps the current one.
    void connectWizard(ConnectionKind kind);
    // Rebuilds the object tree and the database chooser.
    void addLists();
    // Writes the program's selected object into the script (the object pop-up's commands).
    void scriptObject(ObjectCommand command);

    // ---- editing ----
    // Replaces the selection with text and a blank; with select, the inserted
    // text is left selected.
    void addObjectText(const QString& text, bool select);
    // Reloads the external tool's output file into the text pane when the
    // tool writes it into folder (at most twice; a text change ends it).
    void watchOutput(const QString& folder, const QString& outputFile = QString());

    // ---- file state ----
    QString fileName() const;
    QString fileTitle() const;
    void setFile(const QString& path);
    bool isChanged() const;
    void setChanged(bool changed);
    // Counts text changes; lets the journal skip unchanged scripts cheaply.
    quint64 revision() const { return revision_; }
    // Whether the document may close now; asks to save a changed script.
    bool confirmClose();
    // Whether the document may close as far as its session goes: asks what
    // to do with an open transaction (Commit / Roll Back / Cancel).
    bool confirmEndSession();
    // Whether closing the window asks anything: a changed, non-empty script
    // (save?) or an open transaction (Commit / Roll Back / Cancel).
    bool asksOnClose() const;
    // Asks those questions in that order; false when one was cancelled.
    bool confirmWindowClose();
    // Closes the connection the document keeps between runs ("Disconnect").
    void disconnectSession();
    DocumentSession* session() const { return session_; }
    // Editing of the result grids (save, discard, the unsaved-edits question).
    ResultEditing* resultEditing() const { return editing_; }

    // ---- layout ----
    void setObjectBrowserRatio(double ratio);
    void setResultsRatio(double ratio);
    void showNavTab(int tab);

    // ---- templates ----
    void getTemplates(); // rebuilds this document's template tree

    // ---- parts ----
    SqlEditor* editor() const { return editor_; }
    ResultPanes* resultPanes() const { return results_; }
    NavigationPanes* navigation() const { return nav_; }
    ObjectBrowser* objectBrowser() const { return browser_; }
    ObjectScripter* objectScripter() const { return scripter_; }
    DocumentToolbar* toolbar() const { return toolbar_; }
    RatioSplitter* upperSplitter() const { return splUp_; }   // editor | navigation
    RatioSplitter* lowerSplitter() const { return splDown_; } // upper area / results
    PanelStatusBar* statusBar() const { return status_; }
    ScriptFileActions* files() const { return files_; }
    OutputWatch* outputWatch() const { return watch_; }
    TemplateBrowser* templateBrowser() const { return templates_; }
    HistoryPane* historyPane() const { return history_; }
    CodeAssist* assist() const { return assist_; }
    StatementAtCaret* caretStatement() const { return caretStatement_; }
    EditorRange lastSelection() const { return lastSelection_; }
    QString wordAtCaret() const { return wordAtCaret_; }

    // The document's status panels.
    // Panels 1 to 4 belong to the object browser (state, provider, database, version).
    enum StatusPanel { ElapsedPanel = 5, RowsPanel = 6, CaretPanel = 7, SessionPanel = 8 };

signals:
    void popupRequested(PopupMenu menu, const QPoint& globalPos);
    void mainStatus(bool busy, const QString& text);
    void fileNameChanged(const QString& fileName);
    void connectionManagerRequested();

protected:
    void focusInEvent(QFocusEvent* e) override;

private:
    // A changed script with text in it (an emptied one is not offered for saving).
    bool hasUnsavedScript() const;
    void applySettings();
    void onTextChanged();
    void onCursorMoved();
    void updateTitle();
    void onToolbarButton(const QString& tag);
    void onToolbarMenu(const QString& tag, const QString& key);
    void gridSaveAs();
    // Find, Find Next and Find Previous: in the result pane that has the
    // focus (the grid, text, extended or messages), else in the script.
    void find(DocumentCommand command);
    void gridCopyAs(exports::Format format);
    // The table of the INSERTs made from the grid in front: read from the query that made it.
    QString gridTable() const;
    void editFocusedPane(DocumentCommand command);
    // An application key pressed in the script; true when something took it.
    bool handleAppCommand(SqlEditor::AppCommand command);

    DocumentToolbar* toolbar_;
    SqlEditor* editor_;
    NavigationPanes* nav_;
    ObjectBrowser* browser_ = nullptr;
    ObjectScripter* scripter_ = nullptr;
    ResultPanes* results_;
    RatioSplitter* splUp_;
    RatioSplitter* splDown_;
    PanelStatusBar* status_;
    RunController* runner_;
    ErrorLineMarker* errorLine_;
    StatementAtCaret* caretStatement_;
    DocumentSession* session_;
    ResultEditing* editing_;
    QueryCheck* check_;
    ScriptFileActions* files_;
    OutputWatch* watch_;
    TemplateBrowser* templates_;
    HistoryPane* history_;
    CodeAssist* assist_;

    QString connectionString_;
    QString connectionName_;
    EditorRange lastSelection_;
    QString wordAtCaret_;
    int number_;
    bool titleMarked_ = false;
    bool copyColumnNames_ = true;
    QStringList runTables_; // the table each result set of the last run read, where known
    quint64 revision_ = 0;
};
