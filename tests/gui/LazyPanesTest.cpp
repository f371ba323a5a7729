// A new document makes its result panes with the first run, not when it
// opens: before that it has no grid, text pane, plan view or find bar; after
// it the panes work as always, with their pop-up menus and the editor's font.
// The filter fields get their clear button once text is typed.
#include "document/PlanView.h"
#include "document/ResultFind.h"
#include "document/ResultGrid.h"
#include "document/ResultPanes.h"
#include "document/ResultTextView.h"
#include "editor/SqlEditor.h"
#include "store/HomeSeeding.h"
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
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5));
    QApplication::sendEvent(w, &event);
    return spy.isEmpty() ? -1 : int(spy.first().first().value<PopupMenu>());
}

} // namespace

TEST(LazyPanes, ResultPanesComeWithTheFirstRunAndKeepTheirMenusAndFont) {
    TempHome home;
    ScriptedDialogs dialogs;
    store::ensureSeeded();
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

TEST(LazyPanes, FilterFieldsGetTheirClearButtonWithTheFirstText) {
    TempHome home;
    ScriptedDialogs dialogs;
    store::ensureSeeded();
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
