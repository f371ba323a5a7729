// The object browser in a query document: the first levels, node opening,
// the database chooser, snippets, the object pop-up's commands, failures.
#include "catalog/ObjectBrowser.h"

#include "catalog/CatalogSelection.h"
#include "catalog/DatabaseChooser.h"
#include "catalog/ObjectTreeModel.h"
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
#include "support/ScriptedDialogs.h"
#include "support/TempHome.h"
#include "support/TestServers.h"

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
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

QStringList chooserEntries(const QComboBox* c) {
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

class ObjectBrowserTest : public ::testing::Test {
protected:
    void SetUp() override {
        homeseeding::ensureSeeded();
        catalogselection::clear();
        const QString file = home.file(QStringLiteral("shop.db"));
        auto c = db::Connection::open(QStringLiteral("Provider=SQLite;Data Source=") + file, {15, true});
        c->exec(QStringLiteral("CREATE TABLE orders (id INTEGER, \"Total Due\" REAL, note VARCHAR(40))"));
        c->exec(QStringLiteral("CREATE TABLE items (sku CHAR(8), qty INTEGER)"));
        c->exec(QStringLiteral("INSERT INTO orders VALUES (1, 9.5, 'first'), (2, 20, 'second')"));
        cs = QStringLiteral("Provider=SQLite;Data Source=") + file;
    }
    std::unique_ptr<QueryDocument> document(const QString& connection) {
        auto d = std::make_unique<QueryDocument>();
        d->resize(1000, 700);
        d->show();
        if (!connection.isEmpty()) d->setConnection(connection);
        EXPECT_TRUE(waitFor([&] { return !d->objectBrowser()->isBusy(); }));
        return d;
    }
    static int node(QueryDocument& d, const QString& key) { return d.objectBrowser()->model()->findKey(key); }
    // Selects a node as a click does, and waits for what it reads.
    static void open(QueryDocument& d, int id) {
        ObjectBrowser* b = d.objectBrowser();
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
    const ObjectTreeModel* m = d->objectBrowser()->model();
    ASSERT_EQ(m->count(), 1);
    EXPECT_EQ(m->text(m->childrenOf(ObjectTreeModel::kTop)[0]), QStringLiteral("[NO CONNECTION]"));
    EXPECT_EQ(m->findKey(QStringLiteral("R2")), -1);
    EXPECT_EQ(chooserEntries(d->toolbar()->databaseChooser()),
              QStringList{QStringLiteral("[NO CONNECTION]")});
    EXPECT_TRUE(d->objectBrowser()->currentDatabase().isEmpty());
    EXPECT_FALSE(d->windowTitle().contains(QLatin1String("NO CONNECTION")));
    EXPECT_EQ(d->statusBar()->panelText(ObjectBrowser::StatePanel), QStringLiteral("Ready"));
}

TEST_F(ObjectBrowserTest, ASingleDatabaseListsItsTablesUnderTheRoot) {
    auto d = document(cs);
    ObjectBrowser* b = d->objectBrowser();
    const ObjectTreeModel* m = b->model();
    EXPECT_EQ(b->sqlStyle(), ProviderKind::SingleDatabase);
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
    EXPECT_EQ(chooserEntries(d->toolbar()->databaseChooser()), (QStringList{"main", "orders", "items"}));
    EXPECT_EQ(b->currentDatabase(), QStringLiteral("main"));
    EXPECT_TRUE(d->windowTitle().contains(QStringLiteral("SQLite - main"))) << d->windowTitle().toStdString();
    EXPECT_EQ(d->statusBar()->panelText(ObjectBrowser::StatePanel), QStringLiteral("Ready"));
    EXPECT_EQ(d->statusBar()->panelText(ObjectBrowser::ProviderPanel), QStringLiteral("SQLite"));
    EXPECT_EQ(d->statusBar()->panelText(ObjectBrowser::DatabasePanel), QStringLiteral("main"));
}

TEST_F(ObjectBrowserTest, ANodeIsReadOnceWhenFirstOpened) {
    auto d = document(cs);
    ObjectBrowser* b = d->objectBrowser();
    const ObjectTreeModel* m = b->model();
    QSignalSpy reads(b, &ObjectBrowser::nodeRead);
    const int orders = node(*d, QStringLiteral("Corders"));
    EXPECT_TRUE(m->hasChildren(m->indexOf(orders))); // expandable before it is read
    open(*d, orders);
    EXPECT_EQ(childTexts(*m, orders), (QStringList{"id", "Total Due", "note"}));
    EXPECT_EQ(catalogselection::current().key, QStringLiteral("Corders"));
    EXPECT_EQ(catalogselection::current().text, QStringLiteral("orders"));
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
    EXPECT_EQ(catalogselection::current().key, QStringLiteral("R2"));
    EXPECT_EQ(reads.count(), 2);
}

TEST_F(ObjectBrowserTest, ExpandingAndArrowKeysOpenNodesToo) {
    auto d = document(cs);
    ObjectBrowser* b = d->objectBrowser();
    const ObjectTreeModel* m = b->model();
    const int items = node(*d, QStringLiteral("Citems"));
    b->tree()->expand(m->indexOf(items));
    ASSERT_TRUE(waitFor([&] { return m->childrenOf(items).size() == 2; }));
    EXPECT_TRUE(catalogselection::current().key.isEmpty()); // expanding selects nothing

    const int orders = node(*d, QStringLiteral("Corders"));
    b->tree()->setFocus();
    b->tree()->setCurrentIndex(m->indexOf(orders));
    QTest::keyClick(b->tree(), Qt::Key_Down); // to "items", opened on the key's release
    ASSERT_TRUE(waitFor([&] { return !b->isBusy(); }));
    EXPECT_EQ(catalogselection::current().key, QStringLiteral("Citems"));
}

TEST_F(ObjectBrowserTest, RightClickKeepsTheSelectionAndAsksForThePopup) {
    auto d = document(cs);
    ObjectBrowser* b = d->objectBrowser();
    const ObjectTreeModel* m = b->model();
    open(*d, node(*d, QStringLiteral("Corders")));
    QSignalSpy popups(d.get(), &QueryDocument::popupRequested);
    const QRect itemsRect = b->tree()->visualRect(m->indexOf(node(*d, QStringLiteral("Citems"))));
    QTest::mouseClick(b->tree()->viewport(), Qt::RightButton, {}, itemsRect.center());
    QContextMenuEvent menu(QContextMenuEvent::Mouse, itemsRect.center(),
                           b->tree()->viewport()->mapToGlobal(itemsRect.center()));
    QApplication::sendEvent(b->tree()->viewport(), &menu);
    EXPECT_EQ(m->idOf(b->tree()->currentIndex()), node(*d, QStringLiteral("Corders")));
    EXPECT_EQ(catalogselection::current().key, QStringLiteral("Corders"));
    ASSERT_EQ(popups.count(), 1);
    EXPECT_EQ(popups[0][0].value<PopupMenu>(), PopupMenu::Objects);
}

TEST_F(ObjectBrowserTest, ChoosingATableOfASingleDatabaseKeepsTheDatabase) {
    auto d = document(cs);
    QComboBox* chooser = d->toolbar()->databaseChooser();
    chooser->setCurrentIndex(2);
    emit chooser->activated(2); // "items"
    EXPECT_EQ(chooser->currentText(), QStringLiteral("main"));
    EXPECT_EQ(d->objectBrowser()->currentDatabase(), QStringLiteral("main"));
    EXPECT_EQ(catalogselection::current().key, QStringLiteral("Citems")); // the table is shown instead
}

TEST_F(ObjectBrowserTest, SnippetsGoIntoTheEditorWithTheirHighlightSelected) {
    auto d = document(cs);
    const auto snippets = TemplateStore::snippets();
    ASSERT_TRUE(snippets.ok() && !snippets->empty());
    const ObjectSnippet& s = snippets->front();
    const auto parts = TemplateStore::objectSnippet(s.key);
    ASSERT_TRUE(parts.ok());
    ObjectBrowser* b = d->objectBrowser();
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

TEST_F(ObjectBrowserTest, CommandsScriptTheNodeSelectedInAnyDocument) {
    auto a = document(cs);
    auto other = document(cs);
    open(*a, node(*a, QStringLiteral("Corders")));
    other->scriptObject(ObjectCommand::Select);
    EXPECT_EQ(other->editor()->text(), QStringLiteral("SELECT * FROM orders "));
    EXPECT_EQ(other->editor()->selectedText(), QStringLiteral("SELECT * FROM orders "));
    EXPECT_TRUE(a->editor()->text().isEmpty());

    other->editor()->setText(QString());
    other->scriptObject(ObjectCommand::Insert); // reads the columns first
    ASSERT_TRUE(waitFor([&] { return !other->objectScripter()->isBusy(); }));
    EXPECT_EQ(other->editor()->text(),
              QStringLiteral("INSERT INTO orders\r\n\t(id, \"Total Due\", note)\r\nVALUES\r\n\t(:id, :Total_Due, "
                             ":note)\r\n "));
    EXPECT_FALSE(other->editor()->hasSelectedText());

    // a column: no read, the column forms
    open(*a, node(*a, QStringLiteral("Corders")));
    open(*a, node(*a, QStringLiteral("ZZZZZZ|Corders|Total Due")));
    other->editor()->setText(QString());
    other->scriptObject(ObjectCommand::Delete);
    EXPECT_EQ(other->editor()->text(),
              QStringLiteral("DELETE FROM orders\r\n\tWHERE \"Total Due\" = :Total_Due "));
    other->editor()->setText(QString());
    other->scriptObject(ObjectCommand::InsertObject);
    EXPECT_EQ(other->editor()->text(), QStringLiteral("\"Total Due\" "));

    // nodes without a statement insert nothing
    open(*a, node(*a, QStringLiteral("R2")));
    other->editor()->setText(QString());
    for (ObjectCommand c : {ObjectCommand::Browse, ObjectCommand::Select, ObjectCommand::Insert,
                            ObjectCommand::Update, ObjectCommand::Delete})
        other->scriptObject(c);
    EXPECT_TRUE(other->editor()->text().isEmpty());
    other->scriptObject(ObjectCommand::InsertObject);
    EXPECT_EQ(other->editor()->text(), QStringLiteral("Common Objects "));
    EXPECT_EQ(dialogs.messages, QStringList());
}

TEST_F(ObjectBrowserTest, BrowseObjectRunsTheFirstRows) {
    auto d = document(cs);
    open(*d, node(*d, QStringLiteral("Corders")));
    d->scriptObject(ObjectCommand::Browse);
    EXPECT_EQ(d->editor()->selectedText(), QStringLiteral("SELECT * FROM orders LIMIT 20 "));
    ASSERT_TRUE(waitFor([&] { return !d->isRunning(); }));
    EXPECT_EQ(d->resultPanes()->grid()->resultModel()->rowCount(), 2);
}

TEST_F(ObjectBrowserTest, TheMainWindowRoutesThePopupCommands) {
    MainWindow w;
    QueryDocument* d = w.activeDocument();
    d->setConnection(cs);
    ASSERT_TRUE(waitFor([&] { return !d->objectBrowser()->isBusy(); }));
    open(*d, node(*d, QStringLiteral("Citems")));
    w.action(QStringLiteral("mnuObjSelect"))->trigger();
    EXPECT_EQ(d->editor()->text(), QStringLiteral("SELECT * FROM items "));
    w.action(QStringLiteral("mnuObjHelp"))->trigger(); // help topics come later: nothing happens
    d->editor()->setText(QString());
    d->execute(DocumentCommand::RefreshObjects);
    EXPECT_TRUE(d->objectBrowser()->isBusy());
    ASSERT_TRUE(waitFor([&] { return !d->objectBrowser()->isBusy(); }));
    EXPECT_TRUE(
        d->objectBrowser()->model()->childrenOf(node(*d, QStringLiteral("Citems"))).empty()); // read afresh
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
    EXPECT_EQ(d->objectBrowser()->model()->count(), 0);
    EXPECT_EQ(d->statusBar()->panelText(ObjectBrowser::StatePanel), QStringLiteral("Not connected"));
}

TEST_F(ObjectBrowserTest, AFailedReadIsShownAndTriedAgainNextTime) {
    auto d = document(cs);
    ObjectBrowser* b = d->objectBrowser();
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
    const ObjectTreeModel* m = d->objectBrowser()->model();
    EXPECT_GE(node(*d, QStringLiteral("R2")), 0);
    EXPECT_TRUE(m->childrenOf(node(*d, QStringLiteral("R"))).empty());
    EXPECT_EQ(d->objectBrowser()->sqlStyle(), ProviderKind::None);
}

TEST_F(ObjectBrowserTest, OnlyTheLastConnectionsListsAreShown) {
    const QString other = home.file(QStringLiteral("other.db"));
    db::Connection::open(QStringLiteral("Provider=SQLite;Data Source=") + other, {15, true})
        ->exec(QStringLiteral("CREATE TABLE lonely (x INTEGER)"));
    auto d = document(QString());
    d->setConnection(cs);
    EXPECT_TRUE(d->objectBrowser()->isBusy());
    d->setConnection(QStringLiteral("Provider=SQLite;Data Source=") + other);
    ASSERT_TRUE(waitFor([&] { return !d->objectBrowser()->isBusy(); }));
    QTest::qWait(100); // an answer for the first string would have arrived by now
    EXPECT_EQ(childTexts(*d->objectBrowser()->model(), node(*d, QStringLiteral("R"))), QStringList{"lonely"});
}

// ---- a catalogue server ----

TEST(ObjectBrowserServer, TheChooserSwitchesThisDocumentsDatabase) {
    QString pg;
    SQLQE_REQUIRE_SERVER(kPostgres, pg);
    TempHome home;
    ScriptedDialogs dialogs;
    homeseeding::ensureSeeded();
    auto admin = db::Connection::open(pg);
    const QString home_db = admin->defaultDatabase();
    const QString other = QStringLiteral("sqlqe_catalog_gui");
    if (admin->query(QStringLiteral("SELECT 1 FROM pg_database WHERE datname = ?"), {other}).rows.empty())
        admin->exec(QStringLiteral("CREATE DATABASE ") + other);
    db::Connection::open(pg + QStringLiteral("Database=") + other + QLatin1Char(';'))
        ->exec(QStringLiteral("CREATE TABLE IF NOT EXISTS \"Elsewhere\" (n INTEGER)"));

    QueryDocument a, b;
    a.setConnection(pg);
    b.setConnection(pg);
    ASSERT_TRUE(waitFor([&] { return !a.objectBrowser()->isBusy() && !b.objectBrowser()->isBusy(); }));
    ObjectBrowser* browser = a.objectBrowser();
    EXPECT_EQ(browser->sqlStyle(), ProviderKind::CatalogServer);
    QComboBox* chooser = a.toolbar()->databaseChooser();
    EXPECT_TRUE(chooserEntries(chooser).contains(other));
    EXPECT_EQ(chooser->currentText(), home_db);
    const ObjectTreeModel* m = browser->model();
    const int catalog = m->findKey(QLatin1Char('C') + other);
    ASSERT_GE(catalog, 0);
    EXPECT_EQ(childTexts(*m, catalog), (QStringList{"User Tables", "System Tables", "Views", "Procedures"}));

    const int row = int(chooserEntries(chooser).indexOf(other));
    chooser->setCurrentIndex(row);
    emit chooser->activated(row);
    EXPECT_EQ(a.resultPanes()->messagePane()->text(),
              QStringLiteral("Changing Default Database to: ") + other);
    EXPECT_EQ(a.resultPanes()->currentIndex(), int(ResultPanes::MessagesTab));
    ASSERT_TRUE(waitFor([&] { return !browser->chooser()->isSwitching(); }));
    EXPECT_EQ(browser->currentDatabase(), other);
    EXPECT_TRUE(a.windowTitle().contains(QStringLiteral("PostgreSQL - ") + other));
    EXPECT_EQ(b.objectBrowser()->currentDatabase(), home_db); // each document has its own

    // Refresh keeps the chosen database
    a.addLists();
    ASSERT_TRUE(waitFor([&] { return !browser->isBusy(); }));
    EXPECT_EQ(chooser->currentText(), other);
    EXPECT_EQ(browser->currentDatabase(), other);

    // a database that cannot be chosen leaves the current one
    browser->chooseDatabase(QStringLiteral("no_such_database_here"));
    ASSERT_TRUE(waitFor([&] { return !browser->chooser()->isSwitching(); }));
    EXPECT_EQ(browser->currentDatabase(), other);
    EXPECT_TRUE(a.resultPanes()->messagePane()->text().contains(QStringLiteral("Error: ")));

    // browsing a table of another database runs it there
    browser->openNode(m->findKey(QStringLiteral("CCU|") + other));
    ASSERT_TRUE(waitFor([&] { return !browser->isBusy(); }));
    const int table = m->findKey(QStringLiteral("XXXXX|CCU|") + other + QStringLiteral("|Elsewhere"));
    ASSERT_GE(table, 0);
    browser->openNode(table);
    b.scriptObject(ObjectCommand::Browse);
    EXPECT_EQ(b.editor()->selectedText(), QStringLiteral("SELECT * FROM public.\"Elsewhere\" LIMIT 20 "));
    EXPECT_EQ(b.objectBrowser()->currentDatabase(), other);
    ASSERT_TRUE(waitFor([&] { return !b.isRunning() && !b.objectBrowser()->chooser()->isSwitching(); }));
    EXPECT_TRUE(b.resultPanes()->messagePane()->text().startsWith(QStringLiteral("Success")))
        << b.resultPanes()->messagePane()->text().toStdString();
}
