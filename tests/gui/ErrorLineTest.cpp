// A failed run marks the error's line in the script, and a double-click on
// the error in the message pane takes the caret there: for the whole script,
// a selection that begins mid-script and the statement at the caret, also
// after lines were added above the error.
#include "document/ErrorLineMarker.h"
#include "document/ResultPanes.h"
#include "store/HomeSeeding.h"
#include "support/DocumentRun.h"
#include "support/ScriptedDialogs.h"
#include "support/TempHome.h"

#include <QCoreApplication>

namespace {

class ErrorLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        store::ensureSeeded();
        doc = shownDocument(store::demoConnectionString());
    }
    void TearDown() override { doc->setChanged(false); }

    SqlEditor* editor() const { return doc->editor(); }
    SqlEditor* messages() const { return doc->parts().results->messagePane(); }
    void run() {
        doc->startExec();
        waitForRunEnd(doc.get());
    }
    // The lines that carry the error mark.
    std::vector<int> markedLines() const {
        std::vector<int> lines;
        for (int l = editor()->markerFindNext(0, 1 << ErrorLineMarker::kMarker); l >= 0;
             l = editor()->markerFindNext(l + 1, 1 << ErrorLineMarker::kMarker))
            lines.push_back(l);
        return lines;
    }
    // A double-click on the message pane's last line, as Scintilla reports it.
    void doubleClickLastMessageLine() {
        const int line = messages()->lines() - 1;
        emit messages()->SCN_DOUBLECLICK(int(messages()->positionFromLineIndex(line, 1)), line, 0);
    }
    std::pair<int, int> caret() const {
        int line = 0, index = 0;
        editor()->getCursorPosition(&line, &index);
        return {line, index};
    }

    TempHome home;
    ScriptedDialogs dialogs;
    std::unique_ptr<QueryDocument> doc;
};

} // namespace

TEST_F(ErrorLineTest, TheErrorLineIsMarkedAndADoubleClickOnTheMessageTakesTheCaretThere) {
    // a double-click elsewhere than on the error does nothing
    replaceScript(editor(), QStringLiteral("SELECT 1 AS a;\r\nSELECT 2 AS b;"));
    run();
    editor()->setCursorPosition(1, 3);
    doubleClickLastMessageLine();
    EXPECT_EQ(caret(), std::make_pair(1, 3));

    replaceScript(editor(), QStringLiteral("SELECT 1 AS a;\r\n"
                                           "SELECT 2 AS b;\r\n"
                                           "SELECT name,\r\n"
                                           "  \u00e9t\u00e9 + FROM products;\r\n"));
    editor()->setCursorPosition(0, 0);
    run();
    EXPECT_TRUE(messages()->text().endsWith(QLatin1String("\r\nLine 4"))) << messages()->text().toStdString();
    EXPECT_EQ(markedLines(), std::vector<int>{3});

    // lines typed above the error after the run: the mark and the jump follow
    editor()->setCursorPosition(0, 0);
    editor()->insert(QStringLiteral("-- two lines\r\n-- more\r\n"));
    EXPECT_EQ(markedLines(), std::vector<int>{5});
    doubleClickLastMessageLine();
    EXPECT_EQ(caret(), std::make_pair(5, 8)); // at "FROM", after the two accented letters

    // editing the marked line takes the mark away; the next run clears it too
    editor()->setCursorPosition(5, 2);
    editor()->insert(QStringLiteral("x"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(markedLines().empty());
    replaceScript(editor(), QStringLiteral("SELECT 1 +;"));
    run();
    EXPECT_EQ(markedLines(), std::vector<int>{0});
    replaceScript(editor(), QStringLiteral("SELECT 1 AS fine;"));
    run();
    EXPECT_TRUE(markedLines().empty());
}

TEST_F(ErrorLineTest, ARunOfASelectionThatBeginsMidScriptCountsTheEditorsLines) {
    replaceScript(editor(), QStringLiteral("SELECT 1 AS a;\n"
                                           "\n"
                                           "SELECT 2 AS b; SELECT 3 AS c;\n"
                                           "SELECT 4 +;\n"));
    // from "SELECT 3" on the third line to the end
    editor()->setSelection(2, 15, 3, 11);
    run();
    EXPECT_TRUE(messages()->text().endsWith(QLatin1String("\r\nLine 4"))) << messages()->text().toStdString();
    EXPECT_EQ(markedLines(), std::vector<int>{3});
    doubleClickLastMessageLine();
    EXPECT_EQ(caret(), std::make_pair(3, 10));

    // an error on the selection's first line is shifted by its column
    editor()->setSelection(2, 15, 2, 29);
    editor()->replaceSelectedText(QStringLiteral("SELECT 3 +;"));
    editor()->setSelection(2, 15, 2, 26);
    run();
    EXPECT_EQ(markedLines(), std::vector<int>{2});
    doubleClickLastMessageLine();
    EXPECT_EQ(caret(), std::make_pair(2, 25));
}

TEST_F(ErrorLineTest, TheStatementAtTheCaretCountsFromWhereItBegins) {
    replaceScript(editor(), QStringLiteral("SELECT 1 AS a;\n\nSELECT 2 AS b; SELECT\n  3 AS x FRM t;\n"));
    editor()->setCursorPosition(3, 2);
    QTest::keyClick(editor(), Qt::Key_Return, Qt::ControlModifier);
    waitForRunEnd(doc.get());
    EXPECT_EQ(markedLines(), std::vector<int>{3});
    doubleClickLastMessageLine();
    EXPECT_EQ(caret(), std::make_pair(3, 9));
}

TEST_F(ErrorLineTest, AMarkOnTheFirstLineGoesWhenTheScriptIsReplacedOrRunAgain) {
    replaceScript(editor(), QStringLiteral("SELECT nosuch FROM products;"));
    run();
    ASSERT_EQ(markedLines(), std::vector<int>{0});
    // the whole script typed over, then run: no mark is left
    editor()->setFocus();
    editor()->selectAll();
    QTest::keyClick(editor(), Qt::Key_Delete);
    QTest::keyClicks(editor(), QStringLiteral("SELECT 1;"));
    QCoreApplication::processEvents(); // the mark goes once the change has been reported
    EXPECT_TRUE(markedLines().empty());
    run();
    EXPECT_TRUE(markedLines().empty());

    // typing on the marked first line takes the mark away too
    replaceScript(editor(), QStringLiteral("SELECT nosuch FROM products;"));
    run();
    ASSERT_EQ(markedLines(), std::vector<int>{0});
    editor()->setCursorPosition(0, 6);
    QTest::keyClicks(editor(), QStringLiteral(" 1,"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(markedLines().empty());
    // and a run after a mark whose handle was lost still clears the margin
    replaceScript(editor(), QStringLiteral("SELECT nosuch FROM products;"));
    run();
    replaceScript(editor(), QStringLiteral("SELECT 2;"));
    run();
    EXPECT_TRUE(markedLines().empty());
}
