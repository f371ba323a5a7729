// Editing a result in the grid as a user does it in the main window: the
// bar says why a result is read-only; F2 or a double-click edits a cell,
// which shows as edited; Ctrl+S shows the statements and saves them; Ctrl+Z
// takes an edit back; Discard restores the values read; closing the window
// or running again with unsaved edits asks first.
#include "common/Theme.h"
#include "document/ResultEditing.h"
#include "editing/EditBar.h"
#include "support/GridEditingFixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

TEST_F(GridEditingTest, TheBarSaysWhyAResultIsReadOnly) {
    run(QStringLiteral("SELECT p.name, q.kind FROM people p JOIN pets q ON q.owner = p.id"));
    ASSERT_NE(bar(), nullptr);
    EXPECT_TRUE(bar()->isVisible());
    EXPECT_EQ(bar()->text(), QStringLiteral("read-only: joins two tables"));
    run(QStringLiteral("SELECT name FROM people GROUP BY name"));
    EXPECT_EQ(bar()->text(), QStringLiteral("read-only: no primary key in the result"));
    run(QStringLiteral("SELECT count(*) AS n FROM people"));
    EXPECT_EQ(bar()->text(), QStringLiteral("read-only: column \"n\" is computed, not read from a table"));
    // F2 on a read-only grid opens no editor
    grid()->setFocus();
    grid()->setCurrentIndex(grid()->model()->index(0, 0));
    QTest::keyClick(grid(), Qt::Key_F2);
    EXPECT_EQ(qobject_cast<QLineEdit*>(QApplication::focusWidget()), nullptr);

    run(QStringLiteral("SELECT * FROM people"));
    EXPECT_TRUE(bar()->text().startsWith(QStringLiteral("Editable")));
    EXPECT_TRUE(bar()->findChild<QToolButton*>(QStringLiteral("saveEdits"))->isVisible());
}

TEST_F(GridEditingTest, AnEditIsShownReviewedAndSavedWithCtrlS) {
    run(QStringLiteral("SELECT * FROM people ORDER BY id"));
    typeInto(1, 1, QStringLiteral("Bob's 100%"));
    EXPECT_EQ(shown(1, 1), QStringLiteral("Bob's 100%"));
    EXPECT_EQ(grid()->model()->index(1, 1).data(Qt::BackgroundRole).value<QColor>(), themeColour(Theme::Role::EditedCellPaper));
    EXPECT_EQ(bar()->text(), QStringLiteral("1 changed — not saved yet"));
    EXPECT_EQ(nameInFile(2), QStringLiteral("Bob")); // nothing reached the file yet

    dialogs.choices = {0}; // Save
    grid()->setFocus();
    QTest::keyClick(grid(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].contains(
        QStringLiteral("UPDATE people SET name = 'Bob''s 100%' WHERE id = 2 AND name IS 'Bob' RETURNING id, name, born;")))
        << dialogs.questions[0].toStdString();
    EXPECT_EQ(nameInFile(2), QStringLiteral("Bob's 100%"));
    EXPECT_EQ(shown(1, 1), QStringLiteral("Bob's 100%"));
    EXPECT_FALSE(grid()->model()->index(1, 1).data(Qt::BackgroundRole).isValid());
    EXPECT_TRUE(bar()->text().startsWith(QStringLiteral("Editable")));
}

TEST_F(GridEditingTest, InsertNullAndDeleteByKeysThenSaveFromTheBar) {
    run(QStringLiteral("SELECT * FROM people ORDER BY id"));
    grid()->setFocus();
    grid()->setCurrentIndex(grid()->model()->index(0, 1));
    QTest::keyClick(grid(), Qt::Key_0, Qt::ControlModifier); // Ann's name to NULL
    grid()->setCurrentIndex(grid()->model()->index(1, 0));
    QTest::keyClick(grid(), Qt::Key_Delete);                  // Bob marked for deletion
    QTest::keyClick(grid(), Qt::Key_Insert);                  // a new row, current
    ASSERT_EQ(grid()->model()->rowCount(), 4);
    EXPECT_EQ(grid()->currentIndex().row(), 3);
    typeInto(3, 1, QStringLiteral("Dee"));
    EXPECT_TRUE(grid()->model()->index(1, 1).data(Qt::FontRole).value<QFont>().strikeOut());
    EXPECT_EQ(bar()->text(), QStringLiteral("1 changed, 1 inserted, 1 deleted — not saved yet"));

    dialogs.choices = {0};
    bar()->findChild<QToolButton*>(QStringLiteral("saveEdits"))->click();
    EXPECT_EQ(nameInFile(1), QStringLiteral("<NULL>"));
    EXPECT_EQ(nameInFile(2), QStringLiteral("<gone>"));
    EXPECT_EQ(nameInFile(4), QStringLiteral("Dee"));
    EXPECT_EQ(shown(3, 0), QStringLiteral("4")); // the key the file gave the new row
}

TEST_F(GridEditingTest, UndoTakesAnEditBackAndDiscardRestoresTheValuesRead) {
    run(QStringLiteral("SELECT * FROM people ORDER BY id"));
    typeInto(0, 1, QStringLiteral("Anna"));
    typeInto(2, 1, QStringLiteral("Cyd"));
    QTest::keyClick(grid(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(shown(2, 1), QStringLiteral("Cy"));
    EXPECT_EQ(shown(0, 1), QStringLiteral("Anna"));
    QTest::keyClick(grid(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(shown(2, 1), QStringLiteral("Cyd"));

    bar()->findChild<QToolButton*>(QStringLiteral("discardEdits"))->click();
    EXPECT_EQ(shown(0, 1), QStringLiteral("Ann"));
    EXPECT_EQ(shown(2, 1), QStringLiteral("Cy"));
    EXPECT_FALSE(doc->parts().editing->hasChanges());
    EXPECT_TRUE(dialogs.questions.isEmpty());
}

TEST_F(GridEditingTest, ClosingOrRunningAgainWithUnsavedEditsAsksFirst) {
    run(QStringLiteral("SELECT * FROM people ORDER BY id"));
    typeInto(0, 1, QStringLiteral("Anna"));
    doc->setChanged(false);
    EXPECT_TRUE(doc->asksOnClose());

    dialogs.choices = {2}; // Cancel: the window stays, the edit too
    EXPECT_FALSE(doc->confirmWindowClose());
    EXPECT_TRUE(dialogs.questions.last().contains(QStringLiteral("1 changed")));
    EXPECT_EQ(shown(0, 1), QStringLiteral("Anna"));

    dialogs.choices = {2}; // a new run is not started either
    replaceScript(doc->editor(), QStringLiteral("SELECT 42"));
    doc->startExec();
    EXPECT_FALSE(doc->isRunning());
    EXPECT_EQ(shown(0, 1), QStringLiteral("Anna"));

    dialogs.choices = {0}; // Save, then close
    doc->setChanged(false);
    EXPECT_TRUE(doc->confirmWindowClose());
    EXPECT_EQ(nameInFile(1), QStringLiteral("Anna"));
    EXPECT_EQ(dialogs.unexpected, 0);
}

TEST_F(GridEditingTest, AFailedSaveShowsTheErrorNamesTheRowAndKeepsTheEdits) {
    run(QStringLiteral("SELECT * FROM people ORDER BY id"));
    typeInto(2, 0, QStringLiteral("1")); // Cy's key taken by Ann
    dialogs.choices = {0};
    grid()->setFocus();
    QTest::keyClick(grid(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith(QStringLiteral("row id=3: "))) << dialogs.messages[0].toStdString();
    EXPECT_TRUE(dialogs.messages[0].endsWith(QStringLiteral("nothing was saved")));
    EXPECT_EQ(grid()->currentIndex().row(), 2);
    EXPECT_EQ(shown(2, 0), QStringLiteral("1"));
    EXPECT_TRUE(doc->parts().editing->hasChanges());
}
