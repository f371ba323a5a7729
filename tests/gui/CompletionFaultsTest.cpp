// Faults a new user met in the completion lists, each tried with the keys
// he pressed: lists that a run or the object browser's Refresh made stale,
// names inserted without the quotes the server needs, a schema lost on the
// way to the column list, a space typed with Shift held that accepted an old
// choice, and case correction that stopped when colouring was off.
#include "assist/CatalogCache.h"
#include "gui/AssistFixture.h"
#include "settings/Settings.h"
#include "support/TestServers.h"

#include <QSignalSpy>

using CompletionFaultsTest = AssistFixture;

namespace {

QStringList entries(CompletionList* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->textAt(i);
    return out;
}

void runAndWait(QueryDocument& d) {
    d.execute(DocumentCommand::Execute);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !d.isRunning(); }, 10000));
}

} // namespace

TEST_F(CompletionFaultsTest, ATableMadeByARunIsListedWithoutRereadingByHand) {
    auto d = makeDocument();
    key(Qt::Key_Space, Qt::ShiftModifier);
    ASSERT_TRUE(filled(*d));
    EXPECT_FALSE(entries(shown(*d)).contains(QStringLiteral("fresh")));
    key(Qt::Key_Escape);
    // a run without DDL leaves the lists alone
    script(*d, QStringLiteral("SELECT count(*) FROM Orders"));
    runAndWait(*d);
    const int reads = popup(*d)->cache()->readsStarted();
    script(*d, QStringLiteral("SELECT * FROM "));
    key(Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_EQ(popup(*d)->cache()->readsStarted(), reads);
    key(Qt::Key_Escape);

    script(*d, QStringLiteral("CREATE TABLE fresh (made INTEGER)"));
    runAndWait(*d);
    script(*d, QStringLiteral("SELECT * FROM fr"));
    key(Qt::Key_Space, Qt::ShiftModifier);
    ASSERT_TRUE(filled(*d));
    EXPECT_EQ(shown(*d)->currentText(), QStringLiteral("fresh"));
    key(Qt::Key_Space); // its columns too
    ASSERT_TRUE(filled(*d));
    EXPECT_EQ(entries(shown(*d)), QStringList{QStringLiteral("made")});
}

TEST_F(CompletionFaultsTest, TheObjectBrowsersRefreshRereadsTheLists) {
    auto d = makeDocument();
    key(Qt::Key_Space, Qt::ShiftModifier);
    ASSERT_TRUE(filled(*d));
    key(Qt::Key_Escape);
    // made behind the editor's back, by another program
    db::Connection::open(cs)->exec(QStringLiteral("CREATE TABLE elsewhere (x INTEGER)"));
    key(Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_FALSE(entries(shown(*d)).contains(QStringLiteral("elsewhere"))); // cached
    key(Qt::Key_Escape);
    d->execute(DocumentCommand::RefreshObjects);
    script(*d, QStringLiteral("SELECT * FROM else"));
    key(Qt::Key_Space, Qt::ShiftModifier);
    ASSERT_TRUE(filled(*d));
    EXPECT_EQ(shown(*d)->currentText(), QStringLiteral("elsewhere"));
}

TEST_F(CompletionFaultsTest, AnOldListShowsAtOnceAndIsReadAgainBehindIt) {
    auto d = makeDocument();
    key(Qt::Key_Space, Qt::ShiftModifier);
    ASSERT_TRUE(filled(*d));
    key(Qt::Key_Escape);
    db::Connection::open(cs)->exec(QStringLiteral("CREATE TABLE later (x INTEGER)"));
    popup(*d)->cache()->setMaxAge(0); // every list is old now
    QTest::qWait(5);
    QSignalSpy updated(popup(*d)->cache(), &CatalogCache::updated);
    key(Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_FALSE(shown(*d)->isPlaceholder()); // the old list, at once
    EXPECT_FALSE(entries(shown(*d)).contains(QStringLiteral("later")));
    ASSERT_TRUE(updated.wait(5000));
    EXPECT_TRUE(popup(*d)->isOpen());
    EXPECT_TRUE(entries(shown(*d)).contains(QStringLiteral("later"))); // the open list follows
}

TEST_F(CompletionFaultsTest, NamesThatNeedQuotesAreInsertedQuoted) {
    auto c = db::Connection::open(cs);
    c->exec(QStringLiteral("CREATE TABLE \"Odd Table's\" (\"select\" TEXT, plain INTEGER)"));
    c->exec(QStringLiteral("CREATE TABLE \"Mixed Case\" (x INTEGER)"));
    c->exec(QStringLiteral("CREATE TABLE \"select\" (x INTEGER)"));
    c->exec(QStringLiteral("CREATE TABLE \"📦 box\" (\"🎉\" INTEGER)"));
    auto d = makeDocument();
    script(*d, QStringLiteral("SELECT * FROM "));
    key(Qt::Key_Space, Qt::ShiftModifier);
    ASSERT_TRUE(filled(*d));
    type(QStringLiteral("Odd"));
    key(Qt::Key_Return);
    EXPECT_EQ(d->editor()->text(), QStringLiteral("SELECT * FROM \"Odd Table's\" "));
    key(Qt::Key_Space, Qt::ShiftModifier);
    type(QStringLiteral("Mi"));
    key(Qt::Key_Return);
    EXPECT_EQ(d->editor()->text(), QStringLiteral("SELECT * FROM \"Odd Table's\" \"Mixed Case\" "));
    // a reserved word, and Space into its columns
    script(*d, QStringLiteral("SELECT "));
    key(Qt::Key_Space, Qt::ShiftModifier);
    type(QStringLiteral("sel"));
    key(Qt::Key_Space);
    EXPECT_EQ(d->editor()->text(), QStringLiteral("SELECT \"select\"."));
    key(Qt::Key_Escape);
    // an emoji, chosen with the arrows (the system table comes last)
    script(*d, QStringLiteral("SELECT * FROM "));
    key(Qt::Key_Space, Qt::ShiftModifier);
    key(Qt::Key_End);
    key(Qt::Key_Up);
    key(Qt::Key_Space);
    EXPECT_EQ(d->editor()->text(), QStringLiteral("SELECT * FROM \"📦 box\"."));
    ASSERT_TRUE(filled(*d));
    key(Qt::Key_Return);
    EXPECT_EQ(d->editor()->text(), QStringLiteral("SELECT * FROM \"📦 box\".\"🎉\" "));
    // a column that is a reserved word, from the column list of the table before the dot
    script(*d, QStringLiteral("SELECT \"Odd Table's\"."));
    d->execute(DocumentCommand::CatalogTableSense);
    ASSERT_TRUE(filled(*d));
    EXPECT_EQ(entries(shown(*d)), (QStringList{QStringLiteral("select"), QStringLiteral("plain")}));
    key(Qt::Key_Return);
    EXPECT_EQ(d->editor()->text(), QStringLiteral("SELECT \"Odd Table's\".\"select\" "));
}

TEST_F(CompletionFaultsTest, ShiftHeldThroughASpaceAfterAWordThatMatchesNothingTypesTheSpace) {
    auto d = makeDocument();
    // an earlier choice in the table list
    script(*d, QStringLiteral("SELECT * FROM Ord"));
    key(Qt::Key_Space, Qt::ShiftModifier);
    ASSERT_TRUE(filled(*d));
    EXPECT_EQ(shown(*d)->currentText(), QStringLiteral("Orders"));
    key(Qt::Key_Return);
    type(QStringLiteral("ORDER BY id")); // (suggestions may follow the typing)
    // Shift stays down: Shift+Space opens the table list, where "id" matches nothing
    key(Qt::Key_Space, Qt::ShiftModifier);
    ASSERT_TRUE(popup(*d)->isOpen());
    ASSERT_EQ(popup(*d)->currentList(), CompletionPopup::Tables);
    EXPECT_FALSE(shown(*d)->hasWord());
    key(Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_FALSE(popup(*d)->isOpen());
    EXPECT_EQ(d->editor()->text(), QStringLiteral("SELECT * FROM Orders ORDER BY id "));
    // the same in the keyword list: Enter types its line break
    key(Qt::Key_Space, Qt::ControlModifier);
    type(QStringLiteral("zq"));
    EXPECT_FALSE(shown(*d)->hasWord());
    key(Qt::Key_Return);
    EXPECT_EQ(d->editor()->text(), QStringLiteral("SELECT * FROM Orders ORDER BY id zq\r\n"));
}

TEST_F(CompletionFaultsTest, CaseCorrectionWorksWithColouringOff) {
    ASSERT_TRUE(settings::write({{settings::Key::AutoCorrectSyntax, QStringLiteral("1")},
                                 {settings::Key::SyntaxHighlight, QStringLiteral("0")}}));
    auto d = makeDocument();
    ASSERT_EQ(d->editor()->lexer(), nullptr); // no colouring
    script(*d, QString());
    type(QStringLiteral("select count(*) from t where name like 'select from' -- from select"));
    key(Qt::Key_Return);
    type(QStringLiteral("/* from */ where "));
    EXPECT_EQ(d->editor()->text(), QStringLiteral("SELECT COUNT(*) FROM t WHERE name LIKE 'select from' -- from select\r\n"
                                                  "/* from */ WHERE "));
}

TEST_F(CompletionFaultsTest, F8KeepsTheSchemaOfTheTable) {
    QString pg;
    SQLQE_REQUIRE_SERVER(kPostgres, pg);
    auto server = db::Connection::open(pg);
    server->exec(QStringLiteral("DROP SCHEMA IF EXISTS sales_f8 CASCADE"));
    server->exec(QStringLiteral("DROP TABLE IF EXISTS public.dup_orders"));
    server->exec(QStringLiteral("CREATE SCHEMA sales_f8"));
    server->exec(QStringLiteral("CREATE TABLE sales_f8.dup_orders (id int, amount numeric, note text)"));
    server->exec(QStringLiteral("CREATE TABLE public.dup_orders (id int, customer int)"));
    struct Drop {
        db::Connection* c;
        ~Drop() {
            c->exec(QStringLiteral("DROP SCHEMA IF EXISTS sales_f8 CASCADE"));
            c->exec(QStringLiteral("DROP TABLE IF EXISTS public.dup_orders"));
        }
    } drop{server.get()};

    auto d = makeDocument(false);
    d->setConnection(pg);
    script(*d, QStringLiteral("select sales_f8.dup_orders."));
    d->execute(DocumentCommand::CatalogTableSense); // F8
    ASSERT_TRUE(filled(*d));
    EXPECT_EQ(entries(shown(*d)), (QStringList{"id", "amount", "note"}));
    key(Qt::Key_Escape);
    // the table list tells the two apart, and Space keeps the schema too
    script(*d, QStringLiteral("select * from "));
    key(Qt::Key_Space, Qt::ShiftModifier);
    ASSERT_TRUE(filled(*d));
    EXPECT_TRUE(entries(shown(*d)).contains(QStringLiteral("dup_orders")));
    type(QStringLiteral("sales_f8.dup"));
    EXPECT_EQ(shown(*d)->currentText(), QStringLiteral("sales_f8.dup_orders"));
    key(Qt::Key_Space);
    EXPECT_EQ(d->editor()->text(), QStringLiteral("select * from sales_f8.dup_orders."));
    ASSERT_TRUE(filled(*d));
    EXPECT_EQ(entries(shown(*d)), (QStringList{"id", "amount", "note"}));
}
