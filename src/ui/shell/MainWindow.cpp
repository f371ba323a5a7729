#include "shell/MainWindow.h"

#include "common/Dialogs.h"
#include "shell/MainMenu.h"
#include "common/PanelStatusBar.h"
#include "shell/Shell.h"
#include "run/Executor.h"
#include "document/QueryDocument.h"
#include "store/RecoveryJournal.h"
#include "document/ScriptFileActions.h"
#include "editor/SqlEditor.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTimer>

namespace {
constexpr int kJournalIntervalMs = 3000;

// Document commands: menu id -> the document operation it calls by name.
const QHash<QString, const char*>& forwardedOperations() {
    static const QHash<QString, const char*> ops = {
        {QStringLiteral("mnuOpenNew"), "fileOpenNew"},         {QStringLiteral("mnuOpenAppend"), "fileOpenAppend"},
        {QStringLiteral("mnuFileSave"), "menuSave"},           {QStringLiteral("mnuFileSaveAs"), "saveAs"},
        {QStringLiteral("mnuFilePrint"), "printScript"},       {QStringLiteral("mnuEditUndo"), "editUndo"},
        {QStringLiteral("mnuEditCut"), "editCut"},             {QStringLiteral("mnuEditCopy"), "editCopy"},
        {QStringLiteral("mnuEditPaste"), "editPaste"},         {QStringLiteral("mnuQCheck"), "syntaxCheck"},
        {QStringLiteral("mnuQExecute"), "startExec"},          {QStringLiteral("mnuQueryStop"), "stopQuery"},
        {QStringLiteral("mnuSFR"), "focusResults"},
        {QStringLiteral("mnuO30"), "toggleObjectBrowser"},     {QStringLiteral("mnuCatalogSense"), "showCatalogSense"},
        {QStringLiteral("mnuCodeSenseTable"), "showCatalogTableSense"},
        {QStringLiteral("mnuCodeSense"), "showIntelli"},       {QStringLiteral("mnuCodeSenseVariable"), "showVariableSense"},
        {QStringLiteral("mnuObjRefresh"), "addLists"},         {QStringLiteral("mnuGridInsert"), "gridInsertObject"},
        {QStringLiteral("mnuGridCopy"), "gridCopy"},           {QStringLiteral("mnuGridSaveAs"), "gridSaveAs"},
    };
    return ops;
}

const QHash<QString, int>& editorCommands() {
    static const QHash<QString, int> cmds = {
        {QStringLiteral("mnuQSearch"), SqlEditor::Find},          {QStringLiteral("mnuSReplace"), SqlEditor::Replace},
        {QStringLiteral("mnuGotoLine"), SqlEditor::GoToLine},     {QStringLiteral("mnuBookmarkToogle"), SqlEditor::ToggleBookmark},
        {QStringLiteral("mnuBookmarkNext"), SqlEditor::NextBookmark},
        {QStringLiteral("mnuPrevBookmark"), SqlEditor::PreviousBookmark},
        {QStringLiteral("mnuBookmarksClear"), SqlEditor::ClearBookmarks},
    };
    return cmds;
}

const QHash<QString, double>& splitterRatios() { // menu id -> ratio; "O" ids set the upper splitter
    static const QHash<QString, double> r = {
        {QStringLiteral("mnuO100"), 0.1}, {QStringLiteral("mnuO75"), 0.25}, {QStringLiteral("mnuO50"), 0.5},
        {QStringLiteral("mnuOHide"), 1.0}, {QStringLiteral("mnu100"), 0.0}, {QStringLiteral("mnuR70"), 0.25},
        {QStringLiteral("mnuR50"), 0.5},  {QStringLiteral("mnuR30"), 0.7}, {QStringLiteral("mnuR0"), 1.0},
    };
    return r;
}
} // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("SQL Query Editor"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));
    mdi_ = new QMdiArea(this);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setBackground(QColor(0x8d, 0x99, 0xae));
    setCentralWidget(mdi_);
    buildMenus();
    buildStatusBar();
    connect(mdi_, &QMdiArea::subWindowActivated, this, &MainWindow::onDocumentActivated);

    windowCount_ = 1;
    QueryDocument* first = newDocument();
    if (QMdiSubWindow* w = qobject_cast<QMdiSubWindow*>(first->parentWidget())) w->showMaximized();
    sb_->setPanelText(2, QStringLiteral("Connections %1").arg(windowCount_));

    journalTimer_ = new QTimer(this);
    journalTimer_->setInterval(kJournalIntervalMs);
    connect(journalTimer_, &QTimer::timeout, this, &MainWindow::journalNow);
    journalTimer_->start();
    resize(1180, 760);
}

MainWindow::~MainWindow() {
    // The documents go with the MDI area after this object's members: stop
    // them reporting to it first.
    // (closed documents awaiting deletion included)
    disconnect(mdi_, nullptr, this, nullptr);
    for (QueryDocument* doc : findChildren<QueryDocument*>()) disconnect(doc, nullptr, this, nullptr);
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
        // an entry that other entries name as their parent is a sub-menu
        bool hasChildren = false;
        for (const MenuEntry& c : mainMenuEntries())
            if (c.parent && QString::fromLatin1(c.parent) == id) hasChildren = true;
        if (hasChildren) {
            QMenu* sub = parentMenu->addMenu(QString::fromUtf8(e.caption));
            sub->setObjectName(id);
            menus_.insert(id, sub);
            continue;
        }
        const QString caption = id == QLatin1String("mnuHelpSearchForHelpOn") ? onlineHelpCaption() : QString::fromUtf8(e.caption);
        QAction* a = parentMenu->addAction(caption);
        a->setObjectName(id);
        if (*e.shortcut) a->setShortcut(QKeySequence(QString::fromLatin1(e.shortcut)));
        a->setShortcutContext(Qt::ApplicationShortcut);
        actions_.insert(id, a);
        connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
    }
    // the hidden pop-ups' shortcuts stay reachable through the window
    for (const QString& hidden : {QStringLiteral("mnuObjects"), QStringLiteral("mnuTemplate"), QStringLiteral("mnuNovisGrid")})
        addActions(menus_[hidden]->actions());
    static const QHash<QString, const char*> icons = {
        {QStringLiteral("mnuFileSave"), "save"},   {QStringLiteral("mnuEditCut"), "cut"},
        {QStringLiteral("mnuEditCopy"), "copy"},   {QStringLiteral("mnuEditPaste"), "paste"},
        {QStringLiteral("mnuEditUndo"), "undo"},   {QStringLiteral("mnuQSearch"), "search"},
        {QStringLiteral("mnuQExecute"), "execute"}, {QStringLiteral("mnuQueryStop"), "stop"},
        {QStringLiteral("mnuQCheck"), "check"},    {QStringLiteral("mnuGrid"), "grid"},
        {QStringLiteral("mnuText"), "text"},       {QStringLiteral("mnuConnectionWizard"), "connect"},
        {QStringLiteral("mnuOpenNew"), "open"},
    };
    for (auto it = icons.begin(); it != icons.end(); ++it)
        if (QAction* a = actions_.value(it.key())) a->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(it.value()))));
    connect(menus_[QStringLiteral("mnuWindow")], &QMenu::aboutToShow, this, &MainWindow::fillWindowMenu);
}

void MainWindow::buildStatusBar() {
    sb_ = new PanelStatusBar(7, 7, this);
    sb_->setObjectName(QStringLiteral("SB"));
    sb_->setToolTip(QStringLiteral("The status bar displays current status and informs you of errors."));
    sb_->setPanelText(2, QStringLiteral("Connections: 0"));
    sb_->setPanelToolTip(2, QStringLiteral("Connections: 0"));
    sb_->setPanelText(3, QStringLiteral("CAPS"));
    sb_->setPanelText(4, QStringLiteral("NUM"));
    sb_->setPanelText(5, QStringLiteral("INS"));
    sb_->setPanelIcon(6, QIcon(QStringLiteral(":/icons/idle.svg")));
    setStatusBar(sb_);
    connect(sb_, &PanelStatusBar::panelDoubleClicked, this, [this](int panel) {
        const QString text = sb_->panelText(panel);
        if (!text.isEmpty()) shell::shellExecuteFile(this, text);
    });
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
    w->setWindowIcon(QIcon(QStringLiteral(":/icons/database.svg")));
    w->resize(900, 600);
    connect(doc, &QueryDocument::popupRequested, this, &MainWindow::popup);
    connect(doc, &QueryDocument::mainStatus, this, [this](bool busy, const QString& text) {
        sb_->setPanelIcon(6, QIcon(busy ? QStringLiteral(":/icons/busy.svg") : QStringLiteral(":/icons/idle.svg")));
        sb_->setPanelText(7, text);
    });
    connect(doc, &QueryDocument::fileNameChanged, this, [this, doc](const QString& name) {
        if (doc == activeDocument()) sb_->setPanelText(1, name);
        // the saved text needs no journal entry until it changes again
        journalled_[doc] = doc->revision();
        if (journalIds_.contains(doc)) RecoveryJournal::remove(journalIds_[doc]);
    });
    connect(doc, &QueryDocument::connectionManagerRequested, this, [this, doc] { emit connectionManagerRequested(doc); });
    connect(doc, &QObject::destroyed, this, [this, doc] {
        forgetJournal(doc);
    });
    journalIds_.insert(doc, RecoveryJournal::newId());
    w->installEventFilter(this);
    w->show();
    doc->editor()->setFocus();
    return doc;
}

QueryDocument* MainWindow::openFile(const QString& path) {
    QueryDocument* target = nullptr;
    for (QueryDocument* d : documents())
        if (d->fileName().isEmpty() && d->editor()->length() == 0) {
            target = d;
            break;
        }
    if (!target) target = newDocument();
    if (!target->files()->load(path) && target->editor()->length() == 0 && documents().size() > 1) {
        target->parentWidget()->close();
        return nullptr;
    }
    mdi_->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(target->parentWidget()));
    return target;
}

void MainWindow::getQueryWindows() {
    int count = 1 + int(documents().size());
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible() && qobject_cast<QDialog*>(w)) ++count;
    windowCount_ = count;
    sb_->setPanelText(2, QStringLiteral("Connections: %1").arg(count));
}

bool MainWindow::route(const char* operation) {
    QueryDocument* doc = activeDocument();
    if (!doc) return false;
    return QMetaObject::invokeMethod(doc, operation);
}

void MainWindow::runCommand(const QString& id) {
    if (const char* op = forwardedOperations().value(id)) {
        route(op);
        return;
    }
    QueryDocument* doc = activeDocument();
    if (editorCommands().contains(id)) {
        if (doc) doc->executeCmd(editorCommands().value(id));
        return;
    }
    if (splitterRatios().contains(id)) {
        if (!doc) return;
        if (id.startsWith(QLatin1String("mnuO")))
            doc->setObjectBrowserRatio(splitterRatios().value(id));
        else
            doc->setResultsRatio(splitterRatios().value(id));
        return;
    }
    if (id == QLatin1String("mnuFileNew")) {
        getQueryWindows(); // counted before the new document exists
        newDocument();
    } else if (id == QLatin1String("mnuFileClose")) {
        closeActiveDocument();
    } else if (id == QLatin1String("mnuFileExit")) {
        close();
    } else if (id == QLatin1String("mnuSetfQ")) {
        if (!doc) return;
        doc->focusQuery();
        doc->setResultsRatio(1.0);
        resultsFullView_ = false;
    } else if (id == QLatin1String("mnuObjects2") || id == QLatin1String("mnuSetTa") || id == QLatin1String("mnuSFHe")) {
        if (doc) doc->showNavTab(id == QLatin1String("mnuObjects2") ? 0 : id == QLatin1String("mnuSetTa") ? 1 : 2);
    } else if (id == QLatin1String("mnuGrid") || id == QLatin1String("mnuText")) {
        if (doc) doc->setResultMood(id == QLatin1String("mnuGrid") ? QStringLiteral("grid") : QStringLiteral("text"));
    } else if (id == QLatin1String("mnuResHideShow")) {
        if (!doc) return;
        doc->setResultsRatio(resultsFullView_ ? 1.0 : 0.0);
        resultsFullView_ = !resultsFullView_;
    } else if (id == QLatin1String("mnuConnectionWizard")) {
        if (doc) emit connectionManagerRequested(doc);
    } else if (id == QLatin1String("mnuWindowCascade")) {
        arrange(0);
    } else if (id == QLatin1String("mnuWindowTileHorizontal")) {
        arrange(1);
    } else if (id == QLatin1String("mnuWindowTileVertical")) {
        arrange(2);
    } else if (id == QLatin1String("mnuWindowArrangeIcons")) {
        arrange(3);
    } else if (id == QLatin1String("mnuHelpSearchForHelpOn")) {
        shell::shellExecuteFile(this, onlineHelpAddress());
    } else if (id == QLatin1String("mnuHelpAbout")) {
        Dialogs::get().message(this, QStringLiteral("SQL Query Editor %1\nA fast SQL query editor for ODBC databases and SQLite files.")
                                         .arg(QApplication::applicationVersion()),
                               QStringLiteral("About SQL Query Editor"));
    }
    // Commands of features still to come (templates, options, help topics,
    // the object pop-up) do nothing yet.
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // A document's own close box: a changed, non-empty script is offered for
    // saving first; Cancel keeps the document open.
    if (event->type() == QEvent::Close)
        if (auto* w = qobject_cast<QMdiSubWindow*>(watched))
            if (auto* doc = qobject_cast<QueryDocument*>(w->widget())) {
                if (doc->getChanged() && doc->editor()->length() > 0 && !doc->confirmClose()) {
                    event->ignore();
                    return true;
                }
                forgetJournal(doc);
                QTimer::singleShot(0, this, &MainWindow::getQueryWindows);
            }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::forgetJournal(QueryDocument* doc) {
    journalled_.remove(doc);
    if (journalIds_.contains(doc)) RecoveryJournal::remove(journalIds_.take(doc));
}

void MainWindow::closeActiveDocument() {
    QueryDocument* doc = activeDocument();
    if (!doc) return;
    closeDocument(doc, true);
    getQueryWindows();
}

bool MainWindow::closeDocument(QueryDocument* doc, bool ask) {
    if (ask && !doc->confirmClose()) return false;
    forgetJournal(doc);
    if (auto* w = qobject_cast<QMdiSubWindow*>(doc->parentWidget())) {
        w->removeEventFilter(this);
        w->close();
    }
    return true;
}

void MainWindow::arrange(int how) {
    const QList<QMdiSubWindow*> windows = mdi_->subWindowList();
    if (windows.isEmpty()) return;
    if (how == 0) {
        mdi_->cascadeSubWindows();
        return;
    }
    if (how == 3) { // minimised windows in a row along the bottom
        int x = 0;
        for (QMdiSubWindow* w : windows)
            if (w->isMinimized()) {
                w->move(x, mdi_->viewport()->height() - w->height());
                x += w->width();
            }
        return;
    }
    QList<QMdiSubWindow*> open;
    for (QMdiSubWindow* w : windows)
        if (!w->isMinimized()) open << w;
    if (open.isEmpty()) return;
    const QRect area = mdi_->viewport()->rect();
    const int n = int(open.size());
    for (int i = 0; i < n; ++i) {
        open[i]->showNormal();
        if (how == 1) { // horizontal bands, one above the other
            const int h = area.height() / n;
            open[i]->setGeometry(0, i * h, area.width(), h);
        } else { // vertical columns side by side
            const int w = area.width() / n;
            open[i]->setGeometry(i * w, 0, w, area.height());
        }
    }
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
        const QString title = w->windowTitle();
        QAction* a = m->addAction(QStringLiteral("&%1 %2").arg(i++).arg(title));
        a->setProperty("windowEntry", true);
        a->setCheckable(true);
        a->setChecked(w == mdi_->currentSubWindow());
        connect(a, &QAction::triggered, this, [this, w] { mdi_->setActiveSubWindow(w); });
    }
}

void MainWindow::popup(const QString& name, const QPoint& pos) {
    static const QHash<QString, QString> ids = {{QStringLiteral("Edit"), QStringLiteral("mnuEdit")},
                                                {QStringLiteral("Query"), QStringLiteral("mnuDocument")},
                                                {QStringLiteral("NOVIS_GRID"), QStringLiteral("mnuNovisGrid")},
                                                {QStringLiteral("NOVIS_OBJECTS"), QStringLiteral("mnuObjects")},
                                                {QStringLiteral("NOVIS_TEMPLATE"), QStringLiteral("mnuTemplate")}};
    if (QMenu* m = menus_.value(ids.value(name))) m->popup(pos);
}

void MainWindow::onDocumentActivated(QMdiSubWindow* w) {
    if (!w) return;
    if (auto* doc = qobject_cast<QueryDocument*>(w->widget())) sb_->setPanelText(1, doc->fileName());
}

void MainWindow::journalNow() {
    for (QueryDocument* doc : documents()) {
        if (!doc->getChanged() || doc->editor()->length() == 0) continue;
        if (journalled_.contains(doc) && journalled_[doc] == doc->revision()) continue;
        if (RecoveryJournal::write(journalIds_.value(doc), doc->fileName(), doc->windowTitle(), doc->editor()->text()))
            journalled_[doc] = doc->revision();
    }
}

void MainWindow::offerRecovery() {
    const auto found = RecoveryJournal::orphans();
    if (found.empty()) return;
    const QString question =
        found.size() == 1
            ? QStringLiteral("An unsaved script from an earlier session was found (%1). Restore it?").arg(found[0].title)
            : QStringLiteral("%1 unsaved scripts from an earlier session were found. Restore them?").arg(found.size());
    const bool restore = Dialogs::get().question(this, question, QStringLiteral("Restore Unsaved Work"),
                                                 Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes;
    for (const RecoveredDocument& r : found) {
        if (restore) {
            QueryDocument* doc = nullptr;
            for (QueryDocument* d : documents())
                if (d->fileName().isEmpty() && d->editor()->length() == 0) doc = d;
            if (!doc) doc = newDocument();
            doc->editor()->setText(r.text);
            if (!r.fileName.isEmpty()) doc->setFile(r.fileName);
            doc->setChanged(true);
        }
        RecoveryJournal::discard(r);
    }
    if (restore) journalNow();
}

void MainWindow::closeEvent(QCloseEvent* e) {
    // Offer every changed, non-empty script for saving; Cancel keeps the program open.
    for (QueryDocument* doc : documents()) {
        if (!doc->getChanged() || doc->editor()->length() == 0) continue;
        mdi_->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(doc->parentWidget()));
        if (!doc->confirmClose()) {
            e->ignore();
            return;
        }
    }
    journalTimer_->stop();
    for (QueryDocument* doc : documents()) closeDocument(doc, false);
    Executor::waitForAll(3000);
    e->accept();
}
