// What a new document makes at once and what it leaves for later: the
// result panes come with the first run (before it there is no grid, text
// pane, plan view or find bar; after it they work as always, with their
// pop-up menus and the editor's font); the filter fields get their clear
// button once text is typed; the keyword lists are read by the first
// document and shared by the next.
#include "assist/CodeAssist.h"
#include "assist/KeywordLanguage.h"
#include "document/PlanView.h"
#include "document/ResultFind.h"
#include "document/ResultGrid.h"
#include "document/ResultPanes.h"
#include "document/ResultTextView.h"
#include "editor/SqlEditor.h"
#include "store/HomeSeeding.h"
#include "store/ResourceDb.h"
#include "support/DocumentRun.h"
#include "support/ScriptedDialogs.h"
#include "support/TempHome.h"

#include <QContextMenuEvent>
#include <QLineEdit>
#include <QSignalSpy>

namespace {

// The menu the document asked for after a right-click on w, a view's viewport
// for the scrolling panes (none: -1).
int popupAfterRightClick(QueryDocument* doc, QWidget* w) {
    QSignalSpy spy(doc, &QueryDocument::popupRequested);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), w->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(w, &event);
    return spy.isEmpty() ? -1 : int(spy.first().first().value<PopupMenu>());
}

// A fresh home with its demo database.
class NewDocument : public ::testing::Test {
protected:
    void SetUp() override { store::ensureSeeded(); }
    TempHome home;
    ScriptedDialogs dialogs;
};

} // namespace

TEST_F(NewDocument, ResultPanesComeWithTheFirstRunAndKeepTheirMenusAndFont) {
    auto doc = shownDocument(store::demoConnectionString());
    const ResultPanes* panes = doc->parts().results;
    EXPECT_FALSE(panes->resultsBuilt());
    EXPECT_EQ(doc->findChild<ResultGrid*>(), nullptr);
    EXPECT_EQ(doc->findChild<PlanView*>(), nullptr);
    EXPECT_EQ(doc->findChild<ResultFind*>(), nullptr);

    runScript(doc.get(), QStringLiteral("select 1 as a union all select 2"));
    ASSERT_TRUE(panes->resultsBuilt());
    EXPECT_EQ(panes->grid()->model()->rowCount(), 2);
    EXPECT_TRUE(panes->grid()->isVisible());
    EXPECT_EQ(popupAfterRightClick(doc.get(), panes->grid()->viewport()), int(PopupMenu::Grid));
    EXPECT_EQ(popupAfterRightClick(doc.get(), panes->textPane()->viewport()), int(PopupMenu::Edit));
    EXPECT_EQ(popupAfterRightClick(doc.get(), panes->messagePane()->viewport()), int(PopupMenu::Query));
    EXPECT_EQ(panes->textPane()->font().family(), doc->editor()->editorFont().family());

    // results as text: the same pane, now in front, and the rows in it
    doc->setResultsInText(true);
    runScript(doc.get(), QStringLiteral("select 'lazy' as word"));
    EXPECT_TRUE(panes->textPane()->isVisible());
    EXPECT_TRUE(panes->textPane()->text().contains(QLatin1String("lazy")));
}

TEST_F(NewDocument, FilterFieldsGetTheirClearButtonWithTheFirstText) {
    auto doc = shownDocument(store::demoConnectionString());
    for (const char* name : {"objectFilter", "historySearch"}) {
        SCOPED_TRACE(name);
        auto* edit = doc->findChild<QLineEdit*>(QLatin1String(name));
        ASSERT_NE(edit, nullptr);
        EXPECT_FALSE(edit->isClearButtonEnabled());
        edit->setText(QStringLiteral("cust"));
        EXPECT_TRUE(edit->isClearButtonEnabled());
        edit->clear();
        EXPECT_TRUE(edit->isClearButtonEnabled()); // it stays, hidden while the field is empty
    }
}

TEST_F(NewDocument, TheSecondDocumentTakesTheFirstOnesKeywordsWithoutReadingThem) {
    auto first = shownDocument();
    const KeywordLanguage* firstWords = first->parts().assist->language();
    ASSERT_TRUE(QTest::qWaitFor([&] { return firstWords->isLoaded(); }, 10000));
    ASSERT_TRUE(firstWords->lists().keywords.contains(QStringLiteral("SELECT")));

    // the catalogue emptied: a second read would find nothing
    ResourceDb::open()->exec(QStringLiteral("DELETE FROM syntax"));
    auto second = shownDocument();
    const KeywordLanguage* secondWords = second->parts().assist->language();
    QCoreApplication::processEvents(); // no thread and no database between the two
    ASSERT_TRUE(secondWords->isLoaded());
    EXPECT_EQ(secondWords->lists().keywords, firstWords->lists().keywords);
    EXPECT_EQ(secondWords->spellingOf(QStringLiteral("select")), QStringLiteral("SELECT"));
    EXPECT_EQ(secondWords->vocabulary().functionHelp.size(), firstWords->vocabulary().functionHelp.size());
}
