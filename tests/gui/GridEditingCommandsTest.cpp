// The grid's editing commands as a user reaches them: Ctrl+V of a block
// within the rows and past the last one (rows added, one undo step), and
// the pop-up's entries (Set NULL, Insert Row, Duplicate Row, Delete Rows,
// Discard Changes, Save changes, a value from and to a file), checked by
// what the grid shows and what the file holds after the save.
#include "editing/EditBar.h"
#include "document/ResultEditing.h"
#include "support/Files.h"
#include "support/GridEditingFixture.h"
#include "shell/MainWindow.h"

#include <QAction>
#include <QClipboard>
#include <QFile>

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
        grid()->selectionModel()->setCurrentIndex(grid()->model()->index(row, column), QItemSelectionModel::ClearAndSelect);
    }
    qint64 countInFile(const QString& where) const {
        return db::Connection::open(cs)->query(QStringLiteral("SELECT COUNT(*) FROM people WHERE ") + where).rows[0][0]->toLongLong();
    }
};

} // namespace

TEST_F(GridEditingCommandsTest, APastedBlockFillsTheRowsItCoversAndAddsRowsPastTheLastOne) {
    run(QStringLiteral("SELECT * FROM people ORDER BY id"));
    QApplication::clipboard()->setText(QStringLiteral("Bea\t2001-02-03\r\nCat\t\r\nDot 😀\t1999-09-09\r\nEve\t2000-01-01\r\n"));
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
    EXPECT_EQ(shown(4, 0), QStringLiteral("5")); // the key the file gave the added row
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
    const db::Table saved = db::Connection::open(cs)->query(QStringLiteral("SELECT hex(data) FROM files WHERE id = 1"));
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
    EXPECT_TRUE(dialogs.questions[0].contains(QStringLiteral("WHERE rowid = 3 AND name IS 'Cy'"))) << dialogs.questions[0].toStdString();
    EXPECT_EQ(nameInFile(3), QStringLiteral("Cyrus"));
    EXPECT_EQ(nameInFile(1), QStringLiteral("<gone>"));
    EXPECT_EQ(shown(0, 0), QStringLiteral("Cyrus"));
}
