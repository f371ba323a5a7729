// The completion popup on a query document: how it opens, the keys in its
// lists, the table and column lists from a real SQLite file, the variables
// of the script, and a document without a connection.
#include "assist/CatalogCache.h"
#include "gui/AssistFixture.h"
#include "support/TestServers.h"

using CompletionPopupTest = AssistFixture;

TEST_F(CompletionPopupTest, CtrlSpaceCompletesTheWordInFrontOfTheCaret) {
    auto d = makeDocument();
    script(*d, QStringLiteral("SEL"));
    key(Qt::Key_Space, Qt::ControlModifier);
    ASSERT_TRUE(popup(*d)->isOpen());
    EXPECT_EQ(popup(*d)->currentList(), CompletionPopup::Keywords);
    EXPECT_EQ(d->editor()->selectedText(), QStringLiteral("SEL")); // the word to be replaced
    EXPECT_EQ(shown(*d)->currentText(), QStringLiteral("SELECT"));
    EXPECT_EQ(QApplication::focusWidget(), shown(*d));
    // typing narrows the choice and extends the word; Backspace takes it back
    type(QStringLiteral("e"));
    EXPECT_EQ(d->editor()->text(), QStringLiteral("SELe"));
    EXPECT_EQ(shown(*d)->currentText(), QStringLiteral("SELECT")); // no match keeps the last one
    key(Qt::Key_Backspace);
    type(QStringLiteral("f"));
    EXPECT_EQ(d->editor()->selectedText(), QStringLiteral("SELf"));
    key(Qt::Key_Backspace);
    key(Qt::Key_Return);
    EXPECT_FALSE(popup(*d)->isOpen());
    EXPECT_EQ(d->editor()->text(), QStringLiteral("SELECT "));
    EXPECT_EQ(QApplication::focusWidget(), d->editor());
    // the caret is after the blank: typing goes on there
    type(QStringLiteral("x"));
    EXPECT_EQ(d->editor()->text(), QStringLiteral("SELECT x"));
}

TEST_F(CompletionPopupTest, AfterADotTheWordStartsAfterIt) {
    auto d = makeDocument();
    script(*d, QStringLiteral("SELECT o.\r\nFROM Orders o"));
    d->editor()->setCursorPosition(0, 9);
    key(Qt::Key_Space, Qt::ControlModifier);
    ASSERT_TRUE(popup(*d)->isOpen());
    EXPECT_EQ(popup(*d)->word(), QString());
    type(QStringLiteral("cou"));
    EXPECT_EQ(shown(*d)->currentText(), QStringLiteral("COUNT"));
    key(Qt::Key_Enter);
    EXPECT_EQ(d->editor()->text(), QStringLiteral("SELECT o.COUNT \r\nFROM Orders o"));
}

TEST_F(CompletionPopupTest, EscKeepsTheTypedWordAndOtherKeysClose) {
    auto d = makeDocument();
    script(*d, QStringLiteral("se"));
    key(Qt::Key_Space, Qt::ControlModifier);
    type(QStringLiteral("l"));
    key(Qt::Key_Escape);
    EXPECT_FALSE(popup(*d)->isOpen());
    EXPECT_EQ(d->editor()->text(), QStringLiteral("sel"));
    EXPECT_FALSE(d->editor()->hasSelectedText());
    EXPECT_EQ(QApplication::focusWidget(), d->editor());
    // T extends the word, Tab closes without typing anything
    key(Qt::Key_Space, Qt::ControlModifier);
    type(QStringLiteral("T"));
    key(Qt::Key_Tab);
    EXPECT_FALSE(popup(*d)->isOpen());
    EXPECT_EQ(d->editor()->text(), QStringLiteral("selT"));
    // a printable character closes the popup and is typed as usual
    key(Qt::Key_Space, Qt::ControlModifier);
    type(QStringLiteral("("));
    EXPECT_FALSE(popup(*d)->isOpen());
    EXPECT_EQ(d->editor()->text(), QStringLiteral("selT("));
    // "@" extends only in the variable list
    key(Qt::Key_Space, Qt::ControlModifier);
    type(QStringLiteral("@"));
    EXPECT_FALSE(popup(*d)->isOpen());
    EXPECT_EQ(d->editor()->text(), QStringLiteral("selT(@"));
    // a modifier alone and the arrows leave it open
    key(Qt::Key_Space, Qt::ControlModifier);
    const int row = shown(*d)->currentIndex().row(); // the operator "@>"
    key(Qt::Key_Shift);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    EXPECT_TRUE(popup(*d)->isOpen());
    EXPECT_EQ(shown(*d)->currentIndex().row(), row + 2);
    // Enter without a chosen word types the line break
    popup(*d)->list(CompletionPopup::Keywords)->setCurrentIndex({});
    key(Qt::Key_Return);
    EXPECT_FALSE(popup(*d)->isOpen());
    EXPECT_EQ(d->editor()->lines(), 2);
}

TEST_F(CompletionPopupTest, ShiftSpaceListsTablesAndSpaceListsTheColumns) {
    auto d = makeDocument();
    script(*d, QStringLiteral("SELECT * FROM Ord"));
    key(Qt::Key_Space, Qt::ShiftModifier);
    ASSERT_TRUE(popup(*d)->isOpen());
    EXPECT_EQ(popup(*d)->currentList(), CompletionPopup::Tables);
    ASSERT_TRUE(filled(*d));
    CompletionList* tables = shown(*d);
    EXPECT_TRUE(tables->entries()->find(QStringLiteral("Customers")) >= 0);
    EXPECT_EQ(tables->currentText(), QStringLiteral("Orders"));
    key(Qt::Key_Space);
    EXPECT_EQ(d->editor()->text(), QStringLiteral("SELECT * FROM Orders."));
    ASSERT_TRUE(popup(*d)->isOpen());
    EXPECT_EQ(popup(*d)->currentList(), CompletionPopup::Columns);
    ASSERT_TRUE(filled(*d));
    EXPECT_EQ(shown(*d)->textAt(0), QStringLiteral("id"));
    EXPECT_EQ(shown(*d)->count(), 3);
    type(QStringLiteral("to"));
    key(Qt::Key_Return);
    EXPECT_EQ(d->editor()->text(), QStringLiteral("SELECT * FROM Orders.total "));
}

TEST_F(CompletionPopupTest, FunctionKeysSwitchBetweenTheLists) {
    auto d = makeDocument();
    script(*d, QStringLiteral("DECLARE @limit INT; SELECT @x,@y FROM t WHERE id < "));
    key(Qt::Key_Space, Qt::ControlModifier);
    key(Qt::Key_F3); // keywords -> variables
    EXPECT_EQ(popup(*d)->currentList(), CompletionPopup::Variables);
    CompletionList* vars = shown(*d);
    ASSERT_EQ(vars->count(), 3);
    EXPECT_EQ(vars->textAt(0), QStringLiteral("@limit"));
    type(QStringLiteral("@y"));
    EXPECT_EQ(vars->currentText(), QStringLiteral("@y"));
    key(Qt::Key_F2); // variables stay
    EXPECT_EQ(popup(*d)->currentList(), CompletionPopup::Variables);
    key(Qt::Key_F3); // back to keywords
    EXPECT_EQ(popup(*d)->currentList(), CompletionPopup::Keywords);
    key(Qt::Key_F2); // tables
    EXPECT_EQ(popup(*d)->currentList(), CompletionPopup::Tables);
    ASSERT_TRUE(filled(*d));
    key(Qt::Key_Down); // Customers, Orders or order_items: whichever is second
    const QString table = shown(*d)->currentText();
    key(Qt::Key_F2); // the columns of the chosen table
    EXPECT_EQ(popup(*d)->currentList(), CompletionPopup::Columns);
    ASSERT_TRUE(filled(*d));
    EXPECT_FALSE(shown(*d)->isPlaceholder()) << table.toStdString();
    key(Qt::Key_F2); // the same tables again, with the same choice
    EXPECT_EQ(popup(*d)->currentList(), CompletionPopup::Tables);
    EXPECT_EQ(shown(*d)->currentText(), table);
    key(Qt::Key_F3);
    EXPECT_EQ(popup(*d)->currentList(), CompletionPopup::Keywords);
    // F5 (which runs the script elsewhere) reads the catalogue again here
    const int reads = popup(*d)->cache()->readsStarted();
    key(Qt::Key_F2);
    key(Qt::Key_F5);
    EXPECT_EQ(popup(*d)->cache()->readsStarted(), reads + 1);
    EXPECT_FALSE(d->isRunning());
    ASSERT_TRUE(filled(*d));
    key(Qt::Key_Escape);
    EXPECT_EQ(d->editor()->text(), QStringLiteral("DECLARE @limit INT; SELECT @x,@y FROM t WHERE id < @y"));
}

TEST_F(CompletionPopupTest, TheCatalogueIsReadOncePerConnection) {
    auto d = makeDocument();
    key(Qt::Key_Space, Qt::ShiftModifier);
    ASSERT_TRUE(filled(*d));
    key(Qt::Key_Escape);
    const int reads = popup(*d)->cache()->readsStarted();
    key(Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_FALSE(shown(*d)->isPlaceholder()); // listed at once, from the cache
    EXPECT_EQ(popup(*d)->cache()->readsStarted(), reads);
    key(Qt::Key_Escape);
    // another connection is read for itself
    d->setConnection(cs + QLatin1Char(';'));
    key(Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_EQ(popup(*d)->cache()->readsStarted(), reads + 1);
    ASSERT_TRUE(filled(*d));
}

TEST_F(CompletionPopupTest, MenuCommandsOpenEachList) {
    auto d = makeDocument();
    script(*d, QStringLiteral("SELECT Orders."));
    d->execute(DocumentCommand::CatalogTableSense); // F8: the table before the dot
    ASSERT_TRUE(popup(*d)->isOpen());
    EXPECT_EQ(popup(*d)->currentList(), CompletionPopup::Columns);
    ASSERT_TRUE(filled(*d));
    EXPECT_EQ(shown(*d)->count(), 3);
    d->execute(DocumentCommand::CatalogSense); // F9 in the open popup
    EXPECT_EQ(popup(*d)->currentList(), CompletionPopup::Tables);
    d->execute(DocumentCommand::VariableSense);
    EXPECT_EQ(popup(*d)->currentList(), CompletionPopup::Variables);
    EXPECT_TRUE(shown(*d)->isPlaceholder()); // the script has no variables
    d->execute(DocumentCommand::CodeSense);
    EXPECT_TRUE(popup(*d)->isOpen());
    EXPECT_EQ(popup(*d)->currentList(), CompletionPopup::Keywords);
    // a click in the editor closes it
    QTest::mouseClick(d->editor()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(popup(*d)->isOpen());
}

TEST_F(CompletionPopupTest, DoubleClickAcceptsAnEntry) {
    auto d = makeDocument();
    script(*d, QStringLiteral("SELECT @total, @t"));
    d->execute(DocumentCommand::VariableSense);
    CompletionList* vars = shown(*d);
    ASSERT_EQ(vars->count(), 2);
    EXPECT_EQ(vars->currentText(), QStringLiteral("@total"));
    const QRect r = vars->visualRect(vars->entries()->index(0));
    QTest::mouseClick(vars->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(vars->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_FALSE(popup(*d)->isOpen());
    EXPECT_EQ(d->editor()->text(), QStringLiteral("SELECT @total, @total "));
}

TEST_F(CompletionPopupTest, WithoutAConnectionTheCatalogueKeysTypeWhatTheyType) {
    auto d = makeDocument(false);
    script(*d, QStringLiteral("SELECT"));
    key(Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_FALSE(popup(*d)->isOpen());
    EXPECT_EQ(d->editor()->text(), QStringLiteral("SELECT "));
    // the menu commands say why there is nothing to list
    d->execute(DocumentCommand::CatalogSense);
    ASSERT_TRUE(popup(*d)->isOpen());
    EXPECT_EQ(shown(*d)->textAt(0), QStringLiteral("[No Connection]"));
    EXPECT_TRUE(shown(*d)->isPlaceholder());
    key(Qt::Key_F2);
    EXPECT_EQ(popup(*d)->currentList(), CompletionPopup::Columns);
    EXPECT_EQ(shown(*d)->textAt(0), QStringLiteral("[No Connection]"));
    // Space on a placeholder inserts nothing of it and types the blank
    key(Qt::Key_Space);
    EXPECT_FALSE(popup(*d)->isOpen());
    EXPECT_EQ(d->editor()->text(), QStringLiteral("SELECT  "));
    d->execute(DocumentCommand::CatalogTableSense);
    EXPECT_EQ(shown(*d)->textAt(0), QStringLiteral("[No Connection]"));
}

TEST_F(CompletionPopupTest, AFailingReadShowsItsErrorAsThePlaceholder) {
    auto d = makeDocument(false);
    d->setConnection(QStringLiteral("Provider=SQLite;Data Source=") +
                     home.file(QStringLiteral("no/such/dir/x.db")));
    d->execute(DocumentCommand::CatalogSense);
    ASSERT_TRUE(filled(*d));
    EXPECT_TRUE(shown(*d)->isPlaceholder());
    EXPECT_TRUE(shown(*d)->textAt(0).startsWith(QStringLiteral("Error: ")))
        << shown(*d)->textAt(0).toStdString();
    key(Qt::Key_Return);
    EXPECT_EQ(d->editor()->text(), QStringLiteral("\r\n"));
}

TEST_F(CompletionPopupTest, TheKeywordListHoldsEveryClassInOrder) {
    auto d = makeDocument();
    CompletionList* kw = popup(*d)->list(CompletionPopup::Keywords);
    const WordLists& lists = d->parts().assist->language()->lists();
    ASSERT_EQ(kw->count(), int(lists.keywords.size() + lists.operators.size() + lists.functions.size() +
                               lists.dataTypes.size()));
    EXPECT_EQ(kw->textAt(0), lists.keywords.first());
    EXPECT_EQ(kw->textAt(int(lists.keywords.size())), lists.operators.first());
    EXPECT_EQ(kw->textAt(kw->count() - 1), lists.dataTypes.last());
    // no words at all: the list says so
    d->parts().assist->language()->setLists({});
    EXPECT_EQ(kw->count(), 1);
    EXPECT_EQ(kw->textAt(0), QStringLiteral("Not Supported"));
}

TEST_F(CompletionPopupTest, AwkwardNamesFromARealServer) {
    QString pg;
    SQLQE_REQUIRE_SERVER(kPostgres, pg);
    const QString suffix = QString::number(QCoreApplication::applicationPid());
    const QStringList names = {QStringLiteral("it's %1").arg(suffix), QStringLiteral("100% %1").arg(suffix)};
    auto server = db::Connection::open(pg);
    for (const QString& n : names)
        server->exec(QStringLiteral("CREATE TABLE \"%1\" (\"o'clock\" int, \"50%\" text)").arg(n));
    struct Drop {
        db::Connection* c;
        QStringList names;
        ~Drop() {
            for (const QString& n : names)
                c->exec(QStringLiteral("DROP TABLE IF EXISTS \"%1\"").arg(n));
        }
    } drop{server.get(), names};

    auto d = makeDocument(false);
    d->setConnection(pg);
    script(*d, QStringLiteral("SELECT * FROM it"));
    key(Qt::Key_Space, Qt::ShiftModifier);
    ASSERT_TRUE(filled(*d));
    for (const QString& n : names)
        EXPECT_GE(shown(*d)->entries()->find(n), 0) << n.toStdString();
    ASSERT_EQ(shown(*d)->currentText(), names[0]); // the first name that begins with "it"
    key(Qt::Key_Space); // inserted as PostgreSQL reads it back: quoted
    EXPECT_EQ(d->editor()->text(), QStringLiteral("SELECT * FROM \"%1\".").arg(names[0]));
    ASSERT_TRUE(filled(*d));
    ASSERT_EQ(shown(*d)->count(), 2);
    EXPECT_EQ(shown(*d)->textAt(0), QStringLiteral("o'clock"));
    EXPECT_EQ(shown(*d)->textAt(1), QStringLiteral("50%"));
    type(QStringLiteral("5"));
    key(Qt::Key_Return);
    EXPECT_EQ(d->editor()->text(), QStringLiteral("SELECT * FROM \"%1\".\"50%\" ").arg(names[0]));
}
