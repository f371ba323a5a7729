#pragma once
// The application's main window ("SQL Query Editor"): the query documents as
// MDI children, the menu bar with its pop-up menus, and the status bar. It
// routes menu commands (typed, see MainMenu.h) to the active document or to
// itself and holds no query logic of its own.

#include "document/DocumentCommand.h"
#include "shell/MainMenu.h"

#include <QHash>
#include <QMainWindow>

class JournalKeeper;
class MainStatusBar;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QueryDocument;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    QueryDocument* activeDocument() const;
    QList<QueryDocument*> documents() const;
    QueryDocument* newDocument();
    // The first empty, never saved document, or a new one.
    QueryDocument* emptyDocument();
    // Opens a script file in the first empty new document, or in a new one.
    QueryDocument* openFile(const QString& path);

    QAction* action(const QString& id) const;
    QMenu* menu(const QString& id) const;
    MainStatusBar* statusPanels() const { return sb_; }
    QMdiArea* mdiArea() const { return mdi_; }
    bool resultsFullView() const { return resultsFullView_; }
    JournalKeeper* journal() const { return journal_; }

    // Counts the open query documents, each with its own connection, into
    // the windows panel ("Connections: N").
    void getQueryWindows();
    // Runs one menu entry's command (what the menu entry does).
    void runCommand(const MenuCommand& command);
    void runWindowCommand(WindowCommand command);
    // Offers the journalled documents of an earlier session back.
    void offerRecovery();

signals:
    void connectionManagerRequested(QueryDocument* doc);

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildStatusBar();
    void closeActiveDocument();
    bool closeDocument(QueryDocument* doc, bool ask);
    void fillWindowMenu();
    void popup(PopupMenu menu, const QPoint& pos);
    void onDocumentActivated(QMdiSubWindow* w);
    // Caps Lock, Num Lock and the editor's overwrite mode in their panels.
    void updateKeyPanels();

    QMdiArea* mdi_;
    MainStatusBar* sb_;
    JournalKeeper* journal_;
    QHash<QString, QAction*> actions_;
    QHash<QString, QMenu*> menus_;
    int windowCount_ = 1;
    bool resultsFullView_ = false;
};
