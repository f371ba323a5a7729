#pragma once
// The application's main window ("SQL Query Editor"): the query documents as
// MDI children, the menu bar with its pop-up menus, and the status bar. It
// routes every document command to the active document by the document's
// operation name and holds no query logic of its own.

#include <QHash>
#include <QMainWindow>

class PanelStatusBar;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;
class QueryDocument;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    QueryDocument* activeDocument() const;
    QList<QueryDocument*> documents() const;
    QueryDocument* newDocument();
    // Opens a script file in the first empty new document, or in a new one.
    QueryDocument* openFile(const QString& path);

    QAction* action(const QString& id) const;
    QMenu* menu(const QString& id) const;
    PanelStatusBar* statusPanels() const { return sb_; }
    QMdiArea* mdiArea() const { return mdi_; }
    bool resultsFullView() const { return resultsFullView_; }

    // Counts the application's windows into status panel 2 ("Connections: N").
    void getQueryWindows();
    // Runs one menu command by its id (what the menu entry does).
    void runCommand(const QString& id);
    // Offers the journalled documents of an earlier session back.
    void offerRecovery();
    // Writes the journal entries of changed documents now (normally on a timer).
    void journalNow();

signals:
    void connectionManagerRequested(QueryDocument* doc);

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildStatusBar();
    bool route(const char* operation);
    void closeActiveDocument();
    bool closeDocument(QueryDocument* doc, bool ask);
    // Drops a closing document's journal entry (the user has decided about it).
    void forgetJournal(QueryDocument* doc);
    void arrange(int how);
    void fillWindowMenu();
    void popup(const QString& menu, const QPoint& pos);
    void onDocumentActivated(QMdiSubWindow* w);

    QMdiArea* mdi_;
    PanelStatusBar* sb_;
    QHash<QString, QAction*> actions_;
    QHash<QString, QMenu*> menus_;
    QTimer* journalTimer_;
    QHash<QueryDocument*, QString> journalIds_;
    QHash<QueryDocument*, quint64> journalled_; // revision last written
    int windowCount_ = 1;
    bool resultsFullView_ = false;
};
