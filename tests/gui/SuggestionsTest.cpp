// Suggestions that open by themselves while typing: after "name." and at a
// word's second letter, following the typing with the focus left in the
// editor, switched off by their settings, never in comments and strings;
// functions show their signature. And Query > Format SQL on the statement at
// the caret and on a selection.
#include "gui/AssistFixture.h"
#include "settings/Settings.h"

#include <QLabel>

using SuggestionsTest = AssistFixture;

namespace {

QString hintOf(CompletionPopup* p) {
    return p->findChild<QLabel*>(QStringLiteral("completionHint"))->text();
}

} // namespace

TEST_F(SuggestionsTest, ADotListsTheColumnsOfTheAliasAndTheTypingGoesOn) {
    auto d = makeDocument();
    script(*d, QStringLiteral("SELECT  FROM Orders o JOIN Customers c ON c.id = o.customer_id"));
    d->editor()->setCursorPosition(0, 7);
    type(QStringLiteral("c."));
    ASSERT_TRUE(popup(*d)->isOpen());
    EXPECT_TRUE(popup(*d)->isFollowing());
    EXPECT_EQ(popup(*d)->currentList(), CompletionPopup::Suggestions);
    EXPECT_EQ(QApplication::focusWidget(), d->editor()); // typing stays in the editor
    ASSERT_TRUE(filled(*d));
    EXPECT_EQ(shown(*d)->textAt(0), QStringLiteral("id"));
    EXPECT_EQ(shown(*d)->textAt(1), QStringLiteral("name"));
    type(QStringLiteral("n"));
    EXPECT_EQ(shown(*d)->currentText(), QStringLiteral("name"));
    key(Qt::Key_Return);
    EXPECT_FALSE(popup(*d)->isOpen());
    EXPECT_EQ(d->editor()->text(), QStringLiteral("SELECT c.name FROM Orders o JOIN Customers c ON c.id = o.customer_id"));
    // the arrows move in the list, Tab inserts, Esc closes and leaves the word
    type(QStringLiteral(", o."));
    ASSERT_TRUE(filled(*d));
    EXPECT_EQ(shown(*d)->currentText(), QStringLiteral("id"));
    key(Qt::Key_Down);
    EXPECT_EQ(shown(*d)->currentText(), QStringLiteral("customer_id"));
    key(Qt::Key_Tab);
    EXPECT_TRUE(d->editor()->text().startsWith(QStringLiteral("SELECT c.name, o.customer_id FROM")));
    type(QStringLiteral(", o.to"));
    EXPECT_TRUE(popup(*d)->isOpen());
    key(Qt::Key_Escape);
    EXPECT_FALSE(popup(*d)->isOpen());
    EXPECT_TRUE(d->editor()->text().startsWith(QStringLiteral("SELECT c.name, o.customer_id, o.to FROM")));
}

TEST_F(SuggestionsTest, TwoLettersOfAWordOpenWhatTheStatementExpects) {
    auto d = makeDocument();
    script(*d, QStringLiteral("SELECT * FROM "));
    type(QStringLiteral("Cu"));
    ASSERT_TRUE(popup(*d)->isOpen());
    ASSERT_TRUE(filled(*d));
    EXPECT_EQ(shown(*d)->currentText(), QStringLiteral("Customers"));
    key(Qt::Key_Tab);
    type(QStringLiteral(" c WHERE c.na"));
    ASSERT_TRUE(filled(*d));
    EXPECT_EQ(shown(*d)->currentText(), QStringLiteral("name"));
    // a word typed in full closes the list; Enter then breaks the line as usual
    type(QStringLiteral("me"));
    EXPECT_FALSE(popup(*d)->isOpen());
    key(Qt::Key_Return);
    EXPECT_EQ(d->editor()->text(), QStringLiteral("SELECT * FROM Customers c WHERE c.name\r\n"));
    // a word that matches nothing closes it
    type(QStringLiteral("ORDER BY xq"));
    EXPECT_FALSE(popup(*d)->isOpen());
    // functions come with their signature and help
    script(*d, QStringLiteral("SELECT "));
    type(QStringLiteral("coun"));
    ASSERT_TRUE(popup(*d)->isOpen());
    EXPECT_EQ(shown(*d)->currentText(), QStringLiteral("COUNT"));
    EXPECT_TRUE(hintOf(popup(*d)).contains(QStringLiteral("COUNT( * | [DISTINCT] expression )"))) << hintOf(popup(*d)).toStdString();
    EXPECT_TRUE(hintOf(popup(*d)).contains(QStringLiteral("counts rows")));
}

TEST_F(SuggestionsTest, NotInCommentsStringsOrVariablesNorWhenSwitchedOff) {
    auto d = makeDocument();
    for (const char* typed : {"-- se", "SELECT 'se", "/* o.", "SELECT @va", "SELECT 12.5"}) {
        script(*d, QString());
        type(QString::fromUtf8(typed));
        EXPECT_FALSE(popup(*d)->isOpen()) << typed;
        EXPECT_EQ(d->editor()->text(), QString::fromUtf8(typed));
    }
    // a name nothing in the statement or the catalogue answers to: it closes once the names are read
    script(*d, QStringLiteral("SELECT "));
    type(QStringLiteral("zz."));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !popup(*d)->isOpen(); }, 5000));
    type(QStringLiteral("a"));
    EXPECT_EQ(d->editor()->text(), QStringLiteral("SELECT zz.a"));
    // each setting turns its own off, in an open document at once
    ASSERT_TRUE(settings::write(settings::Key::AutoCompleteDot, QStringLiteral("0")));
    script(*d, QStringLiteral("SELECT "));
    type(QStringLiteral("Orders."));
    EXPECT_FALSE(popup(*d)->isOpen());
    type(QStringLiteral("to"));
    EXPECT_TRUE(popup(*d)->isOpen()); // words still open it
    key(Qt::Key_Escape);
    ASSERT_TRUE(settings::write(settings::Key::AutoCompleteWord, QStringLiteral("0")));
    type(QStringLiteral(" se"));
    EXPECT_FALSE(popup(*d)->isOpen());
    // the keys that ask keep working
    key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(popup(*d)->currentList(), CompletionPopup::Keywords);
    EXPECT_EQ(shown(*d)->currentText(), QStringLiteral("SELECT"));
}

TEST_F(SuggestionsTest, FormatSqlLaysOutTheStatementAtTheCaretOrTheSelection) {
    auto d = makeDocument();
    const QString first = QStringLiteral("select id,total from Orders where total>10 order by id");
    const QString second = QStringLiteral("update orders set total=0");
    script(*d, first + QStringLiteral(";\r\n\r\n") + second);
    d->editor()->setCursorPosition(0, 3);
    d->execute(DocumentCommand::FormatSql);
    EXPECT_EQ(d->editor()->text(), QStringLiteral("SELECT id, total\r\nFROM Orders\r\nWHERE total>10\r\nORDER BY id;\r\n\r\n") +
                                       second);
    d->editor()->undo(); // one step
    EXPECT_EQ(d->editor()->text(), first + QStringLiteral(";\r\n\r\n") + second);
    // a selection is formatted alone
    d->editor()->setSelection(2, 0, 2, int(second.size()));
    d->execute(DocumentCommand::FormatSql);
    EXPECT_EQ(d->editor()->text(), first + QStringLiteral(";\r\n\r\nUPDATE orders\r\nSET total=0"));
    // an empty script: nothing happens
    script(*d, QString());
    d->execute(DocumentCommand::FormatSql);
    EXPECT_EQ(d->editor()->text(), QString());
}
