#pragma once
// One query document: a script in its editor, its connection, its result
// panes and the file it came from. It composes small parts (toolbar, editor,
// navigation panes, result panes, run controller, file actions); the main
// window reaches its public operations by name (Q_INVOKABLE).

#include "editor/SqlEditor.h"

#include <QPointer>
#include <QWidget>

class DocumentToolbar;
class NavigationPanes;
class PanelStatusBar;
class RatioSplitter;
class ResultPanes;
class RunController;
class ScriptFileActions;

class QueryDocument : public QWidget {
    Q_OBJECT
public:
    explicit QueryDocument(QWidget* parent = nullptr);
    ~QueryDocument() override;

    // ---- operations the main window calls by name ----
    Q_INVOKABLE void startExec();
    Q_INVOKABLE void quickSelect();
    Q_INVOKABLE void docExecute();
    Q_INVOKABLE void stopQuery();
    Q_INVOKABLE void syntaxCheck();
    Q_INVOKABLE void setResultMood(const QString& mode);
    Q_INVOKABLE void fileOpenNew();
    Q_INVOKABLE void fileOpenAppend();
    Q_INVOKABLE void toolbarSave();
    Q_INVOKABLE void menuSave();
    Q_INVOKABLE void saveAs();
    Q_INVOKABLE void printScript();
    // Reloads the external tool's output file into the text pane when the
    // tool writes it into folder (at most twice; a text change ends it).
    Q_INVOKABLE void myWatch(const QString& folder, const QString& outputFile = QString());
    class OutputWatch* outputWatch() const { return watch_; }
    Q_INVOKABLE bool getChanged() const { return changed_; }
    Q_INVOKABLE void addObjectText(const QString& text, bool select);
    Q_INVOKABLE void addLists();
    Q_INVOKABLE void getTemplates();
    Q_INVOKABLE void showIntelli();
    Q_INVOKABLE void showCatalogSense();
    Q_INVOKABLE void showCatalogTableSense();
    Q_INVOKABLE void showVariableSense();
    Q_INVOKABLE void connectWizard(const QString& kind);
    Q_INVOKABLE void setCONSTR(const QString& connectionString, const QString& displayName = QString());
    Q_INVOKABLE QString GetCONSTR() const { return connectionString_; }
    Q_INVOKABLE void executeCmd(int command);
    Q_INVOKABLE void editUndo();
    Q_INVOKABLE void editCut();
    Q_INVOKABLE void editCopy();
    Q_INVOKABLE void editPaste();
    // layout
    Q_INVOKABLE void setObjectBrowserRatio(double ratio);
    Q_INVOKABLE void toggleObjectBrowser();
    Q_INVOKABLE void setResultsRatio(double ratio);
    Q_INVOKABLE void focusQuery();
    Q_INVOKABLE void focusResults();
    Q_INVOKABLE void showNavTab(int tab);
    // grid pop-up
    Q_INVOKABLE void gridInsertObject();
    Q_INVOKABLE void gridCopy();
    Q_INVOKABLE void gridSaveAs();

    // ---- state ----
    SqlEditor* editor() const { return editor_; }
    ResultPanes* resultPanes() const { return results_; }
    NavigationPanes* navigation() const { return nav_; }
    DocumentToolbar* toolbar() const { return toolbar_; }
    RatioSplitter* upperSplitter() const { return splUp_; }   // editor | navigation
    RatioSplitter* lowerSplitter() const { return splDown_; } // upper area / results
    PanelStatusBar* statusBar() const { return status_; }
    QString fileName() const { return fileName_; }
    QString fileTitle() const { return fileTitle_; }
    void setFile(const QString& path);
    void setChanged(bool changed);
    bool isRunning() const;
    QString statementType() const;
    QString connectionName() const { return connectionName_; }
    EditorRange lastSelection() const { return lastSelection_; }
    QString wordAtCaret() const { return wordAtCaret_; }
    ScriptFileActions* files() const { return files_; }
    // Counts text changes; lets the journal skip unchanged scripts cheaply.
    quint64 revision() const { return revision_; }
    // Whether the document may close now; asks to save a changed script.
    bool confirmClose();

signals:
    // The main window shows one of its menus as a pop-up ("Edit", "Query",
    // "NOVIS_GRID", "NOVIS_OBJECTS", "NOVIS_TEMPLATE").
    void popupRequested(const QString& menu, const QPoint& globalPos);
    void mainStatus(bool busy, const QString& text);
    void fileNameChanged(const QString& fileName);
    void connectionManagerRequested();

protected:
    void focusInEvent(QFocusEvent* e) override;

private:
    void applySettings();
    void onTextChanged();
    void onCursorMoved();
    void updateTitle();
    void onToolbarButton(const QString& tag);
    void onToolbarMenu(const QString& tag, const QString& key);

    DocumentToolbar* toolbar_;
    SqlEditor* editor_;
    NavigationPanes* nav_;
    ResultPanes* results_;
    RatioSplitter* splUp_;
    RatioSplitter* splDown_;
    PanelStatusBar* status_;
    RunController* runner_;
    ScriptFileActions* files_;
    OutputWatch* watch_;

    QString fileName_, fileTitle_;
    bool changed_ = true; // a new document counts as changed
    QString connectionString_;
    QString connectionName_;
    int sqlStyle_ = 0;
    EditorRange lastSelection_;
    QString wordAtCaret_;
    int number_;
    bool titleMarked_ = false;
    quint64 revision_ = 0;
};
