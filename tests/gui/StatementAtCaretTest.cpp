// Running the statement under the caret against the demo database (the
// statement flashes, only it runs, the selection stays), and the question
// before an UPDATE or DELETE without WHERE, for Ctrl+Enter and F5 alike.
#include "document/StatementAtCaret.h"

#include "common/DocumentContext.h"
#include "db/Connection.h"
#include "db/Table.h"
#include "document/QueryDocument.h"
#include "document/ResultGrid.h"
#include "document/ResultPanes.h"
#include "document/ResultTextView.h"
#include "run/ResultModel.h"
#include "settings/Settings.h"
#include "store/HomeSeeding.h"
#include "support/DocumentRun.h"
#include "support/MainWindowFixture.h"
#include "support/ScriptedDialogs.h"
#include "support/TempHome.h"
#include "support/TestServers.h"
#include "support/ToolOutput.h"
#include "support/Typing.h"

#include <QCoreApplication>
#include <QFile>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString kQuestion =
    QStringLiteral("The script changes every row of products: UPDATE without WHERE. Run it anyway?");

class StatementAtCaretTest : public ::testing::Test {
protected:
    void SetUp() override {
        store::ensureSeeded();
        doc = shownDocument(store::demoConnectionString());
    }
    void TearDown() override { doc->setChanged(false); }

    void waitForRun() { waitForRunEnd(doc.get()); }
    void ctrlEnter(Qt::Key key = Qt::Key_Return) {
        const auto mods = key == Qt::Key_Enter ? Qt::ControlModifier | Qt::KeypadModifier : Qt::ControlModifier;
        QTest::keyClick(doc->editor(), key, mods);
        waitForRun();
    }
    ResultModel* grid() const { return doc->parts().results->grid()->resultModel(); }
    QString messages() const { return doc->parts().results->messagePane()->text(); }
    // One value read straight from the demo database, past the editor.
    static QString scalar(const QString& sql) {
        const db::Table t = db::Connection::open(store::demoConnectionString(), {15, false})->query(sql);
        return t.rows.empty() || t.rows[0].empty() ? QString() : t.rows[0][0].value_or(QString());
    }
    bool flashedAt(int line, int index) const {
        const int pos = int(doc->editor()->positionFromLineIndex(line, index));
        return doc->editor()->SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT,
                                            StatementAtCaret::kFlashIndicator, pos) != 0;
    }

    TempHome home;
    ScriptedDialogs dialogs;
    std::unique_ptr<QueryDocument> doc;
};

} // namespace

TEST_F(StatementAtCaretTest, CtrlEnterRunsOnlyTheStatementUnderTheCaretAndFlashesIt) {
    replaceScript(doc->editor(), QStringLiteral("SELECT count(*) AS n FROM customers;\r\n"
                                                "-- products; the first three\r\n"
                                                "SELECT name, price\r\n  FROM products WHERE id <= 3 ORDER BY id;\r\n"
                                                "SELECT 'a;b -- c' AS odd; SELECT 2 AS two"));
    doc->editor()->setCursorPosition(3, 8);
    QTest::keyClick(doc->editor(), Qt::Key_Return, Qt::ControlModifier);
    // the statement is marked from its first to its last character, nothing else
    EXPECT_TRUE(doc->parts().caretStatement->isFlashing());
    EXPECT_TRUE(flashedAt(2, 0));
    EXPECT_TRUE(flashedAt(3, 40));
    EXPECT_FALSE(flashedAt(3, 41)); // its ;
    EXPECT_FALSE(flashedAt(1, 3));  // the comment before it
    EXPECT_FALSE(flashedAt(0, 5));
    waitForRun();
    ASSERT_EQ(grid()->columnCount(), 2);
    EXPECT_EQ(grid()->rowCount(), 3);
    EXPECT_EQ(grid()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("name"));
    EXPECT_EQ(messages(), QStringLiteral("Success\r\n\r\n3  Row(s) affected"));
    EXPECT_EQ(doc->statementType(), QStringLiteral("SELECT"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !doc->parts().caretStatement->isFlashing(); }, 3000));
    EXPECT_FALSE(flashedAt(2, 0));
    int line = -1, index = -1;
    doc->editor()->getCursorPosition(&line, &index);
    EXPECT_EQ(line, 3);
    EXPECT_EQ(index, 8);
    EXPECT_FALSE(doc->editor()->hasSelectedText());

    // a ';' in a string is no end; keypad Enter works as well
    doc->editor()->setCursorPosition(4, 10);
    ctrlEnter(Qt::Key_Enter);
    ASSERT_EQ(grid()->columnCount(), 1);
    EXPECT_EQ(grid()->cellText(0, 0), QStringLiteral("a;b -- c"));

    // the selection stays as it was; its end (the caret) picks the statement
    doc->editor()->setSelection(4, 30, 4, 38);
    ctrlEnter();
    EXPECT_EQ(grid()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("two"));
    int l1, i1, l2, i2;
    doc->editor()->getSelection(&l1, &i1, &l2, &i2);
    EXPECT_EQ(QList<int>({l1, i1, l2, i2}), QList<int>({4, 30, 4, 38}));
    EXPECT_TRUE(dialogs.questions.isEmpty());
}

TEST_F(StatementAtCaretTest, TheMenuCommandTakesTheNearestStatementOrSaysThereIsNothing) {
    replaceScript(doc->editor(), QStringLiteral("SELECT 7 AS seven;   -- after it\r\n\r\n\r\n\r\nSELECT 8 AS eight"));
    doc->editor()->setCursorPosition(1, 0); // the line after the first statement
    doc->execute(DocumentCommand::ExecuteStatement);
    waitForRun();
    EXPECT_EQ(grid()->cellText(0, 0), QStringLiteral("7"));
    doc->editor()->setCursorPosition(2, 0); // two lines from both
    doc->execute(DocumentCommand::ExecuteStatement);
    waitForRun();
    EXPECT_EQ(messages(), QStringLiteral("Nothing to do but wait for something to execute :/"));
    EXPECT_FALSE(doc->parts().caretStatement->isFlashing());
}

TEST_F(StatementAtCaretTest, AnUpdateWithoutWhereAsksFirstAndNoRunsNothing) {
    const QString before = scalar(QStringLiteral("SELECT sum(price) FROM products"));
    ASSERT_FALSE(before.isEmpty());
    const QString script = QStringLiteral("SELECT 1 AS one;\r\nUPDATE products SET price = 0;\r\nSELECT 2 AS two");
    replaceScript(doc->editor(), script);
    doc->parts().results->setMessage(QStringLiteral("earlier"));

    // Ctrl+Enter on the UPDATE: asked while it is marked; No sends nothing
    doc->editor()->setCursorPosition(1, 3);
    dialogs.answers = {Dialogs::Answer::No};
    ctrlEnter();
    EXPECT_EQ(dialogs.questions, QStringList{kQuestion});
    EXPECT_EQ(messages(), QStringLiteral("Nothing was run.")); // said, not left to the last run's messages
    EXPECT_EQ(scalar(QStringLiteral("SELECT sum(price) FROM products")), before);

    // Ctrl+Enter elsewhere asks nothing
    doc->editor()->setCursorPosition(0, 3);
    ctrlEnter();
    EXPECT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(grid()->cellText(0, 0), QStringLiteral("1"));

    // F5 sends the whole script, the UPDATE with it: asked as well
    dialogs.answers = {Dialogs::Answer::No};
    doc->startExec();
    waitForRun();
    EXPECT_EQ(dialogs.questions.size(), 2);
    EXPECT_EQ(dialogs.questions.last(), kQuestion);
    EXPECT_EQ(scalar(QStringLiteral("SELECT sum(price) FROM products")), before);
    EXPECT_EQ(messages(), QStringLiteral("Nothing was run.")); // not the last run's messages

    // a selection without the UPDATE asks nothing; with a WHERE nothing either
    doc->editor()->setSelection(0, 0, 0, 15);
    doc->startExec();
    waitForRun();
    replaceScript(doc->editor(), QStringLiteral("UPDATE products SET price = price WHERE id = 1 -- no WHERE"));
    doc->startExec();
    waitForRun();
    EXPECT_EQ(messages(), QStringLiteral("1 Row(s) affected."));
    EXPECT_EQ(dialogs.questions.size(), 2);

    // Yes runs it
    replaceScript(doc->editor(), QStringLiteral("DELETE FROM order_items"));
    dialogs.answers = {Dialogs::Answer::Yes};
    doc->startExec();
    waitForRun();
    EXPECT_EQ(dialogs.questions.last(),
              QStringLiteral("The script changes every row of order_items: DELETE without WHERE. Run it anyway?"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM order_items")), QStringLiteral("0"));
    EXPECT_EQ(dialogs.unexpected, 0);
}

TEST_F(StatementAtCaretTest, TheSettingTurnsTheQuestionOffAndAnEmptyValueKeepsIt) {
    replaceScript(doc->editor(), QStringLiteral("UPDATE products SET in_stock = 5"));
    ASSERT_TRUE(settings::write(settings::Key::ConfirmUnfiltered, QStringLiteral("0")));
    doc->startExec();
    waitForRun();
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM products WHERE in_stock <> 5")), QStringLiteral("0"));

    ASSERT_TRUE(settings::write(settings::Key::ConfirmUnfiltered, QString())); // emptied by hand: still asks
    dialogs.answers = {Dialogs::Answer::No};
    doc->editor()->setCursorPosition(0, 0);
    doc->execute(DocumentCommand::ExecuteStatement);
    waitForRun();
    EXPECT_EQ(dialogs.questions.size(), 1);
}

TEST_F(StatementAtCaretTest, AnExternalToolGetsOnlyTheStatement) {
    ASSERT_TRUE(settings::write({{settings::Key::ExecutionPlan, QStringLiteral("1")},
                                 {settings::Key::ExecutionSelected, QStringLiteral("Other")},
                                 {settings::Key::OtherExecute, QStringLiteral("sqlite3")},
                                 {settings::Key::OtherServer, store::demoDatabaseFile()},
                                 {settings::Key::OtherInputFileFlag, QStringLiteral("<")},
                                 {settings::Key::OtherInputFile, QStringLiteral("in.sql")}}));
    replaceScript(doc->editor(), QStringLiteral("select count(*) from categories;\n"
                                                "select name from categories order by id limit 2;\n"));
    doc->editor()->setCursorPosition(1, 5);
    ctrlEnter();
    QFile input(home.file(QStringLiteral("in.sql")));
    ASSERT_TRUE(input.open(QIODevice::ReadOnly));
    EXPECT_EQ(input.readAll(), QByteArray("select name from categories order by id limit 2"));
    EXPECT_EQ(shownToolOutput(doc->parts().results->textPane()), QStringLiteral("Beverages\r\nBakery\r\n"));
}

using StatementAtCaretWindow = MainWindowFixture;

TEST_F(StatementAtCaretWindow, CtrlReturnInTheMainWindowRunsTheStatementThroughTheQueryMenu) {
    openWindow();
    QAction* entry = window->action(QStringLiteral("mnuQExecuteCaret"));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->text(), QStringLiteral("Execute Statement at Caret"));
    EXPECT_EQ(entry->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Return));
    const QList<QAction*> query = window->menu(QStringLiteral("mnuDocument"))->actions();
    EXPECT_EQ(query.indexOf(entry), query.indexOf(window->action(QStringLiteral("mnuQExecute"))) + 1);

    QueryDocument* doc = window->activeDocument();
    ASSERT_NE(doc, nullptr);
    doc->setConnection(store::demoConnectionString());
    replaceScript(doc->editor(), QStringLiteral("SELECT 1 AS a;\nSELECT name FROM categories ORDER BY id"));
    doc->editor()->setCursorPosition(1, 4);
    doc->editor()->setFocus();
    QTest::keyClick(doc->editor(), Qt::Key_Return, Qt::ControlModifier);
    waitForRunEnd(doc);
    ResultModel* m = doc->parts().results->grid()->resultModel();
    EXPECT_EQ(m->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("name"));
    EXPECT_EQ(m->cellText(0, 0), QStringLiteral("Beverages"));
    EXPECT_EQ(doc->editor()->text(),
              QStringLiteral("SELECT 1 AS a;\nSELECT name FROM categories ORDER BY id"));
}

TEST(StatementAtCaretDialect, MariaDbAndMySqlDriversReadBackslashEscapes) {
    // the document's context names the server; the lexer dialect follows it
    auto dialectFor = [](const QString& cs) {
        DocumentContext context;
        context.setConnection(cs);
        return script::dialectOf(context.serverFamily());
    };
    EXPECT_EQ(dialectFor(QStringLiteral("Driver={MariaDB Unicode};Server=db;Database=shop")), script::Dialect::MySql);
    EXPECT_EQ(dialectFor(QStringLiteral("DRIVER={MySQL ODBC 8.0 Unicode Driver};SERVER=db")), script::Dialect::MySql);
    EXPECT_EQ(dialectFor(QStringLiteral("Driver={PostgreSQL Unicode};Server=db")), script::Dialect::Generic);
    EXPECT_EQ(dialectFor(store::demoConnectionString()), script::Dialect::Generic);
}

namespace {

// A document on one of the test servers, with a home and dialogs of its own.
struct ServerDocument {
    explicit ServerDocument(const QString& connectionString) { doc.setConnection(connectionString); }
    ~ServerDocument() {
        doc.setChanged(false);
        EXPECT_EQ(dialogs.unexpected, 0);
    }
    // A name no other test run uses at the same time.
    static QString unique(const char* stem) {
        return QStringLiteral("%1_%2").arg(QLatin1String(stem)).arg(QCoreApplication::applicationPid());
    }
    // Runs the statement at (line, index) and returns what the message pane says.
    QString runAt(int line, int index) {
        doc.editor()->setCursorPosition(line, index);
        doc.execute(DocumentCommand::ExecuteStatement);
        QTest::qWait(0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !doc.isRunning(); }, 30000));
        return doc.parts().results->messagePane()->text();
    }

    TempHome home;
    ScriptedDialogs dialogs;
    bool seeded = (store::ensureSeeded(), true);
    QueryDocument doc;
};

} // namespace

TEST(StatementAtCaretServers, APostgreSqlFunctionBodyGoesToTheServerWhole) {
    QString cs;
    SQLQE_REQUIRE_SERVER(kPostgres, cs);
    ServerDocument s(cs);
    replaceScript(s.doc.editor(), QStringLiteral("CREATE OR REPLACE FUNCTION %1(a int, b int) RETURNS int AS $body$\n"
                                                 "BEGIN\n  -- add them; carefully\n  RETURN a + b; -- it's fine\n"
                                                 "END;\n$body$ LANGUAGE plpgsql;\n\nSELECT %1(2, 3) AS total;\n"
                                                 "DROP FUNCTION %1(int, int);")
                                      .arg(ServerDocument::unique("caret_add")));
    EXPECT_FALSE(s.runAt(3, 4).startsWith(QStringLiteral("Error"))); // inside the body
    EXPECT_EQ(s.runAt(7, 3), QStringLiteral("Success\r\n\r\n1  Row(s) affected"));
    EXPECT_EQ(s.doc.parts().results->grid()->resultModel()->cellText(0, 0), QStringLiteral("5"));
    EXPECT_FALSE(s.runAt(8, 0).startsWith(QStringLiteral("Error")));
    EXPECT_TRUE(s.runAt(7, 3).startsWith(QStringLiteral("Error"))); // dropped
}

TEST(StatementAtCaretServers, AMariaDbProcedureWithBeginEndGoesToTheServerWhole) {
    QString cs;
    SQLQE_REQUIRE_SERVER(kMariaDb, cs);
    ServerDocument s(cs);
    // the driver names MariaDB: a backslash escapes its quote
    replaceScript(s.doc.editor(), QStringLiteral("CREATE PROCEDURE %1(IN n INT)\nBEGIN\n  DECLARE i INT DEFAULT 0;\n"
                                                 "  WHILE i < n DO SET i = i + 1; END WHILE;\n"
                                                 "  IF i > 2 THEN SELECT i AS counted, 'it\\'s; done' AS note; END IF;\n"
                                                 "END;\nCALL %1(4);\nDROP PROCEDURE %1;")
                                      .arg(ServerDocument::unique("caret_count")));
    EXPECT_FALSE(s.runAt(2, 4).startsWith(QStringLiteral("Error")));
    EXPECT_FALSE(s.runAt(6, 2).startsWith(QStringLiteral("Error")));
    ResultModel* m = s.doc.parts().results->grid()->resultModel();
    EXPECT_EQ(m->cellText(0, 0), QStringLiteral("4"));
    EXPECT_EQ(m->cellText(0, 1), QStringLiteral("it's; done"));
    EXPECT_FALSE(s.runAt(7, 0).startsWith(QStringLiteral("Error")));
}
