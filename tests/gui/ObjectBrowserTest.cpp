// The object browser in a query document: the first levels, node opening,
// the database chooser, snippets, the object pop-up's commands, failures.
#include "catalog/ObjectBrowser.h"

#include "catalog/DatabaseChooser.h"
#include "catalog/ObjectScripter.h"
#include "catalog/ObjectTreeModel.h"
#include "common/DocumentContext.h"
#include "common/PanelStatusBar.h"
#include "db/Connection.h"
#include "document/DocumentToolbar.h"
#include "document/QueryDocument.h"
#include "document/ResultGrid.h"
#include "document/ResultPanes.h"
#include "run/ResultModel.h"
#include "shell/MainWindow.h"
#include "store/HomeSeeding.h"
#include "store/ResourceDb.h"
#include "store/TemplateStore.h"
#include "support/DocumentRun.h"
#include "support/GuiBShownTexts.h"
#include "support/GuiBSqliteFile.h"
#include "support/ScriptedDialogs.h"
#include "support/TempHome.h"
#include "support/TestServers.h"

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

namespace {

bool waitFor(const std::function<bool()>& done, int ms = 15000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QTest::qWait(5);
    return done();
}

QStringList childTexts(const ObjectTreeModel& m, int id) {
    QStringList out;
    for (int c : m.childrenOf(id))
        out << m.text(c);
    return out;
}

// A right-button press on a node (or, with id -1, below the nodes) and the
// pop-up request that follows, as the mouse makes them.
void rightClick(QueryDocument& d, int id) {
    ObjectBrowser* b = d.parts().objects;
    QTreeView* tree = b->tree();
    const QModelIndex index = b->model()->indexOf(id);
    for (QModelIndex p = index.parent(); p.isValid(); p = p.parent()) tree->expand(p);
    tree->scrollTo(index);
    const QPoint at = id >= 0 ? tree->visualRect(index).center() : QPoint(5, tree->viewport()->height() - 3);
    QTest::mousePress(tree->viewport(), Qt::RightButton, {}, at);
    QTest::mouseRelease(tree->viewport(), Qt::RightButton, {}, at);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, at, tree->viewport()->mapToGlobal(at));
    QApplication::sendEvent(tree->viewport(), &menu);
}

// The key of the node the pop-up's commands would act on.
QString targetKey(QueryDocument& d) {
    const auto t = d.parts().objects->commandTarget();
    return t ? t->key : QString();
}

class ObjectBrowserTest : public ::testing::Test {
protected:
    void SetUp() override {
        store::ensureSeeded();
        cs = sqliteFile(
            home.file(QStringLiteral("shop.db")),
            {QStringLiteral("CREATE TABLE orders (id INTEGER, \"Total Due\" REAL, note VARCHAR(40))"),
             QStringLiteral("CREATE TABLE items (sku CHAR(8), qty INTEGER)"),
             QStringLiteral("INSERT INTO orders VALUES (1, 9.5, 'first'), (2, 20, 'second')")});
    }
    std::unique_ptr<QueryDocument> document(const QString& connection) {
        auto d = shownDocument(connection);
        EXPECT_TRUE(waitFor([&] { return !d->parts().objects->isBusy(); }));
        return d;
    }
    static int node(QueryDocument& d, const QString& key) { return d.parts().objects->model()->findKey(key); }
    // Selects a node as a click does, and waits for what it reads.
    static void open(QueryDocument& d, int id) {
        ObjectBrowser* b = d.parts().objects;
        const QModelIndex i = b->model()->indexOf(id);
        b->tree()->setCurrentIndex(i);
        emit b->tree()->clicked(i);
        ASSERT_TRUE(waitFor([&] { return !b->isBusy(); }));
    }
    TempHome home;
    ScriptedDialogs dialogs;
    QString cs;
};

} // namespace

TEST_F(ObjectBrowserTest, WithoutAConnectionTheTreeSaysSo) {
    auto d = document(QString());
    const ObjectTreeModel* m = d->parts().objects->model();
    ASSERT_EQ(m->count(), 1);
    EXPECT_EQ(m->text(m->childrenOf(ObjectTreeModel::kTop)[0]), QStringLiteral("[NO CONNECTION]"));
    EXPECT_EQ(m->findKey(QStringLiteral("R2")), -1);
    EXPECT_EQ(comboTexts(d->parts().toolbar->databaseChooser()),
              QStringList{QStringLiteral("[NO CONNECTION]")});
    EXPECT_TRUE(d->context().database().isEmpty());
    EXPECT_FALSE(d->windowTitle().contains(QLatin1String("NO CONNECTION")));
    EXPECT_EQ(d->parts().status->panelText(ObjectBrowser::StatePanel), QStringLiteral("Ready"));
}

TEST_F(ObjectBrowserTest, ASingleDatabaseListsItsTablesUnderTheRoot) {
    auto d = document(cs);
    ObjectBrowser* b = d->parts().objects;
    const ObjectTreeModel* m = b->model();
    EXPECT_EQ(d->context().providerKind(), ProviderKind::SingleDatabase);
    const int root = node(*d, QStringLiteral("R"));
    ASSERT_GE(root, 0);
    EXPECT_EQ(m->text(root), QStringLiteral("SQLite"));
    EXPECT_EQ(childTexts(*m, root), (QStringList{"orders", "items"}));
    EXPECT_EQ(m->kind(node(*d, QStringLiteral("Corders"))), NodeKind::FlatTable);
    // Common Objects holds every snippet group, each with its snippets
    const int common = node(*d, QStringLiteral("R2"));
    EXPECT_EQ(m->text(common), QStringLiteral("Common Objects"));
    const auto snippets = TemplateStore::snippets();
    ASSERT_TRUE(snippets.ok());
    for (const ObjectSnippet& s : snippets.value()) {
        const int id = node(*d, QStringLiteral("OO%1").arg(s.key));
        ASSERT_GE(id, 0) << s.title.toStdString();
        EXPECT_EQ(m->key(m->parentOf(id)), QStringLiteral("O") + s.group);
        EXPECT_EQ(m->parentOf(m->parentOf(id)), common);
    }
    EXPECT_TRUE(b->tree()->isExpanded(m->indexOf(root)));
    EXPECT_TRUE(b->tree()->isExpanded(m->indexOf(common)));
    // the chooser: the database, then its tables; runs use the database
    EXPECT_EQ(comboTexts(d->parts().toolbar->databaseChooser()), (QStringList{"main", "orders", "items"}));
    EXPECT_EQ(d->context().database(), QStringLiteral("main"));
    EXPECT_TRUE(d->windowTitle().contains(QStringLiteral("SQLite - main"))) << d->windowTitle().toStdString();
    EXPECT_EQ(d->parts().status->panelText(ObjectBrowser::StatePanel), QStringLiteral("Ready"));
    EXPECT_EQ(d->parts().status->panelText(ObjectBrowser::ProviderPanel), QStringLiteral("SQLite"));
    EXPECT_EQ(d->parts().status->panelText(ObjectBrowser::DatabasePanel), QStringLiteral("main"));
}

TEST_F(ObjectBrowserTest, ANodeIsReadOnceWhenFirstOpened) {
    auto d = document(cs);
    ObjectBrowser* b = d->parts().objects;
    const ObjectTreeModel* m = b->model();
    QSignalSpy reads(b, &ObjectBrowser::nodeRead);
    const int orders = node(*d, QStringLiteral("Corders"));
    EXPECT_TRUE(m->hasChildren(m->indexOf(orders))); // expandable before it is read
    open(*d, orders);
    EXPECT_EQ(childTexts(*m, orders), (QStringList{"id", "Total Due", "note"}));
    EXPECT_EQ(targetKey(*d), QStringLiteral("Corders"));
    EXPECT_EQ(b->commandTarget()->text, QStringLiteral("orders"));
    EXPECT_EQ(reads.count(), 1);
    open(*d, orders); // selected again: no second read
    EXPECT_EQ(reads.count(), 1);
    EXPECT_EQ(m->childrenOf(orders).size(), 3u);

    const int note = node(*d, QStringLiteral("ZZZZZZ|Corders|note"));
    ASSERT_GE(note, 0);
    open(*d, note);
    EXPECT_EQ(m->text(node(*d, QStringLiteral("QQQQQQQQQQS|ZZZZZZ|Corders|note"))), QStringLiteral("40"));
    EXPECT_GE(node(*d, QStringLiteral("QQQQQQQQQQT|ZZZZZZ|Corders|note")), 0);
    EXPECT_EQ(m->kind(m->childrenOf(note)[0]), NodeKind::ColumnDetail);
    EXPECT_EQ(reads.count(), 2);

    // a snippet or group node is selected but reads nothing
    open(*d, node(*d, QStringLiteral("R2")));
    EXPECT_EQ(targetKey(*d), QStringLiteral("R2"));
    EXPECT_EQ(reads.count(), 2);
}

TEST_F(ObjectBrowserTest, ExpandingAndArrowKeysOpenNodesToo) {
    auto d = document(cs);
    ObjectBrowser* b = d->parts().objects;
    const ObjectTreeModel* m = b->model();
    const int items = node(*d, QStringLiteral("Citems"));
    b->tree()->expand(m->indexOf(items));
    ASSERT_TRUE(waitFor([&] { return m->childrenOf(items).size() == 2; }));
    EXPECT_TRUE(targetKey(*d).isEmpty()); // expanding selects nothing

    const int orders = node(*d, QStringLiteral("Corders"));
    b->tree()->setFocus();
    b->tree()->setCurrentIndex(m->indexOf(orders));
    QTest::keyClick(b->tree(), Qt::Key_Down); // to "items", opened on the key's release
    ASSERT_TRUE(waitFor([&] { return !b->isBusy(); }));
    EXPECT_EQ(targetKey(*d), QStringLiteral("Citems"));
}

TEST_F(ObjectBrowserTest, RightClickMarksTheNodeUnderThePointerAndAsksForThePopup) {
    auto d = document(cs);
    ObjectBrowser* b = d->parts().objects;
    const ObjectTreeModel* m = b->model();
    open(*d, node(*d, QStringLiteral("Corders")));
    QSignalSpy popups(d.get(), &QueryDocument::popupRequested);
    const int items = node(*d, QStringLiteral("Citems"));
    rightClick(*d, items);
    EXPECT_EQ(m->idOf(b->tree()->currentIndex()), items); // what the menu acts on is what the user sees marked
    EXPECT_TRUE(b->tree()->selectionModel()->isSelected(m->indexOf(items)));
    EXPECT_EQ(targetKey(*d), QStringLiteral("Citems"));
    EXPECT_EQ(m->loadState(items), ObjectTreeModel::LoadState::Unread); // marked, not read
    ASSERT_EQ(popups.count(), 1);
    EXPECT_EQ(popups[0][0].value<PopupMenu>(), PopupMenu::Objects);
    // below the nodes: nothing is marked any more
    rightClick(*d, -1);
    EXPECT_FALSE(b->commandTarget().has_value());
    EXPECT_TRUE(b->tree()->selectionModel()->selectedIndexes().isEmpty());
    EXPECT_EQ(popups.count(), 2);
}

TEST_F(ObjectBrowserTest, ChoosingATableOfASingleDatabaseKeepsTheDatabase) {
    auto d = document(cs);
    QComboBox* chooser = d->parts().toolbar->databaseChooser();
    chooser->setCurrentIndex(2);
    emit chooser->activated(2); // "items"
    EXPECT_EQ(chooser->currentText(), QStringLiteral("main"));
    EXPECT_EQ(d->context().database(), QStringLiteral("main"));
    EXPECT_EQ(targetKey(*d), QStringLiteral("Citems")); // the table is shown instead
}

TEST_F(ObjectBrowserTest, SnippetsGoIntoTheEditorWithTheirHighlightSelected) {
    auto d = document(cs);
    const auto snippets = TemplateStore::snippets();
    ASSERT_TRUE(snippets.ok() && !snippets->empty());
    const ObjectSnippet& s = snippets->front();
    const auto parts = TemplateStore::objectSnippet(s.key);
    ASSERT_TRUE(parts.ok());
    ObjectBrowser* b = d->parts().objects;
    const QModelIndex i = b->model()->indexOf(node(*d, QStringLiteral("OO%1").arg(s.key)));
    emit b->tree()->doubleClicked(i);
    ASSERT_TRUE(waitFor([&] { return !d->editor()->text().isEmpty(); }));
    EXPECT_EQ(d->editor()->text(), parts->start + parts->highlight + parts->end);
    EXPECT_EQ(d->editor()->selectedText(), parts->highlight);
    // Enter does the same
    d->editor()->setText(QString());
    b->tree()->setFocus();
    b->tree()->setCurrentIndex(i);
    QTest::keyClick(b->tree(), Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return !d->editor()->text().isEmpty(); }));
    EXPECT_EQ(d->editor()->text(), parts->start + parts->highlight + parts->end);
}

TEST_F(ObjectBrowserTest, CommandsScriptTheNodeRightClickedNotTheOneClickedBefore) {
    auto d = document(cs);
    open(*d, node(*d, QStringLiteral("Corders"))); // left-click on orders ...
    rightClick(*d, node(*d, QStringLiteral("Citems"))); // ... then the pop-up on items
    d->scriptObject(ObjectCommand::Select);
    EXPECT_EQ(d->editor()->text(), QStringLiteral("SELECT * FROM items "));
    EXPECT_EQ(d->editor()->selectedText(), QStringLiteral("SELECT * FROM items "));

    d->editor()->setText(QString());
    rightClick(*d, node(*d, QStringLiteral("Corders")));
    d->scriptObject(ObjectCommand::Insert); // reads the columns first
    ASSERT_TRUE(waitFor([&] { return !d->parts().scripter->isBusy(); }));
    EXPECT_EQ(d->editor()->text(),
              QStringLiteral("INSERT INTO orders\r\n\t(id, \"Total Due\", note)\r\nVALUES\r\n\t(:id, :Total_Due, "
                             ":note)\r\n "));
    EXPECT_FALSE(d->editor()->hasSelectedText());

    // a column: no read, the column forms
    open(*d, node(*d, QStringLiteral("Corders")));
    rightClick(*d, node(*d, QStringLiteral("ZZZZZZ|Corders|Total Due")));
    d->editor()->setText(QString());
    d->scriptObject(ObjectCommand::Delete);
    EXPECT_EQ(d->editor()->text(), QStringLiteral("DELETE FROM orders\r\n\tWHERE \"Total Due\" = :Total_Due "));
    d->editor()->setText(QString());
    d->scriptObject(ObjectCommand::InsertObject);
    EXPECT_EQ(d->editor()->text(), QStringLiteral("\"Total Due\" "));

    // nodes without a statement insert nothing
    rightClick(*d, node(*d, QStringLiteral("R2")));
    d->editor()->setText(QString());
    for (ObjectCommand c : {ObjectCommand::Browse, ObjectCommand::Select, ObjectCommand::Insert,
                            ObjectCommand::Update, ObjectCommand::Delete})
        d->scriptObject(c);
    EXPECT_TRUE(d->editor()->text().isEmpty());
    d->scriptObject(ObjectCommand::InsertObject);
    EXPECT_EQ(d->editor()->text(), QStringLiteral("Common Objects "));
    EXPECT_EQ(dialogs.messages, QStringList());
}

TEST_F(ObjectBrowserTest, ACommandWithNoNodeUnderItIsRefusedWithAMessage) {
    auto d = document(cs);
    auto refused = [&](ObjectCommand c) {
        const qsizetype before = dialogs.messages.size();
        d->scriptObject(c);
        return dialogs.messages.size() == before + 1 &&
               dialogs.messages.back().startsWith(QStringLiteral("No object is chosen"));
    };
    EXPECT_TRUE(refused(ObjectCommand::Select)); // nothing marked yet
    open(*d, node(*d, QStringLiteral("Corders")));
    rightClick(*d, -1); // the pop-up opened below the nodes
    EXPECT_TRUE(refused(ObjectCommand::Browse));
    EXPECT_FALSE(d->isRunning());
    // Refresh: the node marked before is gone, and so is what it stood for
    rightClick(*d, node(*d, QStringLiteral("Citems")));
    d->execute(DocumentCommand::RefreshObjects);
    ASSERT_TRUE(waitFor([&] { return !d->parts().objects->isBusy(); }));
    EXPECT_TRUE(refused(ObjectCommand::Select));
    EXPECT_TRUE(refused(ObjectCommand::InsertObject));
    EXPECT_TRUE(d->editor()->text().isEmpty());
}

TEST_F(ObjectBrowserTest, APopupActsInTheWindowItWasOpenedIn) {
    const QString stock = sqliteFile(home.file(QStringLiteral("stock.db")),
                                     {QStringLiteral("CREATE TABLE products (sku TEXT)"),
                                      QStringLiteral("INSERT INTO products VALUES ('a'), ('b'), ('c')")});
    MainWindow w;
    w.resize(1200, 900);
    w.show();
    QueryDocument* a = w.activeDocument();
    a->setConnection(cs);
    QueryDocument* b = w.newDocument();
    b->setConnection(stock);
    ASSERT_TRUE(waitFor([&] { return !a->parts().objects->isBusy() && !b->parts().objects->isBusy(); }));
    open(*a, node(*a, QStringLiteral("Corders")));
    w.mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(a->parentWidget()));
    ASSERT_EQ(w.activeDocument(), a);

    rightClick(*b, node(*b, QStringLiteral("Cproducts"))); // the pop-up in the other window
    EXPECT_EQ(w.activeDocument(), b);
    w.action(QStringLiteral("mnuOBJBrowse"))->trigger();
    w.menu(QStringLiteral("mnuObjects"))->hide();
    EXPECT_EQ(b->editor()->selectedText(), QStringLiteral("SELECT * FROM products LIMIT 20 "));
    EXPECT_TRUE(a->editor()->text().isEmpty());
    ASSERT_TRUE(waitFor([&] { return !b->isRunning(); }));
    EXPECT_EQ(b->parts().results->grid()->resultModel()->rowCount(), 3); // on its own connection
    EXPECT_FALSE(a->isRunning());
    a->setChanged(false);
    b->setChanged(false);
}

TEST_F(ObjectBrowserTest, BrowseObjectRunsTheFirstRows) {
    auto d = document(cs);
    open(*d, node(*d, QStringLiteral("Corders")));
    d->scriptObject(ObjectCommand::Browse);
    EXPECT_EQ(d->editor()->selectedText(), QStringLiteral("SELECT * FROM orders LIMIT 20 "));
    ASSERT_TRUE(waitFor([&] { return !d->isRunning(); }));
    EXPECT_EQ(d->parts().results->grid()->resultModel()->rowCount(), 2);
}

TEST_F(ObjectBrowserTest, TheMainWindowRoutesThePopupCommands) {
    MainWindow w;
    QueryDocument* d = w.activeDocument();
    d->setConnection(cs);
    ASSERT_TRUE(waitFor([&] { return !d->parts().objects->isBusy(); }));
    open(*d, node(*d, QStringLiteral("Citems")));
    w.action(QStringLiteral("mnuObjSelect"))->trigger();
    EXPECT_EQ(d->editor()->text(), QStringLiteral("SELECT * FROM items "));
    w.action(QStringLiteral("mnuObjHelp"))->trigger(); // help topics come later: nothing happens
    d->editor()->setText(QString());
    d->execute(DocumentCommand::RefreshObjects);
    EXPECT_TRUE(d->parts().objects->isBusy());
    ASSERT_TRUE(waitFor([&] { return !d->parts().objects->isBusy(); }));
    EXPECT_TRUE(
        d->parts().objects->model()->childrenOf(node(*d, QStringLiteral("Citems"))).empty()); // read afresh
    EXPECT_TRUE(d->editor()->text().isEmpty());
}

TEST_F(ObjectBrowserTest, AConnectionFailureIsReportedAndTheTreeStaysEmpty) {
    auto d =
        document(QStringLiteral("Provider=SQLite;Data Source=") + home.file(QStringLiteral("missing.db")));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith(QStringLiteral("Error: ")))
        << dialogs.messages[0].toStdString();
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("missing.db")));
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("Refresh")));
    EXPECT_EQ(d->parts().objects->model()->count(), 0);
    EXPECT_EQ(d->parts().status->panelText(ObjectBrowser::StatePanel), QStringLiteral("Not connected"));
}

TEST_F(ObjectBrowserTest, AFailedReadIsShownAndTriedAgainNextTime) {
    auto d = document(cs);
    ObjectBrowser* b = d->parts().objects;
    const ObjectTreeModel* m = b->model();
    const QString file = home.file(QStringLiteral("shop.db"));
    ASSERT_TRUE(QFile::rename(file, file + QStringLiteral(".away")));
    const int orders = node(*d, QStringLiteral("Corders"));
    open(*d, orders);
    EXPECT_TRUE(b->lastFailure().startsWith(QStringLiteral("Error: "))) << b->lastFailure().toStdString();
    EXPECT_TRUE(b->lastFailure().contains(QStringLiteral("could not be read")));
    EXPECT_EQ(m->loadState(orders), ObjectTreeModel::LoadState::Unread);
    EXPECT_GE(node(*d, QStringLiteral("Citems")), 0); // the tree keeps its nodes
    EXPECT_TRUE(dialogs.messages.isEmpty());          // shown under the tree, no message box
    ASSERT_TRUE(QFile::rename(file + QStringLiteral(".away"), file));
    open(*d, orders);
    EXPECT_TRUE(b->lastFailure().isEmpty());
    EXPECT_EQ(m->childrenOf(orders).size(), 3u);
}

TEST_F(ObjectBrowserTest, AnUnknownProviderKeepsRootAndCommonObjects) {
    ResourceDb::open()->exec(QStringLiteral("DELETE FROM providers WHERE provider_name = 'SQLite'"));
    auto d = document(cs);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith(QStringLiteral("Error: ")));
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("Refresh")));
    const ObjectTreeModel* m = d->parts().objects->model();
    EXPECT_GE(node(*d, QStringLiteral("R2")), 0);
    EXPECT_TRUE(m->childrenOf(node(*d, QStringLiteral("R"))).empty());
    EXPECT_EQ(d->context().providerKind(), ProviderKind::None);
}

TEST_F(ObjectBrowserTest, OnlyTheLastConnectionsListsAreShown) {
    const QString other = sqliteFile(home.file(QStringLiteral("other.db")),
                                     {QStringLiteral("CREATE TABLE lonely (x INTEGER)")});
    auto d = document(QString());
    d->setConnection(cs);
    EXPECT_TRUE(d->parts().objects->isBusy());
    d->setConnection(other);
    ASSERT_TRUE(waitFor([&] { return !d->parts().objects->isBusy(); }));
    QTest::qWait(100); // an answer for the first string would have arrived by now
    EXPECT_EQ(childTexts(*d->parts().objects->model(), node(*d, QStringLiteral("R"))), QStringList{"lonely"});
}

// ---- a catalogue server ----

namespace {
// A document's home and dialogs, and the PostgreSQL test server.
class ObjectBrowserServer : public ::testing::Test {
protected:
    void SetUp() override {
        SQLQE_REQUIRE_SERVER(kPostgres, pg);
        store::ensureSeeded();
        admin = db::Connection::open(pg);
    }
    TempHome home;
    ScriptedDialogs dialogs;
    QString pg;
    std::unique_ptr<db::Connection> admin;
};
} // namespace

TEST_F(ObjectBrowserServer, TheChooserSwitchesThisDocumentsDatabase) {
    const QString home_db = admin->defaultDatabase();
    const QString other = QStringLiteral("sqlqe_catalog_gui");
    if (admin->query(QStringLiteral("SELECT 1 FROM pg_database WHERE datname = ?"), {other}).rows.empty())
        admin->exec(QStringLiteral("CREATE DATABASE ") + other);
    db::Connection::open(pg + QStringLiteral("Database=") + other + QLatin1Char(';'))
        ->exec(QStringLiteral("CREATE TABLE IF NOT EXISTS \"Elsewhere\" (n INTEGER)"));

    QueryDocument a, b;
    a.setConnection(pg);
    b.setConnection(pg);
    ASSERT_TRUE(waitFor([&] { return !a.parts().objects->isBusy() && !b.parts().objects->isBusy(); }));
    ObjectBrowser* browser = a.parts().objects;
    EXPECT_EQ(a.context().providerKind(), ProviderKind::CatalogServer);
    QComboBox* chooser = a.parts().toolbar->databaseChooser();
    EXPECT_TRUE(comboTexts(chooser).contains(other));
    EXPECT_EQ(chooser->currentText(), home_db);
    const ObjectTreeModel* m = browser->model();
    const int catalog = m->findKey(QLatin1Char('C') + other);
    ASSERT_GE(catalog, 0);
    EXPECT_EQ(childTexts(*m, catalog), (QStringList{"User Tables", "System Tables", "Views", "Procedures"}));

    const int row = int(comboTexts(chooser).indexOf(other));
    chooser->setCurrentIndex(row);
    emit chooser->activated(row);
    EXPECT_EQ(a.parts().results->messagePane()->text(),
              QStringLiteral("Changing Default Database to: ") + other);
    EXPECT_EQ(a.parts().results->currentIndex(), int(ResultPanes::MessagesTab));
    ASSERT_TRUE(waitFor([&] { return !browser->chooser()->isSwitching(); }));
    EXPECT_EQ(a.context().database(), other);
    EXPECT_TRUE(a.windowTitle().contains(QStringLiteral("PostgreSQL - ") + other));
    a.execute(DocumentCommand::QueryCheck); // the summary names the database chosen, and the server's kind
    EXPECT_TRUE(a.parts().results->messagePane()->text().contains(
        QStringLiteral("\r\nCatalog: ") + other + QStringLiteral("\r\nSQL Style: 1\r\n")));
    EXPECT_EQ(b.context().database(), home_db); // each document has its own

    // Refresh keeps the chosen database
    a.execute(DocumentCommand::RefreshObjects);
    ASSERT_TRUE(waitFor([&] { return !browser->isBusy(); }));
    EXPECT_EQ(chooser->currentText(), other);
    EXPECT_EQ(a.context().database(), other);

    // a database that cannot be chosen leaves the current one
    browser->chooseDatabase(QStringLiteral("no_such_database_here"));
    ASSERT_TRUE(waitFor([&] { return !browser->chooser()->isSwitching(); }));
    EXPECT_EQ(a.context().database(), other);
    EXPECT_TRUE(a.parts().results->messagePane()->text().contains(QStringLiteral("Error: ")));

    // browsing a table of another database runs it there
    browser->chooseDatabase(home_db);
    ASSERT_TRUE(waitFor([&] { return !browser->chooser()->isSwitching(); }));
    EXPECT_EQ(a.context().database(), home_db);
    browser->openNode(m->findKey(QStringLiteral("CCU|") + other));
    ASSERT_TRUE(waitFor([&] { return !browser->isBusy(); }));
    const int table = m->findKey(QStringLiteral("XXXXX|CCU|") + other + QStringLiteral("|Elsewhere"));
    ASSERT_GE(table, 0);
    rightClick(a, table);
    a.scriptObject(ObjectCommand::Browse);
    EXPECT_EQ(a.editor()->selectedText(), QStringLiteral("SELECT * FROM public.\"Elsewhere\" LIMIT 20 "));
    EXPECT_EQ(a.context().database(), other);
    ASSERT_TRUE(waitFor([&] { return !a.isRunning() && !browser->chooser()->isSwitching(); }));
    EXPECT_TRUE(a.parts().results->messagePane()->text().startsWith(QStringLiteral("Success")))
        << a.parts().results->messagePane()->text().toStdString();
    EXPECT_EQ(b.context().database(), home_db);
}

TEST_F(ObjectBrowserTest, AGeneratedStatementStartsALineOfItsOwnAndANameGoesWhereTheCaretIs) {
    auto d = document(cs);
    SqlEditor* e = d->editor();
    e->setText(QStringLiteral("SELECT 1;"));
    e->setCursorPosition(0, 9);
    rightClick(*d, node(*d, QStringLiteral("Citems")));
    d->scriptObject(ObjectCommand::Select);
    EXPECT_EQ(e->text(), QStringLiteral("SELECT 1;\r\nSELECT * FROM items "));
    EXPECT_EQ(e->selectedText(), QStringLiteral("SELECT * FROM items ")); // the statement alone
    // a name is part of a statement: it goes in at the caret
    e->setText(QStringLiteral("SELECT * FROM "));
    e->setCursorPosition(0, 14);
    d->scriptObject(ObjectCommand::InsertObject);
    EXPECT_EQ(e->text(), QStringLiteral("SELECT * FROM items "));
    // blanks before the caret are no text: no empty line is made
    e->setText(QStringLiteral("SELECT 1;\r\n    "));
    e->setCursorPosition(1, 4);
    d->scriptObject(ObjectCommand::Select);
    EXPECT_EQ(e->text(), QStringLiteral("SELECT 1;\r\n    SELECT * FROM items "));
    d->setChanged(false);
}

TEST(ObjectTreeModelTest, TablesOfOneNameInTwoSchemasShowTheirSchema) {
    ObjectTreeModel m;
    const int folder = m.add(ObjectTreeModel::kTop, NodeKind::Folder, QStringLiteral("CCU|shop"),
                             QStringLiteral("User Tables"), NodeImage::Folder);
    m.addChildren(folder, NodeKind::Table,
                  {TreeNode(QStringLiteral("XXXXX|CCU|shop|orders"), QStringLiteral("orders"), NodeImage::Table,
                            QStringLiteral("public")),
                   TreeNode(QStringLiteral("XXXXX|CCU|shop|orders|sales"), QStringLiteral("orders"), NodeImage::Table,
                            QStringLiteral("sales")),
                   TreeNode(QStringLiteral("XXXXX|CCU|shop|items"), QStringLiteral("items"), NodeImage::Table,
                            QStringLiteral("public"))});
    QStringList shown;
    for (int c : m.childrenOf(folder)) shown << m.data(m.indexOf(c), Qt::DisplayRole).toString();
    EXPECT_EQ(shown, (QStringList{"public.orders", "sales.orders", "items"}));
    EXPECT_EQ(m.text(m.childrenOf(folder)[1]), QStringLiteral("orders")); // statements still take the name
    EXPECT_EQ(m.refOf(m.childrenOf(folder)[1]).schema, QStringLiteral("sales"));
}

TEST_F(ObjectBrowserServer, TwoTablesOfOneNameShowTheirSchemas) {
    admin->exec(QStringLiteral("CREATE SCHEMA IF NOT EXISTS sqlqe_sales"));
    admin->exec(QStringLiteral("CREATE TABLE IF NOT EXISTS sqlqe_sales.twin_orders (id INTEGER)"));
    admin->exec(QStringLiteral("CREATE TABLE IF NOT EXISTS public.twin_orders (id INTEGER)"));
    QueryDocument d;
    d.setConnection(pg);
    ASSERT_TRUE(waitFor([&] { return !d.parts().objects->isBusy(); }));
    ObjectBrowser* b = d.parts().objects;
    const ObjectTreeModel* m = b->model();
    const int folder = m->findKey(QStringLiteral("CCU|") + admin->defaultDatabase());
    ASSERT_GE(folder, 0);
    b->openNode(folder);
    ASSERT_TRUE(waitFor([&] { return !b->isBusy(); }));
    QStringList shown;
    for (int c : m->childrenOf(folder))
        if (m->text(c) == QLatin1String("twin_orders")) shown << m->data(m->indexOf(c), Qt::DisplayRole).toString();
    shown.sort();
    EXPECT_EQ(shown, (QStringList{"public.twin_orders", "sqlqe_sales.twin_orders"}));
    admin->exec(QStringLiteral("DROP TABLE sqlqe_sales.twin_orders"));
    admin->exec(QStringLiteral("DROP TABLE public.twin_orders"));
}
