// Catalogue names that once left the object browser empty without a word:
// "|" inside catalogue, schema, table and column names on every backend, a
// PostgreSQL table off the search path, and a table made after the window
// connected (in the tree after Refresh, and in the completion lists).
#include "assist/CodeAssist.h"
#include "assist/CompletionList.h"
#include "assist/CompletionPopup.h"
#include "catalog/ObjectBrowser.h"
#include "catalog/ObjectTreeModel.h"
#include "db/Connection.h"
#include "document/QueryDocument.h"
#include "editor/SqlEditor.h"
#include "store/HomeSeeding.h"
#include "support/DocumentRun.h"
#include "support/ScriptedDialogs.h"
#include "support/TempHome.h"
#include "support/TestServers.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

class CatalogNamesTest : public ::testing::Test {
protected:
    void SetUp() override { store::ensureSeeded(); }
    void connect(const QString& cs) {
        doc = shownDocument(cs);
        settle();
    }
    void settle() { ASSERT_TRUE(QTest::qWaitFor([&] { return !browser()->isBusy(); }, 15000)); }
    ObjectBrowser* browser() const { return doc->parts().objects; }
    const ObjectTreeModel& model() const { return *browser()->model(); }
    // The child of parent shown as text (-1 when there is none).
    int child(int parent, const QString& text) const {
        for (int c : model().childrenOf(parent))
            if (model().text(c) == text) return c;
        return -1;
    }
    QStringList childTexts(int id) const {
        QStringList out;
        for (int c : model().childrenOf(id)) out << model().text(c);
        return out;
    }
    // Opens a node as a click does and waits for what it reads.
    void open(int id) {
        browser()->openNode(id);
        settle();
        EXPECT_EQ(browser()->lastFailure(), QString());
    }
    // Opens table (a child of parent), expects its columns, then the size and
    // type of the column given.
    void expectColumns(int parent, const QString& table, const QStringList& columns, const QString& column,
                       const QString& size) {
        SCOPED_TRACE(table.toStdString());
        const int t = child(parent, table);
        ASSERT_GE(t, 0) << childTexts(parent).join(QLatin1Char(',')).toStdString();
        open(t);
        EXPECT_EQ(childTexts(t), columns);
        const int c = child(t, column);
        ASSERT_GE(c, 0);
        open(c);
        ASSERT_EQ(model().childrenOf(c).size(), 2u);
        EXPECT_EQ(model().text(model().childrenOf(c)[0]), size);
    }
    // The columns the completion popup lists after "table." at the end of the script.
    QStringList completedColumns(const QString& table) {
        doc->editor()->setText(QStringLiteral("SELECT ") + table + QLatin1Char('.'));
        doc->editor()->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
        CompletionPopup* popup = doc->parts().assist->popup();
        doc->parts().assist->showCatalogTableSense();
        CompletionList* list = popup->list(CompletionPopup::Columns);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !list->textAt(0).endsWith(QStringLiteral("…")); }, 10000));
        QStringList out;
        if (!list->isPlaceholder())
            for (int i = 0; i < list->count(); ++i) out << list->textAt(i);
        popup->dismiss();
        return out;
    }

    TempHome home;
    ScriptedDialogs dialogs;
    std::unique_ptr<QueryDocument> doc;
};

} // namespace

TEST_F(CatalogNamesTest, PipesInSqliteTableAndColumnNames) {
    const QString cs = QStringLiteral("Provider=SQLite;Data Source=") + home.file(QStringLiteral("p.db"));
    auto c = db::Connection::open(cs, {15, true});
    c->exec(QStringLiteral("CREATE TABLE \"t|x\" (id INTEGER, \"c_pipe|name\" VARCHAR(12))"));
    c->exec(QStringLiteral("CREATE TABLE \"back\\slash\" (\"a\\|b\" CHAR(3))"));
    connect(cs);
    const int root = model().findKey(QStringLiteral("R"));
    expectColumns(root, QStringLiteral("t|x"), {"id", "c_pipe|name"}, QStringLiteral("c_pipe|name"), QStringLiteral("12"));
    expectColumns(root, QStringLiteral("back\\slash"), {"a\\|b"}, QStringLiteral("a\\|b"), QStringLiteral("3"));
    EXPECT_EQ(completedColumns(QStringLiteral("\"t|x\"")), (QStringList{"id", "c_pipe|name"}));
}

TEST_F(CatalogNamesTest, PostgresSchemasOffTheSearchPathAndWithPipes) {
    QString cs;
    SQLQE_REQUIRE_SERVER(kPostgres, cs);
    auto admin = db::Connection::open(cs);
    for (const char* sql : {"DROP SCHEMA IF EXISTS hostile CASCADE", "DROP SCHEMA IF EXISTS \"pipe|pub\" CASCADE",
                            "CREATE SCHEMA hostile", "CREATE TABLE hostile.\"MixedCase\" (\"Qty\" INTEGER, label VARCHAR(7))",
                            "CREATE SCHEMA \"pipe|pub\"", "CREATE TABLE \"pipe|pub\".\"a|b\" (\"c|d\" VARCHAR(9))"})
        admin->exec(QString::fromUtf8(sql));
    connect(cs);
    const int folder = model().findKey(QStringLiteral("CCU|") + admin->defaultDatabase());
    ASSERT_GE(folder, 0);
    open(folder);
    expectColumns(folder, QStringLiteral("MixedCase"), {"Qty", "label"}, QStringLiteral("label"), QStringLiteral("7"));
    expectColumns(folder, QStringLiteral("a|b"), {"c|d"}, QStringLiteral("c|d"), QStringLiteral("9"));
    // completion finds the table in its schema though the search path does not
    EXPECT_EQ(completedColumns(QStringLiteral("\"MixedCase\"")), (QStringList{"Qty", "label"}));
}

TEST_F(CatalogNamesTest, MariaDbDatabaseTableAndColumnWithPipes) {
    QString cs;
    SQLQE_REQUIRE_SERVER(kMariaDb, cs);
    auto admin = db::Connection::open(cs);
    for (const char* sql : {"DROP DATABASE IF EXISTS `pipe|pub`", "CREATE DATABASE `pipe|pub`",
                            "CREATE TABLE `pipe|pub`.`a|b` (`c|d` VARCHAR(9), n INTEGER)"})
        admin->exec(QString::fromUtf8(sql));
    connect(cs);
    const int folder = model().findKey(QStringLiteral("CCU|pipe\\|pub"));
    ASSERT_GE(folder, 0);
    EXPECT_EQ(model().text(model().parentOf(folder)), QStringLiteral("pipe|pub"));
    open(folder);
    expectColumns(folder, QStringLiteral("a|b"), {"c|d", "n"}, QStringLiteral("c|d"), QStringLiteral("9"));
    admin->exec(QStringLiteral("DROP DATABASE `pipe|pub`"));
}

TEST_F(CatalogNamesTest, ATableMadeAfterConnectingShowsItsColumnsAfterRefresh) {
    QString cs;
    SQLQE_REQUIRE_SERVER(kPostgres, cs);
    auto admin = db::Connection::open(cs);
    admin->exec(QStringLiteral("DROP SCHEMA IF EXISTS late_s CASCADE"));
    connect(cs);
    EXPECT_EQ(completedColumns(QStringLiteral("late_t")), QStringList()); // not there yet
    admin->exec(QStringLiteral("CREATE SCHEMA late_s"));
    admin->exec(QStringLiteral("CREATE TABLE late_s.late_t (z INTEGER, y CHAR(2))"));
    doc->execute(DocumentCommand::RefreshObjects); // Refresh
    settle();
    const int folder = model().findKey(QStringLiteral("CCU|") + admin->defaultDatabase());
    open(folder);
    expectColumns(folder, QStringLiteral("late_t"), {"z", "y"}, QStringLiteral("y"), QStringLiteral("2"));
    EXPECT_EQ(completedColumns(QStringLiteral("late_t")), (QStringList{"z", "y"}));
    admin->exec(QStringLiteral("DROP SCHEMA late_s CASCADE"));
}
