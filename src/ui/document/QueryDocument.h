#pragma once
// One query document: a script in its editor, its connection, its result
// panes and the file it came from. It composes small parts (DocumentParts.h:
// toolbar, editor, navigation panes, result panes, run controller, file
// actions, ...) around one DocumentContext, and relays between them; each
// feature lives in its own part. The main window reaches it through
// execute(DocumentCommand) and the few operations below.

#include "document/DocumentCommand.h"
#include "document/DocumentParts.h"
#include "editor/SqlEditor.h"
#include "export/ExportFormat.h"

#include <QWidget>

enum class ConnectionKind;
enum class ObjectCommand;

class QueryDocument : public QWidget {
    Q_OBJECT
public:
    explicit QueryDocument(QWidget* parent = nullptr);
    ~QueryDocument() override;

    // Carries out a menu or key command.
    void execute(DocumentCommand command);
    // The object pop-up's commands, on the node the object browser marks.
    void scriptObject(ObjectCommand command);

    // ---- runs ----
    void startExec(); // runs the selection, or the whole script
    bool isRunning() const;
    // The class of the script last run, as the query summary shows it.
    QString statementType() const;
    bool resultsInText() const;
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
    // What the document is connected to.
    const DocumentContext& context() const { return *parts_.context; }

    // ---- editing ----
    // Replaces the selection with text and a blank; with select, the inserted
    // text is left selected.
    void addObjectText(const QString& text, bool select);
    // The same for a generated statement, which starts a line of its own
    // when text stands before the caret on its line.
    void addStatement(const QString& text, bool select);
    // Adds a line to the Messages tab (shown, not brought forward): a notice
    // of the program's own.
    void addMessage(const QString& line);

    // ---- file state ----
    QString fileName() const;
    QString fileTitle() const;
    // Opens path into the script; false (with a message shown) when it could not be read.
    bool loadFile(const QString& path);
    // Names the file the script belongs to, without reading it (a recovered script).
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

    // ---- layout and templates ----
    void setResultsRatio(double ratio);
    void getTemplates(); // rebuilds this document's template tree

    SqlEditor* editor() const { return parts_.editor; }
    // The parts, for tests and tools.
    const DocumentParts& parts() const { return parts_; }

    // The document's status panels.
    // Panels 1 to 4 belong to the object browser (state, provider, database, version).
    // ProfilePanel: the connection's environment and "Read-only".
    enum StatusPanel { ElapsedPanel = 5, RowsPanel = 6, CaretPanel = 7, SessionPanel = 8, ProfilePanel = 9 };

signals:
    void popupRequested(PopupMenu menu, const QPoint& globalPos);
    void mainStatus(bool busy, const QString& text);
    void fileNameChanged(const QString& fileName);
    void connectionManagerRequested();

protected:
    void focusInEvent(QFocusEvent* e) override;

private:
    static constexpr double kObjectBrowserDefault = 0.7; // the editor's share beside the navigation panes

    void buildLayout();
    void buildParts();
    void wireParts();
    void wirePopups();
    // A changed script with text in it (an emptied one is not offered for saving).
    bool hasUnsavedScript() const;
    void applyPaneFonts(const QFont& font);
    void onTextChanged();
    void onCursorMoved();
    void updateTitle();
    void showNavTab(int tab);
    void setObjectBrowserRatio(double ratio);
    void onToolbarButton(const QString& tag);
    void onToolbarMenu(const QString& tag, const QString& key);
    void connectWizard(ConnectionKind kind);
    void disconnectSession();
    // The toolbar's Auto-commit, Commit and Roll Back.
    void onTransactionButton(const QString& tag);
    // Shows what ending a transaction did ("The transaction was committed.").
    void showSessionOutcome();
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

    DocumentParts parts_;
    EditorRange lastSelection_;
    int number_;
    bool titleMarked_ = false;
    bool copyColumnNames_ = true;
    QStringList runTables_; // the table each result set of the last run read, where known
    quint64 revision_ = 0;
};
