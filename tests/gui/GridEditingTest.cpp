// Editing a result in the grid as a user does it in the main window: the bar
// saying why a result is read-only, F2 and typing, Ctrl+S, Ctrl+Z/Y, Ctrl+V of
// a block past the last row, the pop-up's entries, Discard, a value from and
// to a file, and the question on closing or running again with unsaved edits;
// checked by what the grid shows and what the file holds after the save.
#include "common/Theme.h"
#include "document/ResultEditing.h"
#include "support/Files.h"
#include "support/GridEditingFixture.h"

#include <QAction>
#include <QClipboard>
#include <QToolButton>

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
    EXPECT_EQ(grid()->model()->index(1, 1).data(Qt::BackgroundRole).value<QColor>(),
              themeColour(Theme::Role::EditedCellPaper));
    EXPECT_EQ(bar()->text(), QStringLiteral("1 changed — not saved yet"));
    EXPECT_EQ(nameInFile(2), QStringLiteral("Bob")); // nothing reached the file yet

    dialogs.choices = {0}; // Save
    grid()->setFocus();
    QTest::keyClick(grid(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].contains(QStringLiteral(
        "UPDATE people SET name = 'Bob''s 100%' WHERE id = 2 AND name IS 'Bob' RETURNING id, name, born;")))
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
    QTest::keyClick(grid(), Qt::Key_Delete); // Bob marked for deletion
    QTest::keyClick(grid(), Qt::Key_Insert); // a new row, current
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
    EXPECT_TRUE(dialogs.messages[0].startsWith(QStringLiteral("row id=3: ")))
        << dialogs.messages[0].toStdString();
    EXPECT_TRUE(dialogs.messages[0].endsWith(QStringLiteral("nothing was saved")));
    EXPECT_EQ(grid()->currentIndex().row(), 2);
    EXPECT_EQ(shown(2, 0), QStringLiteral("1"));
    EXPECT_TRUE(doc->parts().editing->hasChanges());
}

namespace {

class GridEditingCommandsTest : public GridEditingTest {
protected:
    void pop(const char* entry) {
        QAction* a = window->action(QString::fromLatin1(entry));
        ASSERT_NE(a, nullptr) << entry;
        a->trigger();
    }
    // A click on the cell: it alone is selected.
    void select(int row, int column) {
        grid()->setFocus();
        grid()->selectionModel()->setCurrentIndex(grid()->model()->index(row, column),
                                                  QItemSelectionModel::ClearAndSelect);
    }
    qint64 countInFile(const QString& where) const {
        return db::Connection::open(cs)
            ->query(QStringLiteral("SELECT COUNT(*) FROM people WHERE ") + where)
            .rows[0][0]
            ->toLongLong();
    }
};

} // namespace

TEST_F(GridEditingCommandsTest, APastedBlockFillsTheRowsItCoversAndAddsRowsPastTheLastOne) {
    run(QStringLiteral("SELECT * FROM people ORDER BY id"));
    QApplication::clipboard()->setText(
        QStringLiteral("Bea\t2001-02-03\r\nCat\t\r\nDot 😀\t1999-09-09\r\nEve\t2000-01-01\r\n"));
    select(1, 1);
    QTest::keyClick(grid(), Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(grid()->model()->rowCount(), 5);
    EXPECT_EQ(shown(0, 1), QStringLiteral("Ann")); // above the block: untouched
    EXPECT_EQ(shown(1, 1), QStringLiteral("Bea"));
    EXPECT_EQ(shown(1, 2), QStringLiteral("2001-02-03"));
    EXPECT_EQ(shown(2, 1), QStringLiteral("Cat"));
    EXPECT_EQ(shown(3, 1), QStringLiteral("Dot 😀"));
    EXPECT_EQ(shown(4, 2), QStringLiteral("2000-01-01"));
    EXPECT_EQ(grid()->model()->headerData(4, Qt::Vertical).toString(), QStringLiteral("*2"));
    EXPECT_EQ(bar()->text(), QStringLiteral("2 changed, 2 inserted — not saved yet"));

    // one undo step takes the whole paste back, rows added and all
    QTest::keyClick(grid(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(grid()->model()->rowCount(), 3);
    EXPECT_EQ(shown(1, 1), QStringLiteral("Bob"));
    EXPECT_FALSE(doc->parts().editing->hasChanges());
    QTest::keyClick(grid(), Qt::Key_Y, Qt::ControlModifier);
    ASSERT_EQ(grid()->model()->rowCount(), 5);

    dialogs.choices = {0};
    QTest::keyClick(grid(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(nameInFile(2), QStringLiteral("Bea"));
    EXPECT_EQ(nameInFile(3), QStringLiteral("Cat"));
    EXPECT_EQ(nameInFile(4), QStringLiteral("Dot 😀"));
    EXPECT_EQ(nameInFile(5), QStringLiteral("Eve"));
    EXPECT_EQ(countInFile(QStringLiteral("id = 3 AND born = ''")), 1); // an empty cell pastes empty text
    EXPECT_EQ(shown(4, 0), QStringLiteral("5"));                       // the key the file gave the added row
}

TEST_F(GridEditingCommandsTest, APasteAtTheLastRowOnAReadOnlyGridChangesNothing) {
    run(QStringLiteral("SELECT p.name, q.kind FROM people p JOIN pets q ON q.owner = p.id"));
    QApplication::clipboard()->setText(QStringLiteral("x\ty\nz\tw\n"));
    select(0, 0);
    QTest::keyClick(grid(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(grid()->model()->rowCount(), 1);
    EXPECT_EQ(shown(0, 0), QStringLiteral("Ann"));
}

TEST_F(GridEditingCommandsTest, ThePopUpsEntriesSetNullInsertDuplicateDeleteDiscardAndSave) {
    run(QStringLiteral("SELECT * FROM people ORDER BY id"));
    select(0, 1);
    pop("mnuGridSetNull");
    select(2, 0);
    pop("mnuGridDeleteRows");
    EXPECT_TRUE(grid()->model()->index(2, 1).data(Qt::FontRole).value<QFont>().strikeOut());
    pop("mnuGridInsertRow");
    ASSERT_EQ(grid()->model()->rowCount(), 4);
    EXPECT_EQ(grid()->currentIndex().row(), 3);
    EXPECT_EQ(bar()->text(), QStringLiteral("1 changed, 1 inserted, 1 deleted — not saved yet"));
    pop("mnuGridDiscardChanges");
    EXPECT_EQ(grid()->model()->rowCount(), 3);
    EXPECT_EQ(shown(0, 1), QStringLiteral("Ann"));
    EXPECT_FALSE(grid()->model()->index(2, 1).data(Qt::FontRole).value<QFont>().strikeOut());

    // a duplicate takes every cell but the key; the file gives it one
    select(0, 1);
    pop("mnuGridDuplicateRow");
    ASSERT_EQ(grid()->model()->rowCount(), 4);
    EXPECT_EQ(grid()->currentIndex().row(), 3);
    EXPECT_EQ(shown(3, 1), QStringLiteral("Ann"));
    EXPECT_EQ(shown(3, 2), QStringLiteral("1990-01-01"));
    select(1, 1);
    pop("mnuGridSetNull");
    dialogs.choices = {0};
    pop("mnuGridSaveChanges");
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(countInFile(QStringLiteral("name = 'Ann' AND born = '1990-01-01'")), 2);
    EXPECT_EQ(nameInFile(2), QStringLiteral("<NULL>"));
    EXPECT_EQ(shown(3, 0), QStringLiteral("4"));
    EXPECT_FALSE(doc->parts().editing->hasChanges());
}

TEST_F(GridEditingCommandsTest, ABlobCellTakesAFilesBytesAndGivesThemBack) {
    const QByteArray bytes("\x00\xff'\n\r\x7f", 6);
    db::Connection::open(cs)->exec(QStringLiteral("CREATE TABLE files(id INTEGER PRIMARY KEY, data BLOB)"));
    db::Connection::open(cs)->exec(QStringLiteral("INSERT INTO files VALUES (1, NULL), (2, x'41')"));
    const QString in = home.file(QStringLiteral("in.bin")), out = home.file(QStringLiteral("out.bin"));
    writeFile(in, bytes);
    run(QStringLiteral("SELECT * FROM files ORDER BY id"));
    select(0, 1);
    dialogs.fileNames = {in};
    pop("mnuGridLoadValue");
    EXPECT_EQ(dialogs.fileDialogs.value(0), QStringLiteral("Load Value from File"));
    EXPECT_TRUE(shown(0, 1).startsWith(QStringLiteral("0x00FF270A0D7F"))) << shown(0, 1).toStdString();
    dialogs.choices = {0};
    pop("mnuGridSaveChanges");
    const db::Table saved =
        db::Connection::open(cs)->query(QStringLiteral("SELECT hex(data) FROM files WHERE id = 1"));
    EXPECT_EQ(saved.rows[0][0], QStringLiteral("00FF270A0D7F"));

    // "to file" works on a read-only result too, and gives the bytes as they are
    run(QStringLiteral("SELECT f.data, p.name FROM files f JOIN people p ON p.id = f.id"));
    select(0, 0);
    dialogs.fileNames = {out};
    pop("mnuGridSaveValue");
    EXPECT_EQ(readFile(out), bytes);
}

TEST_F(GridEditingCommandsTest, AResultWithoutItsKeyIsEditedThroughTheRowIdItNeverShows) {
    run(QStringLiteral("SELECT name, born FROM people ORDER BY name DESC"));
    EXPECT_TRUE(bar()->text().startsWith(QStringLiteral("Editable"))) << bar()->text().toStdString();
    ASSERT_EQ(grid()->model()->columnCount(), 2);
    EXPECT_EQ(grid()->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("born"));
    EXPECT_EQ(shown(0, 0), QStringLiteral("Cy"));
    typeInto(0, 0, QStringLiteral("Cyrus"));
    select(2, 0);
    pop("mnuGridDeleteRows");
    dialogs.choices = {0};
    QTest::keyClick(grid(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].contains(QStringLiteral("WHERE rowid = 3 AND name IS 'Cy'")))
        << dialogs.questions[0].toStdString();
    EXPECT_EQ(nameInFile(3), QStringLiteral("Cyrus"));
    EXPECT_EQ(nameInFile(1), QStringLiteral("<gone>"));
    EXPECT_EQ(shown(0, 0), QStringLiteral("Cyrus"));
}
