#include "shell/MainWindow.h"

#include "common/Dialogs.h"
#include "common/DocumentContext.h"
#include "common/ResourceIcon.h"
#include "common/Theme.h"
#include "document/QueryDocument.h"
#include "editor/SqlEditor.h"
#include "help/Help.h"
#include "run/Executor.h"
#include "shell/FeatureCommands.h"
#include "shell/JournalKeeper.h"
#include "shell/KeyMap.h"
#include "shell/WriteFailureNotices.h"
#include "shell/MainStatusBar.h"
#include "shell/MenuIcons.h"
#include "shell/WindowArrangement.h"
#include "shell/Shell.h"
#include "shell/StartTrace.h"
#include "shell/ShortcutsDialog.h"
#include "shell/ThemeMenu.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTimer>

namespace {
// Refreshes the lock-key and insert-mode panels after keys pressed in the
// window (the state changes with the key) and when the window comes back.
class KeyPanelWatcher : public QObject {
public:
    explicit KeyPanelWatcher(MainWindow* window) : QObject(window), window_(window) {}
    std::function<void()> update;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if ((event->type() == QEvent::KeyRelease || event->type() == QEvent::WindowActivate) && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == window_ && !pending_) {
            pending_ = true;
            QTimer::singleShot(0, this, [this] {
                pending_ = false;
                update();
            });
        }
        return false;
    }

private:
    MainWindow* window_;
    bool pending_ = false;
};
} // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("SQL Query Editor"));
    setWindowIcon(common::resourceIcon(QStringLiteral("app")));
    mdi_ = new QMdiArea(this);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Theme::instance().onChange(mdi_, [this] { mdi_->setBackground(themeColour(Theme::Role::Workspace)); });
    setCentralWidget(mdi_);
    buildMenus();
    shell::markStartStep("menus built");
    KeyMap::saved().applyTo(*this);
    shell::attachThemeMenu(this);
    buildStatusBar();
    journal_ = new JournalKeeper(this);
    new WriteFailureNotices(this);
    connect(mdi_, &QMdiArea::subWindowActivated, this, &MainWindow::onDocumentActivated);
    // Query > Results marks the active document's result mode
    if (QMenu* results = menu(QStringLiteral("mnuQResu")))
        connect(results, &QMenu::aboutToShow, this, [this] {
            const QueryDocument* doc = activeDocument();
            const bool text = doc && doc->resultsInText();
            for (const auto& [id, on] : {std::pair{QStringLiteral("mnuGrid"), doc && !text},
                                         std::pair{QStringLiteral("mnuText"), text}})
                if (QAction* a = action(id)) {
                    a->setCheckable(true);
                    a->setChecked(on);
                }
        });
    // Copy As marks whether copies take the column names
    for (const QString& id : {QStringLiteral("mnuEditCopyAs"), QStringLiteral("mnuGridCopyAs")})
        if (QMenu* copyAs = menu(id))
            connect(copyAs, &QMenu::aboutToShow, this, [this, copyAs] {
                const QueryDocument* doc = activeDocument();
                for (QAction* a : copyAs->actions())
                    if (a->objectName().endsWith(QLatin1String("CopyHeaders"))) {
                        a->setCheckable(true);
                        a->setChecked(doc && doc->copiesColumnNames());
                    }
            });

    shell::markStartStep("status bar built");
    windowCount_ = 1;
    QueryDocument* first = newDocument();
    shell::markStartStep("first document built");
    if (QMdiSubWindow* w = qobject_cast<QMdiSubWindow*>(first->parentWidget())) w->showMaximized();
    sb_->setWindowCount(windowCount_);
    resize(1180, 760);
}

MainWindow::~MainWindow() {
    // The documents go with the MDI area after this object's members: stop
    // them reporting to it first (closed documents awaiting deletion included).
    disconnect(mdi_, nullptr, this, nullptr);
    for (QueryDocument* doc : findChildren<QueryDocument*>()) {
        disconnect(doc, nullptr, this, nullptr);
        disconnect(doc, nullptr, journal_, nullptr);
    }
    for (QMdiSubWindow* w : findChildren<QMdiSubWindow*>()) w->removeEventFilter(this);
}

void MainWindow::buildMenus() {
    for (const MenuEntry& e : mainMenuEntries()) {
        const QString id = QString::fromLatin1(e.id);
        QMenu* parentMenu = e.parent ? menus_.value(QString::fromLatin1(e.parent)) : nullptr;
        if (!e.parent) {
            auto* m = new QMenu(QString::fromUtf8(e.caption), this);
            m->setObjectName(id);
            menus_.insert(id, m);
            if (!isHiddenPopup(e.id)) menuBar()->addMenu(m);
            continue;
        }
        if (id == QLatin1String("-")) {
            parentMenu->addSeparator();
            continue;
        }
        if (std::holds_alternative<std::monostate>(e.command)) { // an entry without a command holds a sub-menu
            QMenu* sub = parentMenu->addMenu(QString::fromUtf8(e.caption));
            sub->setObjectName(id);
            menus_.insert(id, sub);
            continue;
        }
        const QString caption =
            id == QLatin1String("mnuHelpSearchForHelpOn") ? onlineHelpCaption() : QString::fromUtf8(e.caption);
        QAction* a = parentMenu->addAction(caption);
        a->setObjectName(id);
        a->setShortcutContext(Qt::ApplicationShortcut);
        if (const char* icon = menuIcons().value(id)) a->setIcon(common::resourceIcon(QLatin1String(icon)));
        actions_.insert(id, a);
        const MenuCommand command = e.command;
        connect(a, &QAction::triggered, this, [this, command] { runCommand(command); });
    }
    // the hidden pop-ups' shortcuts stay reachable through the window
    for (const QString& hidden : {QStringLiteral("mnuObjects"), QStringLiteral("mnuTemplate"), QStringLiteral("mnuNovisGrid")})
        addActions(menus_[hidden]->actions());
    connect(menus_[QStringLiteral("mnuWindow")], &QMenu::aboutToShow, this, &MainWindow::fillWindowMenu);
    // There is no web page for this program yet: no entry that leads nowhere.
    actions_[QStringLiteral("mnuHelpSearchForHelpOn")]->setVisible(false);
}

void MainWindow::buildStatusBar() {
    sb_ = new MainStatusBar(this);
    setStatusBar(sb_);
    connect(sb_, &MainStatusBar::fileOpenRequested, this, [this](const QString& f) {
        if (!shell::shellExecuteFile(this, f))
            sb_->setBusy(false, external::failureLine(shell::lastError(), f));
    });
    updateKeyPanels();
    auto* watcher = new KeyPanelWatcher(this);
    watcher->update = [this] { updateKeyPanels(); };
    qApp->installEventFilter(watcher);
}

QAction* MainWindow::action(const QString& id) const { return actions_.value(id); }
QMenu* MainWindow::menu(const QString& id) const { return menus_.value(id); }

QueryDocument* MainWindow::activeDocument() const {
    QMdiSubWindow* w = mdi_->currentSubWindow();
    return w ? qobject_cast<QueryDocument*>(w->widget()) : nullptr;
}

QList<QueryDocument*> MainWindow::documents() const {
    QList<QueryDocument*> docs;
    for (QMdiSubWindow* w : mdi_->subWindowList())
        if (auto* d = qobject_cast<QueryDocument*>(w->widget())) docs << d;
    return docs;
}

QueryDocument* MainWindow::newDocument() {
    auto* doc = new QueryDocument;
    QMdiSubWindow* w = mdi_->addSubWindow(doc);
    w->setAttribute(Qt::WA_DeleteOnClose);
    // The window's own Close answers Ctrl+F4 only: Ctrl+W belongs to the menus (Hide/Show Full, or Close).
    for (QAction* a : w->systemMenu()->actions())
        if (!a->shortcuts().isEmpty()) a->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_F4)});
    w->setWindowIcon(common::resourceIcon(QStringLiteral("database")));
    // a connection's environment colour shows as the window's icon
    connect(doc, &QWidget::windowIconChanged, w, [w](const QIcon& icon) {
        w->setWindowIcon(icon.isNull() ? common::resourceIcon(QStringLiteral("database")) : icon);
    });
    // Opens fully inside the area (at the next cascade place when it fits).
    const QRect area = mdi_->viewport()->rect();
    w->resize(std::min(900, std::max(area.width(), 300)), std::min(600, std::max(area.height(), 200)));
    // a pop-up's commands act on the window it was opened in: that one becomes active
    connect(doc, &QueryDocument::popupRequested, this, [this, w](PopupMenu menu, const QPoint& pos) {
        mdi_->setActiveSubWindow(w);
        popup(menu, pos);
    });
    connect(doc, &QueryDocument::mainStatus, this, [this](bool busy, const QString& text) {
        sb_->setBusy(busy, text);
    });
    connect(doc, &QueryDocument::fileNameChanged, this, [this, doc](const QString& name) {
        if (doc == activeDocument()) sb_->setFileName(name);
        journal_->markSaved(doc); // the saved text needs no journal entry until it changes again
    });
    connect(doc, &QueryDocument::connectionManagerRequested, this, [this, doc] { emit connectionManagerRequested(doc); });
    connect(doc, &QueryDocument::documentRequested, this, [this, doc](const QString& text) {
        QueryDocument* shown = newDocument();
        shown->setConnection(doc->context().connectionString(), doc->context().connectionName());
        shown->addStatement(text, false);
    });
    // A document closed during its run leaves no "Working..." behind.
    connect(doc, &QObject::destroyed, this, [this] {
        QTimer::singleShot(0, this, [this] {
            for (QueryDocument* d : documents())
                if (d->isRunning()) return;
            sb_->setBusy(false, QString());
        });
    });
    journal_->track(doc);
    w->installEventFilter(this);
    // QMdiArea placed it for its size hint; where the size above does not fit
    // it starts in the corner (also when it opens maximized: its normal place)
    if (!area.isEmpty() && !area.contains(w->geometry())) w->move(0, 0);
    w->show();
    if (!area.isEmpty() && !area.contains(w->geometry())) w->move(0, 0);
    doc->editor()->setFocus();
    getQueryWindows(); // however the document came (New, a file given at start, a recovered script)
    return doc;
}

QueryDocument* MainWindow::emptyDocument() {
    for (QueryDocument* d : documents())
        if (d->fileName().isEmpty() && d->editor()->length() == 0) return d;
    return newDocument();
}

QueryDocument* MainWindow::openFile(const QString& path) {
    QueryDocument* target = emptyDocument();
    if (!target->loadFile(path) && target->editor()->length() == 0 && documents().size() > 1) {
        target->parentWidget()->close();
        return nullptr;
    }
    mdi_->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(target->parentWidget()));
    return target;
}

void MainWindow::getQueryWindows() {
    windowCount_ = int(documents().size());
    sb_->setWindowCount(windowCount_);
}

void MainWindow::runCommand(const MenuCommand& command) {
    if (const auto* d = std::get_if<DocumentCommand>(&command)) {
        if (QueryDocument* doc = activeDocument()) doc->execute(*d);
    } else if (const auto* w = std::get_if<WindowCommand>(&command)) {
        runWindowCommand(*w);
    }
}

void MainWindow::runWindowCommand(WindowCommand command) {
    QueryDocument* doc = activeDocument();
    if (runFeatureCommand(this, command, doc, [this] { return activeDocument(); })) return;
    switch (command) {
    case WindowCommand::NewDocument: newDocument(); break;
    case WindowCommand::CloseDocument: closeActiveDocument(); break;
    case WindowCommand::Exit: close(); break;
    case WindowCommand::ConnectionManager:
        if (doc) emit connectionManagerRequested(doc);
        break;
    case WindowCommand::QueryOnly:
        if (!doc) return;
        doc->execute(DocumentCommand::FocusQuery);
        doc->setResultsRatio(1.0);
        resultsFullView_ = false;
        break;
    case WindowCommand::ResultsFullToggle:
        if (!doc) return;
        doc->setResultsRatio(resultsFullView_ ? 1.0 : 0.0);
        resultsFullView_ = !resultsFullView_;
        break;
    case WindowCommand::Cascade:
    case WindowCommand::TileHorizontal:
    case WindowCommand::TileVertical:
    case WindowCommand::ArrangeIcons: arrangeSubWindows(mdi_, command); break;
    case WindowCommand::KeyboardShortcuts: {
        ShortcutsDialog keys(KeyMap::saved(), this); // saves on OK
        if (keys.exec() == QDialog::Accepted) keys.keyMap().applyTo(*this);
        break;
    }
    default: break;
    }
}

void MainWindow::updateKeyPanels() {
    const QueryDocument* doc = activeDocument();
    sb_->updateKeyPanels(doc ? doc->editor() : nullptr);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // A document's own close box: a changed, non-empty script is offered for
    // saving first, then an open transaction; Cancel keeps the document open.
    if (event->type() == QEvent::Close)
        if (auto* w = qobject_cast<QMdiSubWindow*>(watched))
            if (auto* doc = qobject_cast<QueryDocument*>(w->widget())) {
                if (!doc->confirmWindowClose()) {
                    event->ignore();
                    return true;
                }
                journal_->forget(doc);
                QTimer::singleShot(0, this, &MainWindow::getQueryWindows);
            }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeActiveDocument() {
    QueryDocument* doc = activeDocument();
    if (!doc) return;
    closeDocument(doc, true);
    getQueryWindows();
}

bool MainWindow::closeDocument(QueryDocument* doc, bool ask) {
    if (ask && (!doc->confirmClose() || !doc->confirmEndSession())) return false;
    journal_->forget(doc);
    if (auto* w = qobject_cast<QMdiSubWindow*>(doc->parentWidget())) {
        w->removeEventFilter(this);
        w->close();
    }
    return true;
}

void MainWindow::fillWindowMenu() {
    QMenu* m = menus_[QStringLiteral("mnuWindow")];
    for (QAction* a : m->actions())
        if (a->property("windowEntry").toBool()) {
            m->removeAction(a);
            a->deleteLater();
        }
    const QList<QMdiSubWindow*> windows = mdi_->subWindowList();
    if (windows.isEmpty()) return;
    QAction* sep = m->addSeparator();
    sep->setProperty("windowEntry", true);
    int i = 1;
    for (QMdiSubWindow* w : windows) {
        QAction* a = m->addAction(QStringLiteral("&%1 %2").arg(i++).arg(w->windowTitle()));
        a->setProperty("windowEntry", true);
        a->setCheckable(true);
        a->setChecked(w == mdi_->currentSubWindow());
        connect(a, &QAction::triggered, this, [this, w] { mdi_->setActiveSubWindow(w); });
    }
}

void MainWindow::popup(PopupMenu which, const QPoint& pos) {
    const char* id = "mnuEdit";
    switch (which) {
    case PopupMenu::Edit: id = "mnuEdit"; break;
    case PopupMenu::Query: id = "mnuDocument"; break;
    case PopupMenu::Grid: id = "mnuNovisGrid"; break;
    case PopupMenu::Objects: id = "mnuObjects"; break;
    case PopupMenu::Templates: id = "mnuTemplate"; break;
    }
    if (QMenu* m = menus_.value(QLatin1String(id))) m->popup(pos);
}

void MainWindow::onDocumentActivated(QMdiSubWindow* w) {
    if (const auto* doc = w ? qobject_cast<QueryDocument*>(w->widget()) : nullptr)
        sb_->setFileName(doc->fileName());
    else if (documents().isEmpty())
        sb_->setFileName(QString()); // the last document closed: no file to show
    updateKeyPanels();
}

void MainWindow::offerRecovery() { journal_->offerRecovery(); }

void MainWindow::closeEvent(QCloseEvent* e) {
    // Offer every changed, non-empty script for saving; Cancel keeps the program open.
    // Then every open transaction: Commit, Roll Back, or Cancel.
    for (QueryDocument* doc : documents()) {
        if (!doc->asksOnClose()) continue;
        mdi_->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(doc->parentWidget()));
        if (!doc->confirmWindowClose()) {
            e->ignore();
            return;
        }
    }
    journal_->stop();
    for (QueryDocument* doc : documents()) closeDocument(doc, false);
    Executor::waitForAll(3000);
    e->accept();
}
