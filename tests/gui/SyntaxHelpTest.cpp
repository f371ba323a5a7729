// Keyword help in the Help tab: looked up only while the tab shows, after a
// pause in the typing, by the beginning of the word with bound values.
#include "assist/SyntaxHelp.h"

#include "document/NavigationPanes.h"
#include "gui/AssistFixture.h"
#include "store/ResourceDb.h"

#include <QFile>
#include <QTextBrowser>

namespace {

class SyntaxHelpTest : public AssistFixture {
protected:
    static SyntaxHelp* help(QueryDocument& d) { return d.parts().assist->help(); }
    static QString shownText(QueryDocument& d) { return d.parts().navigation->browser()->toPlainText(); }
    static bool helpFor(QueryDocument& d, const QString& word) {
        return QTest::qWaitFor([&] { return help(d)->shownWord() == word; }, 5000);
    }
    static void addWord(const QString& name, const QString& title) {
        ResourceDb::open()->exec(
            QStringLiteral("INSERT INTO syntax (syntax_name, type, syntax_title, description, example) "
                           "VALUES (?, 1, ?, 'about it', 'SELECT 1')"),
            {name, title});
    }
};

} // namespace

TEST_F(SyntaxHelpTest, TheStartPageHasTheThreePlaceholders) {
    QFile page(QStringLiteral(":/help/vstart.htm"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    for (const char* id : {"syntax", "description", "example"})
        EXPECT_TRUE(html.contains(QStringLiteral("<div id=\"%1\"").arg(QLatin1String(id)))) << id;
}

TEST_F(SyntaxHelpTest, NothingIsLookedUpWhileTheHelpTabIsHidden) {
    auto d = makeDocument();
    d->execute(DocumentCommand::ShowObjectsTab);
    d->editor()->setFocus();
    type(QStringLiteral("select name from t"));
    EXPECT_EQ(d->editor()->text(), QStringLiteral("select name from t"));
    QTest::qWait(300);
    EXPECT_EQ(help(*d)->lookupsStarted(), 0);
    EXPECT_TRUE(help(*d)->shownWord().isEmpty());
}

TEST_F(SyntaxHelpTest, TheHelpFollowsTheTyping) {
    addWord(QStringLiteral("SELECTIVITY"), QStringLiteral("<b>Bold</b> title"));
    auto d = makeDocument();
    d->execute(DocumentCommand::ShowHelpTab);
    EXPECT_EQ(help(*d)->lookupsStarted(), 0);
    type(QStringLiteral("sel"));
    ASSERT_TRUE(helpFor(*d, QStringLiteral("SELECT")));
    EXPECT_EQ(help(*d)->lookupsStarted(), 1); // one lookup after the pause, not one per key
    EXPECT_TRUE(shownText(*d).contains(QStringLiteral("Returns a result set")))
        << shownText(*d).toStdString();
    EXPECT_TRUE(shownText(*d).contains(QStringLiteral("Ctrl+Space"))); // the rest of the page stays
    // the fragments are HTML, not text
    type(QStringLiteral("ectiv"));
    ASSERT_TRUE(helpFor(*d, QStringLiteral("SELECTIVITY")));
    EXPECT_TRUE(shownText(*d).contains(QStringLiteral("Bold title")));
    EXPECT_FALSE(shownText(*d).contains(QStringLiteral("<b>")));
    // a word that matches nothing keeps the help; one character is not looked up
    const int before = help(*d)->lookupsStarted();
    type(QStringLiteral("xq"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return help(*d)->lookupsStarted() == before + 1; }, 5000));
    QTest::qWait(100);
    EXPECT_EQ(help(*d)->shownWord(), QStringLiteral("SELECTIVITY"));
    type(QStringLiteral(" s"));
    QTest::qWait(300);
    EXPECT_EQ(help(*d)->lookupsStarted(), before + 1);
    // resizing brings the start page back as stored
    d->resize(900, 650);
    QApplication::processEvents();
    EXPECT_TRUE(help(*d)->shownWord().isEmpty());
    EXPECT_TRUE(shownText(*d).contains(QStringLiteral("Keyword help")));
}

TEST_F(SyntaxHelpTest, QuotesAndPercentInTheWordAreLookedUpAsTyped) {
    addWord(QStringLiteral("it's%done"), QStringLiteral("quoted word"));
    auto d = makeDocument();
    // words that hold quotes and percent signs (as some editors' word characters allow)
    d->editor()->SendScintilla(QsciScintillaBase::SCI_SETWORDCHARS, 0UL,
                               "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_'%");
    d->execute(DocumentCommand::ShowHelpTab);
    type(QStringLiteral("it's%"));
    ASSERT_TRUE(helpFor(*d, QStringLiteral("it's%done")));
    EXPECT_TRUE(shownText(*d).contains(QStringLiteral("quoted word")));
    // "%" is no wildcard: "%e" begins no word, so the help stays
    script(*d, QString());
    type(QStringLiteral("%elect"));
    QTest::qWait(400);
    EXPECT_EQ(help(*d)->shownWord(), QStringLiteral("it's%done"));
}

TEST_F(SyntaxHelpTest, ShowingTheTabLooksUpTheWordAtTheCaret) {
    auto d = makeDocument();
    d->execute(DocumentCommand::ShowObjectsTab);
    d->editor()->setFocus();
    type(QStringLiteral("coalesce"));
    d->execute(DocumentCommand::ShowHelpTab);
    ASSERT_TRUE(helpFor(*d, QStringLiteral("COALESCE")));
}
