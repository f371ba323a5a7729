// The script editor's commands on a real editor widget.
#include "editor/FindReplaceDialog.h"
#include "editor/SqlEditor.h"
#include "support/ScriptedDialogs.h"

#include <QFontDatabase>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {
class SqlEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        editor.resize(600, 400);
        editor.show();
        editor.setText(QStringLiteral("select Name from t\r\nwhere name = 'name'\r\nselect name2 from u\r\n"));
    }
    int caretLine() {
        int l = 0, i = 0;
        editor.getCursorPosition(&l, &i);
        return l;
    }
    ScriptedDialogs dialogs;
    SqlEditor editor;
};
} // namespace

TEST_F(SqlEditorTest, FindHonoursCaseWholeWordAndWrap) {
    editor.executeCmd(SqlEditor::Find);
    FindReplaceDialog* d = editor.findDialog();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->isVisible());
    d->setFindText(QStringLiteral("name"));
    d->setMatchCase(true);
    d->setWholeWord(true);
    editor.setCursorPosition(0, 0);
    ASSERT_TRUE(d->findNext());
    EXPECT_EQ(editor.selectionRange().startLine, 1); // "Name" on line 0 differs in case
    ASSERT_TRUE(d->findNext());                      // the quoted 'name'
    EXPECT_EQ(editor.selectionRange().startLine, 1);
    EXPECT_FALSE(d->findNext() && editor.selectionRange().startLine == 2); // name2 is not a whole word
    d->setWrap(false);
    d->setWholeWord(false);
    d->setFindText(QStringLiteral("nothing here"));
    EXPECT_FALSE(d->findNext());
    EXPECT_TRUE(d->status().contains(QStringLiteral("not found")));
}

TEST_F(SqlEditorTest, ReplaceAndReplaceAll) {
    editor.executeCmd(SqlEditor::Replace);
    FindReplaceDialog* d = editor.findDialog();
    d->setFindText(QStringLiteral("name"));
    d->setReplaceText(QStringLiteral("title"));
    d->setMatchCase(false);
    d->setWholeWord(true);
    EXPECT_EQ(d->replaceAll(), 3); // Name, name, 'name' — not name2
    EXPECT_EQ(editor.text(), QStringLiteral("select title from t\r\nwhere title = 'title'\r\nselect name2 from u\r\n"));
    editor.undo(); // one undo step for the whole replace
    EXPECT_TRUE(editor.text().startsWith(QStringLiteral("select Name")));
    editor.setCursorPosition(0, 0);
    d->setMatchCase(true);
    ASSERT_TRUE(d->findNext());
    d->replaceOne();
    EXPECT_EQ(editor.text(), QStringLiteral("select Name from t\r\nwhere title = 'name'\r\nselect name2 from u\r\n"));
}

TEST_F(SqlEditorTest, GoToLineUsesTheDialogAndCancelStays) {
    editor.setCursorPosition(0, 0);
    dialogs.numbers = {3};
    editor.executeCmd(SqlEditor::GoToLine, true);
    EXPECT_EQ(caretLine(), 2);
    editor.executeCmd(SqlEditor::GoToLine, true); // no answer: cancelled
    EXPECT_EQ(caretLine(), 2);
}

TEST_F(SqlEditorTest, BookmarksToggleJumpBothWaysAndClear) {
    for (int line : {0, 2}) {
        editor.setCursorPosition(line, 0);
        editor.executeCmd(SqlEditor::ToggleBookmark);
    }
    EXPECT_EQ(editor.bookmarkCount(), 2);
    editor.setCursorPosition(0, 0);
    editor.executeCmd(SqlEditor::NextBookmark);
    EXPECT_EQ(caretLine(), 2);
    editor.executeCmd(SqlEditor::NextBookmark); // wraps round
    EXPECT_EQ(caretLine(), 0);
    editor.executeCmd(SqlEditor::PreviousBookmark);
    EXPECT_EQ(caretLine(), 2);
    editor.executeCmd(SqlEditor::ToggleBookmark);
    EXPECT_EQ(editor.bookmarkCount(), 1);
    editor.executeCmd(SqlEditor::ClearBookmarks);
    EXPECT_EQ(editor.bookmarkCount(), 0);
}

TEST_F(SqlEditorTest, AltXRunsWhileXTypesAndAppKeysFireCommands) {
    QSignalSpy run(&editor, &SqlEditor::executeRequested);
    QList<int> commands;
    bool available = true;
    editor.setAppCommandHandler([&](SqlEditor::AppCommand c) {
        commands << int(c);
        return available;
    });
    editor.setText(QString());
    QTest::keyClick(&editor, Qt::Key_X, Qt::AltModifier);
    EXPECT_EQ(run.count(), 1);
    EXPECT_TRUE(editor.text().isEmpty());
    QTest::keyClicks(&editor, QStringLiteral("xX"));
    EXPECT_EQ(editor.text(), QStringLiteral("xX"));
    EXPECT_EQ(run.count(), 1);
    QTest::keyClick(&editor, Qt::Key_Space, Qt::ControlModifier);
    QTest::keyClick(&editor, Qt::Key_Space, Qt::ShiftModifier);
    QTest::keyClick(&editor, Qt::Key_Escape);
    EXPECT_EQ(commands, (QList<int>{1000, 1001, 1002}));
    EXPECT_EQ(editor.text(), QStringLiteral("xX")); // taken keys type nothing
    EXPECT_TRUE(SqlEditor::appCommandKey(SqlEditor::TestCommand).isEmpty());

    // a key whose feature is not available types what it types
    available = false;
    QTest::keyClick(&editor, Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_EQ(editor.text(), QStringLiteral("xX "));
    editor.setAppCommandHandler(nullptr);
    QTest::keyClick(&editor, Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_EQ(editor.text(), QStringLiteral("xX  "));
}

TEST_F(SqlEditorTest, FontFallsBackAndCanQueriesFollowTheState) {
    editor.setEditorFont(QStringLiteral("No Such Font Family 123"), QString());
    EXPECT_EQ(editor.editorFont().family(), QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    EXPECT_DOUBLE_EQ(editor.editorFont().pointSizeF(), 10.0);
    editor.setEditorFont(QString(), QStringLiteral("13"));
    EXPECT_DOUBLE_EQ(editor.editorFont().pointSizeF(), 13.0);
    editor.setSelection(0, 0, 0, 0);
    EXPECT_FALSE(editor.canCopy());
    editor.setSelection(0, 0, 0, 6);
    EXPECT_TRUE(editor.canCut());
    editor.setReadOnly(true);
    EXPECT_FALSE(editor.canCut());
    EXPECT_FALSE(editor.canPaste());
}

TEST_F(SqlEditorTest, InsertColumnLeavesTheHighlightSelectedAfterAnyText) {
    editor.setText(QStringLiteral("SELECT * FROM tä "));
    editor.setCursorPosition(0, 17);
    editor.insertColumn(QStringLiteral("WHERE "), QStringLiteral("condition"), QStringLiteral(" AND x"));
    EXPECT_EQ(editor.text(), QStringLiteral("SELECT * FROM tä WHERE condition AND x"));
    EXPECT_EQ(editor.selectedText(), QStringLiteral("condition"));
    // a selection is replaced, even one made backwards
    editor.setSelection(0, 32, 0, 17); // "WHERE condition", backwards
    editor.insertColumn(QString(), QStringLiteral("col"), QString());
    EXPECT_EQ(editor.text(), QStringLiteral("SELECT * FROM tä col AND x"));
    EXPECT_EQ(editor.selectedText(), QStringLiteral("col"));
}
