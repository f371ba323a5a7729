// The result grid as a user works with it in the main window, by clicks and
// keys: header clicks sort numbers, text, dates and NUMERIC by value with
// NULL first; the filter bar narrows rows; Ctrl+F, F3 and Shift+F3 find in
// the pane that has the focus; several result sets each get a tab; NULL,
// empty text and binary values read apart in the grid and in copies.
#include "document/ResultGrid.h"

#include "db/Connection.h"
#include "document/GridFilterBar.h"
#include "document/ResultFind.h"
#include "document/ResultPanes.h"
#include "document/ResultSetTabs.h"
#include "document/ResultTextView.h"
#include "editor/SqlEditor.h"
#include "run/ResultModel.h"
#include "settings/Settings.h"
#include "support/DocumentRun.h"
#include "support/MainWindowFixture.h"
#include "support/TestServers.h"
#include "support/Typing.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class ResultGridTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        cs = QStringLiteral("Provider=SQLite;Data Source=") + home.file(QStringLiteral("cities.db"));
        auto c = db::Connection::open(cs, {15, true});
        c->exec(QStringLiteral("CREATE TABLE cities(name TEXT, people INTEGER, founded DATE, note TEXT, pic BLOB)"));
        c->exec(QStringLiteral("INSERT INTO cities VALUES ('Ghent', 262219, '1000-01-01', 'port', x'00FF10'),"
                               " ('antwerp', 530504, '0726-01-01', NULL, NULL),"
                               " ('Brussels', 1222637, NULL, '', x'000102030405060708090A0B0C0D0E0F10111213'),"
                               " ('Zürich', 9, '2020-02-29', 'x', NULL), (NULL, NULL, '1999-12-31', NULL, NULL)"));
    }
    void open(const QString& connection) {
        openWindow();
        window->resize(1280, 800);
        doc = window->activeDocument();
        doc->setConnection(connection);
    }
    void run(const QString& script) { runScript(doc, script, 10000); }
    ResultGrid* grid() const { return doc->parts().results->currentGrid(); }
    // What a column shows, top to bottom.
    QStringList column(int c) const {
        QStringList out;
        const ResultModel* m = grid()->resultModel();
        for (int r = 0; r < m->rowCount(); ++r) out << m->data(m->index(r, c), Qt::DisplayRole).toString();
        return out;
    }
    void clickHeader(int section) {
        QHeaderView* h = grid()->horizontalHeader();
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                          QPoint(h->sectionViewportPosition(section) + h->sectionSize(section) / 2, h->height() / 2));
    }
    void clickCell(int row, int col) {
        const QRect r = grid()->visualRect(grid()->model()->index(row, col));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, r.center());
    }
    // A key press (function keys with no text: QTest cannot spell them).
    void press(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods = {}) {
        QTest::sendKeyEvent(QTest::Click, w, key, QString(), mods);
    }

    QString cs;
    QueryDocument* doc = nullptr;
};

} // namespace

TEST_F(ResultGridTest, HeaderClicksSortByValueThenBackToTheFetchedOrder) {
    open(cs);
    run(QStringLiteral("SELECT name, people, founded FROM cities"));
    const QStringList fetched = column(1);
    EXPECT_EQ(fetched, (QStringList{"262219", "530504", "1222637", "9", "NULL"}));

    clickHeader(1);
    EXPECT_EQ(column(1), (QStringList{"NULL", "9", "262219", "530504", "1222637"})); // numbers, not text
    EXPECT_TRUE(grid()->horizontalHeader()->isSortIndicatorShown());
    EXPECT_EQ(grid()->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
    // the row number on the left stays with its row
    EXPECT_EQ(grid()->model()->headerData(0, Qt::Vertical).toInt(), 5);
    clickHeader(1);
    EXPECT_EQ(column(1), (QStringList{"1222637", "530504", "262219", "9", "NULL"}));
    EXPECT_EQ(grid()->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    clickHeader(1);
    EXPECT_EQ(column(1), fetched);
    EXPECT_FALSE(grid()->horizontalHeader()->isSortIndicatorShown());

    clickHeader(0); // the locale's order, not the bytes' (which put "antwerp" after "Zürich"'s Z)
    EXPECT_EQ(column(0), (QStringList{"NULL", "antwerp", "Brussels", "Ghent", "Zürich"}));
    clickHeader(2); // dates as dates: year 726 before year 1000
    EXPECT_EQ(column(2), (QStringList{"NULL", "0726-01-01", "1000-01-01", "1999-12-31", "2020-02-29"}));
}

TEST_F(ResultGridTest, NumericSortsExactlyByItsDigits) {
    QString pg;
    SQLQE_REQUIRE_SERVER(kPostgres, pg);
    open(pg);
    run(QStringLiteral("SELECT n FROM (VALUES (12345678901234567890.5::numeric), (12345678901234567890.25), "
                       "(-1), (NULL), (12345678901234567890.125)) v(n)"));
    clickHeader(0);
    EXPECT_EQ(column(0), (QStringList{"NULL", "-1", "12345678901234567890.125", "12345678901234567890.25",
                                      "12345678901234567890.5"})); // equal as doubles, apart as NUMERIC
}

TEST_F(ResultGridTest, FilterBarNarrowsTheRowsAndSaysHowMany) {
    open(cs);
    run(QStringLiteral("SELECT name, people, note FROM cities"));
    GridFilterBar* bar = doc->parts().results->resultSets()->filterBar(0);
    QTest::keyClicks(bar->quickFilter(), QStringLiteral("GH"));
    QTRY_COMPARE(grid()->model()->rowCount(), 1);
    EXPECT_EQ(column(0), QStringList{"Ghent"});
    EXPECT_EQ(bar->findChild<QLabel*>(QStringLiteral("filterCount"))->text(), QStringLiteral("1 of 5 rows"));
    EXPECT_EQ(doc->parts().results->resultSets()->tabText(0), QStringLiteral("Result 1 (1 of 5 rows)"));
    bar->quickFilter()->clear();

    QTest::mouseClick(bar->findChild<QToolButton*>(QStringLiteral("addCondition")), Qt::LeftButton);
    ASSERT_EQ(bar->conditions().size(), 1u);
    const auto condition = bar->conditions().front();
    condition.column->setCurrentIndex(1);
    condition.op->setCurrentIndex(condition.op->findText(QStringLiteral(">")));
    QTest::keyClicks(condition.value, QStringLiteral("500000"));
    QTRY_COMPARE(column(0), (QStringList{"antwerp", "Brussels"}));
    condition.column->setCurrentIndex(2);
    condition.op->setCurrentIndex(condition.op->findText(QStringLiteral("is null")));
    QTRY_COMPARE(column(0), (QStringList{"antwerp", "NULL"})); // NULL, not the empty text of Brussels
    clickHeader(0); // sorting keeps the filter
    EXPECT_EQ(column(0), (QStringList{"NULL", "antwerp"}));
}

TEST_F(ResultGridTest, FindKeysSearchThePaneWithTheFocus) {
    open(cs);
    run(QStringLiteral("SELECT name, note FROM cities"));
    clickCell(0, 0);
    ASSERT_TRUE(grid()->hasFocus());
    press(grid(), Qt::Key_F, Qt::ControlModifier);
    ResultFind* finder = doc->parts().results->finder();
    ASSERT_TRUE(finder->isVisible());
    EXPECT_FALSE(doc->editor()->findDialog() && doc->editor()->findDialog()->isVisible()); // not the script's
    QTest::keyClicks(finder->textBox(), QStringLiteral("R"));
    press(finder->textBox(), Qt::Key_Return);
    EXPECT_EQ(grid()->currentIndex(), grid()->model()->index(0, 1)); // "port", along the row first
    press(finder->textBox(), Qt::Key_F3);
    EXPECT_EQ(grid()->currentIndex(), grid()->model()->index(1, 0)); // "antwerp"
    press(finder->textBox(), Qt::Key_F3);
    EXPECT_EQ(grid()->currentIndex(), grid()->model()->index(2, 0)); // "Brussels"
    press(finder->textBox(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(grid()->currentIndex(), grid()->model()->index(1, 0));
    press(finder->textBox(), Qt::Key_Escape);
    EXPECT_FALSE(finder->isVisible());
    EXPECT_TRUE(grid()->hasFocus());

    // the messages pane
    doc->parts().results->setCurrentIndex(ResultPanes::MessagesTab);
    SqlEditor* messages = doc->parts().results->messagePane();
    messages->setFocus();
    press(messages, Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(finder->textBox(), QStringLiteral("affected"));
    press(finder->textBox(), Qt::Key_Return);
    EXPECT_EQ(messages->selectedText(), QStringLiteral("affected"));

    // the text results
    doc->setResultsInText(true);
    run(QStringLiteral("SELECT name FROM cities"));
    ResultTextView* text = doc->parts().results->textPane();
    text->setFocus();
    press(text, Qt::Key_F, Qt::ControlModifier);
    finder->textBox()->setText(QStringLiteral("zür")); // (QTest types ASCII only)
    press(finder->textBox(), Qt::Key_Return);
    EXPECT_EQ(text->selectedText(), QStringLiteral("Zür"));
    EXPECT_EQ(finder->findChild<QLabel*>(QStringLiteral("resultFindStatus"))->text(), QString());
    finder->textBox()->setText(QStringLiteral("Ghent is not here"));
    press(finder->textBox(), Qt::Key_Return);
    EXPECT_EQ(finder->findChild<QLabel*>(QStringLiteral("resultFindStatus"))->text(), QStringLiteral("Not found"));

    // the script keeps its own Find
    doc->editor()->setFocus();
    press(doc->editor(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(doc->editor()->findDialog());
    EXPECT_TRUE(doc->editor()->findDialog()->isVisible());
    doc->editor()->findDialog()->close();
}

TEST_F(ResultGridTest, EveryResultSetHasItsOwnGridTabAndPopup) {
    open(cs);
    run(QStringLiteral("SELECT name FROM cities; SELECT people FROM cities WHERE people > 500000"));
    ResultSetTabs* sets = doc->parts().results->resultSets();
    ASSERT_EQ(sets->setCount(), 2);
    EXPECT_EQ(sets->tabText(0), QStringLiteral("Result 1 (5 rows)"));
    EXPECT_EQ(sets->tabText(1), QStringLiteral("Result 2 (2 rows)"));
    EXPECT_TRUE(sets->tabBar()->isVisible());
    // the extended recordsets keep their text
    EXPECT_TRUE(doc->parts().results->isTabVisible(ResultPanes::ExtendedTab));
    EXPECT_TRUE(doc->parts().results->extendedPane()->text().contains(QStringLiteral("1222637")));

    // a right click on the grid of either set asks for the grid's pop-up
    QSignalSpy popups(doc, &QueryDocument::popupRequested);
    for (int set = 0; set < 2; ++set) {
        QTest::mouseClick(sets->tabBar(), Qt::LeftButton, {}, sets->tabBar()->tabRect(set).center());
        ASSERT_EQ(grid(), sets->grid(set));
        const QPoint at = grid()->visualRect(grid()->model()->index(0, 0)).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, grid()->viewport()->mapToGlobal(at));
        QApplication::sendEvent(grid()->viewport(), &event);
        ASSERT_EQ(popups.count(), set + 1);
        EXPECT_EQ(popups[set][0].value<PopupMenu>(), PopupMenu::Grid);
    }

    QTest::mouseClick(sets->tabBar(), Qt::LeftButton, {}, sets->tabBar()->tabRect(1).center());
    ASSERT_EQ(grid(), sets->grid(1));
    clickHeader(0);
    clickHeader(0);
    EXPECT_EQ(column(0), (QStringList{"1222637", "530504"}));
    clickCell(0, 0);
    QApplication::clipboard()->clear();
    window->action(QStringLiteral("mnuCopyAsJson"))->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("[\n{\"people\":1222637}\n]\n"));

    run(QStringLiteral("SELECT name FROM cities"));
    EXPECT_EQ(sets->setCount(), 1);
    EXPECT_FALSE(sets->tabBar()->isVisible()); // one result looks as it always did
}

TEST_F(ResultGridTest, NullEmptyTextAndBinaryReadApart) {
    ASSERT_TRUE(settings::write(settings::Key::NullMarker, QStringLiteral("(null)")));
    open(cs);
    // DISTINCT keeps the result read-only: a double click shows a value rather than editing it
    run(QStringLiteral("SELECT DISTINCT name, note, pic FROM cities"));
    EXPECT_EQ(column(1), (QStringList{"port", "(null)", "", "x", "(null)"}));
    const ResultModel* m = grid()->resultModel();
    EXPECT_TRUE(m->data(m->index(1, 1), ResultModel::IsNullRole).toBool());
    EXPECT_FALSE(m->data(m->index(2, 1), ResultModel::IsNullRole).toBool());
    EXPECT_EQ(column(2), (QStringList{"0x00FF10 (3 bytes)", "(null)",
                                      "0x000102030405060708090A0B0C0D0E0F… (20 bytes)", "(null)", "(null)"}));

    // copies: CSV writes NULL as nothing and the empty text as ""; TSV as today
    grid()->selectionModel()->select(QItemSelection(m->index(0, 1), m->index(2, 1)), QItemSelectionModel::ClearAndSelect);
    window->action(QStringLiteral("mnuCopyAsCsv"))->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("note\nport\n\n\"\"\n"));
    window->action(QStringLiteral("mnuCopyHeaders"))->trigger(); // without the column names
    window->action(QStringLiteral("mnuCopyAsMarkdown"))->trigger();
    EXPECT_FALSE(QApplication::clipboard()->text().contains(QStringLiteral("note")));
    dialogs.inputs = {QStringLiteral("towns")};
    window->action(QStringLiteral("mnuCopyHeaders"))->trigger();
    window->action(QStringLiteral("mnuCopyAsSql"))->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(),
              QStringLiteral("INSERT INTO towns (note) VALUES ('port');\nINSERT INTO towns (note) VALUES (NULL);\n"
                             "INSERT INTO towns (note) VALUES ('');\n"));
    // a double click shows the whole value
    const QRect cell = grid()->visualRect(m->index(2, 2));
    QTest::mousePress(grid()->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, cell.center());
    auto* viewer = window->findChild<QDialog*>(QStringLiteral("valueViewer"));
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->findChild<QPlainTextEdit*>()->toPlainText().startsWith(QStringLiteral("0x0001020304")));
    viewer->close();

    // a marker changed in Options shows at once in the grid already open
    ASSERT_TRUE(settings::write(settings::Key::NullMarker, QStringLiteral("<none>")));
    EXPECT_EQ(column(1), (QStringList{"port", "<none>", "", "x", "<none>"}));
}

TEST_F(ResultGridTest, AHeaderClickWhileRowsArriveSaysItWaitsThenSorts) {
    open(cs);
    replaceScript(doc->editor(), QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                                                "WHERE i < 2000000) SELECT (i * 7919) % 1000003 AS v FROM n"));
    doc->startExec();
    QTRY_VERIFY_WITH_TIMEOUT(grid()->resultModel()->rowCount() > 0, 10000);
    ASSERT_TRUE(doc->isRunning()) << "the run ended before the header was clicked; make the query longer";
    clickHeader(0);
    auto* count = doc->parts().results->resultSets()->filterBar(0)->findChild<QLabel*>(QStringLiteral("filterCount"));
    ASSERT_NE(count, nullptr);
    EXPECT_TRUE(count->text().endsWith(QStringLiteral("Sorted when all rows are in"))) << count->text().toStdString();
    QTRY_VERIFY_WITH_TIMEOUT(!doc->isRunning(), 60000);
    QTRY_VERIFY_WITH_TIMEOUT(!grid()->resultModel()->sorting(), 20000);
    EXPECT_FALSE(count->text().contains(QStringLiteral("Sorted"))) << count->text().toStdString();
    const ResultModel* m = grid()->resultModel();
    EXPECT_EQ(m->data(m->index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("0"))
        << "sorted ascending once all rows were in";
}

TEST_F(ResultGridTest, AFilterTypedWhileRowsArriveKeepsCountingThem) {
    open(cs);
    replaceScript(doc->editor(), QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                                                "WHERE i < 2000000) SELECT i, (i * 7919) % 100003 AS v FROM n"));
    doc->startExec();
    QTRY_VERIFY_WITH_TIMEOUT(grid()->resultModel()->rowCount() > 0, 10000);
    ASSERT_TRUE(doc->isRunning()) << "the run ended before the filter was typed; make the query longer";
    GridFilterBar* bar = doc->parts().results->resultSets()->filterBar(0);
    bar->quickFilter()->setText(QStringLiteral("99999"));
    bar->apply();
    QTRY_VERIFY_WITH_TIMEOUT(!doc->isRunning(), 60000);
    const ResultModel* m = grid()->resultModel();
    auto* count = bar->findChild<QLabel*>(QStringLiteral("filterCount"));
    EXPECT_EQ(count->text(), QStringLiteral("%1 of %2 rows").arg(m->rowCount()).arg(m->totalRows()));
    EXPECT_GT(m->totalRows(), 1000000);
}

TEST_F(ResultGridTest, FindMovesAsTheWordsAreTypedAndSaysWhenItContinuedFromTheOtherEnd) {
    open(cs);
    run(QStringLiteral("SELECT name, note FROM cities"));
    clickCell(0, 1); // "port"
    press(grid(), Qt::Key_F, Qt::ControlModifier);
    ResultFind* finder = doc->parts().results->finder();
    const auto at = [this](int r, int c) { return grid()->model()->index(r, c); };
    QTest::keyClicks(finder->textBox(), QStringLiteral("r"));
    QTRY_COMPARE(grid()->currentIndex(), at(0, 1)); // the cell the bar was opened on counts
    QTest::keyClicks(finder->textBox(), QStringLiteral("u"));
    QTRY_COMPARE(grid()->currentIndex(), at(2, 0)); // "Brussels"
    EXPECT_EQ(finder->statusText(), QString());
    press(finder->textBox(), Qt::Key_Backspace);
    QTRY_COMPARE(grid()->currentIndex(), at(0, 1)); // back where the search began
    press(finder->textBox(), Qt::Key_Return);
    EXPECT_EQ(grid()->currentIndex(), at(1, 0)); // "antwerp"
    press(finder->textBox(), Qt::Key_F3);
    press(finder->textBox(), Qt::Key_F3);
    EXPECT_EQ(grid()->currentIndex(), at(3, 0)); // "Zürich"
    EXPECT_EQ(finder->statusText(), QString());
    press(finder->textBox(), Qt::Key_F3);
    EXPECT_EQ(grid()->currentIndex(), at(0, 1));
    EXPECT_EQ(finder->statusText(), QStringLiteral("Continued from the top"));
    press(finder->textBox(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(grid()->currentIndex(), at(3, 0));
    EXPECT_EQ(finder->statusText(), QStringLiteral("Continued from the bottom"));
    QTest::keyClicks(finder->textBox(), QStringLiteral("q"));
    QTRY_COMPARE(finder->statusText(), QStringLiteral("Not found"));
    EXPECT_EQ(grid()->currentIndex(), at(3, 0)); // nothing found: the current cell stays

    // the text results, as typed
    doc->setResultsInText(true);
    run(QStringLiteral("SELECT name FROM cities"));
    ResultTextView* text = doc->parts().results->textPane();
    text->setFocus();
    press(text, Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(finder->textBox(), QStringLiteral("bru"));
    QTRY_COMPARE(text->selectedText(), QStringLiteral("Bru"));
}

TEST_F(ResultGridTest, AnOpenFindBarSearchesThePaneBroughtToTheFront) {
    open(cs);
    run(QStringLiteral("SELECT name, note FROM cities"));
    ResultPanes* panes = doc->parts().results;
    panes->setCurrentIndex(ResultPanes::MessagesTab);
    SqlEditor* messages = panes->messagePane();
    messages->setFocus();
    press(messages, Qt::Key_F, Qt::ControlModifier);
    ResultFind* finder = panes->finder();
    ASSERT_TRUE(finder->isVisible());
    // the user switches to the grid with the bar still open and searches there
    panes->setCurrentIndex(ResultPanes::ResultsTab);
    finder->textBox()->setFocus();
    finder->textBox()->setText(QStringLiteral("Brussels"));
    press(finder->textBox(), Qt::Key_Return);
    EXPECT_EQ(grid()->currentIndex(), grid()->model()->index(2, 0));
    EXPECT_EQ(finder->findChild<QLabel*>(QStringLiteral("resultFindStatus"))->text(), QString());
}
