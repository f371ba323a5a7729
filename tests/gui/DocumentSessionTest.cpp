// A document keeps its connection between runs: what a run leaves (a
// temporary table, an open transaction) is there for the next, the status
// panel says so, "Disconnect" ends it, and closing a window inside a
// transaction asks Commit / Roll Back / Cancel.
#include "common/PanelStatusBar.h"
#include "db/Connection.h"
#include "db/Table.h"
#include "document/DocumentSession.h"
#include "common/DocumentContext.h"
#include "document/QueryDocument.h"
#include "document/ResultGrid.h"
#include "document/ResultPanes.h"
#include "run/ResultModel.h"
#include "shell/MainWindow.h"
#include "store/HomeSeeding.h"
#include "support/ScriptedDialogs.h"
#include "support/TempHome.h"
#include "support/DocumentRun.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QString sessionPanel(const QueryDocument* doc) {
    auto* status = doc->findChild<PanelStatusBar*>(QStringLiteral("documentStatus"));
    return status ? status->panelText(QueryDocument::SessionPanel) : QStringLiteral("(no status bar)");
}

QString messages(const QueryDocument* doc) { return doc->parts().results->messagePane()->text(); }

QString demoCount(const QString& where) {
    const db::Table t = db::Connection::open(store::demoConnectionString(), {15, false})
                            ->query(QStringLiteral("SELECT count(*) FROM categories WHERE ") + where);
    return t.rows.empty() ? QString() : t.rows[0][0].value_or(QString());
}

class DocumentSessionTest : public ::testing::Test {
protected:
    void SetUp() override { store::ensureSeeded(); }
    // The main window, shown, with its document on the demo database.
    QueryDocument* openDemoWindow(MainWindow& window) {
        window.resize(1100, 750);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        QueryDocument* doc = window.activeDocument();
        doc->setConnection(store::demoConnectionString());
        return doc;
    }
    TempHome home;
    ScriptedDialogs dialogs;
};

} // namespace

TEST_F(DocumentSessionTest, RunsShareTheConnectionUntilDisconnect) {
    QueryDocument doc;
    doc.setConnection(store::demoConnectionString());
    EXPECT_EQ(sessionPanel(&doc), QString());

    runScript(&doc, QStringLiteral("CREATE TEMP TABLE tt (x INT)"));
    EXPECT_EQ(sessionPanel(&doc), QStringLiteral("Connected"));
    runScript(&doc, QStringLiteral("INSERT INTO tt VALUES (4)"));
    runScript(&doc, QStringLiteral("SELECT x FROM tt"));
    EXPECT_TRUE(messages(&doc).startsWith(QStringLiteral("Success"))) << messages(&doc).toStdString();
    EXPECT_EQ(doc.parts().results->grid()->resultModel()->cellText(0, 0), QStringLiteral("4"));

    runScript(&doc, QStringLiteral("BEGIN;\nINSERT INTO categories (name) VALUES ('in a transaction')"));
    EXPECT_EQ(sessionPanel(&doc), QStringLiteral("In Transaction"));
    // Disconnect inside the transaction asks first: Cancel stays connected
    dialogs.choices = {2};
    doc.execute(DocumentCommand::Disconnect);
    EXPECT_EQ(sessionPanel(&doc), QStringLiteral("In Transaction"));
    // Roll Back, then disconnect, and the message says both
    dialogs.choices = {1};
    doc.execute(DocumentCommand::Disconnect);
    EXPECT_EQ(sessionPanel(&doc), QString());
    EXPECT_EQ(messages(&doc), QStringLiteral("The transaction was rolled back.\r\n"
                                             "Disconnected. The next run opens a new connection."));
    EXPECT_EQ(demoCount(QStringLiteral("name = 'in a transaction'")), QStringLiteral("0"));
    runScript(&doc, QStringLiteral("SELECT x FROM tt"));
    EXPECT_TRUE(messages(&doc).contains(QStringLiteral("no such table: tt"))) << messages(&doc).toStdString();
    doc.execute(DocumentCommand::Disconnect); // nothing open: no question
    EXPECT_EQ(messages(&doc), QStringLiteral("Disconnected. The next run opens a new connection."));

    // another connection string starts another session
    runScript(&doc, QStringLiteral("CREATE TEMP TABLE tt2 (x INT)"));
    doc.setConnection(store::demoConnectionString() + QStringLiteral(";"));
    EXPECT_EQ(sessionPanel(&doc), QString());

    // the user's change of connection inside a transaction asks first: Cancel keeps it all
    runScript(&doc, QStringLiteral("BEGIN;\nINSERT INTO categories (name) VALUES ('before a change')"));
    dialogs.choices = {2};
    EXPECT_FALSE(doc.changeConnection(store::demoConnectionString()));
    EXPECT_EQ(sessionPanel(&doc), QStringLiteral("In Transaction"));
    EXPECT_EQ(doc.context().connectionString(), store::demoConnectionString() + QStringLiteral(";"));
    // Commit: the row lands, then the connection changes
    dialogs.choices = {0};
    EXPECT_TRUE(doc.changeConnection(store::demoConnectionString()));
    EXPECT_EQ(doc.context().connectionString(), store::demoConnectionString());
    EXPECT_EQ(messages(&doc), QStringLiteral("The transaction was committed."));
    EXPECT_EQ(demoCount(QStringLiteral("name = 'before a change'")), QStringLiteral("1"));
    doc.setChanged(false);
}

TEST_F(DocumentSessionTest, ClosingAWindowInsideATransactionAsksWhatToDoWithIt) {
    MainWindow window;
    window.resize(1100, 750);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.action(QStringLiteral("mnuQDisconnect"))->text(), QStringLiteral("Disconnect"));

    QueryDocument* doc = window.activeDocument();
    ASSERT_NE(doc, nullptr);
    doc->setConnection(store::demoConnectionString());
    runScript(doc, QStringLiteral("BEGIN;\nINSERT INTO categories (name) VALUES ('kept on close')"));
    ASSERT_TRUE(doc->parts().session->inTransaction());
    doc->setChanged(false); // the save question is not what this is about

    // Cancel keeps the window and the transaction
    dialogs.choices = {2};
    window.runWindowCommand(WindowCommand::CloseDocument);
    EXPECT_TRUE(window.documents().contains(doc));
    EXPECT_EQ(dialogs.messages.size(), 0);
    EXPECT_TRUE(doc->parts().session->inTransaction());

    // Commit: the row is there for everyone, and the window goes
    dialogs.choices = {0};
    window.runWindowCommand(WindowCommand::CloseDocument);
    QTest::qWait(0);
    EXPECT_FALSE(window.documents().contains(doc));
    EXPECT_EQ(demoCount(QStringLiteral("name = 'kept on close'")), QStringLiteral("1"));

    // Roll Back on leaving the program: the row never lands
    QueryDocument* other = window.newDocument();
    other->setConnection(store::demoConnectionString());
    runScript(other, QStringLiteral("BEGIN;\nINSERT INTO categories (name) VALUES ('dropped on exit')"));
    other->setChanged(false);
    dialogs.choices = {1};
    EXPECT_TRUE(window.close());
    EXPECT_EQ(demoCount(QStringLiteral("name = 'dropped on exit'")), QStringLiteral("0"));
}

TEST_F(DocumentSessionTest, ACommitThatFailsKeepsTheWindowAndNamesNoEditorLine) {
    MainWindow window;
    QueryDocument* doc = openDemoWindow(window);
    // a deferred foreign key fails only at COMMIT; the PRAGMA lives in the session
    runScript(doc, QStringLiteral("PRAGMA foreign_keys = ON;\n"
                                  "CREATE TABLE IF NOT EXISTS parent_t (id INTEGER PRIMARY KEY);\n"
                                  "CREATE TABLE IF NOT EXISTS child_t (p INTEGER REFERENCES parent_t (id) "
                                  "DEFERRABLE INITIALLY DEFERRED);"));
    runScript(doc, QStringLiteral("\n\n\nBEGIN;\nINSERT INTO child_t VALUES (42);"));
    ASSERT_TRUE(doc->parts().session->inTransaction()) << messages(doc).toStdString();
    doc->setChanged(false);

    dialogs.choices = {0}; // Commit
    window.runWindowCommand(WindowCommand::CloseDocument);
    EXPECT_TRUE(window.documents().contains(doc));
    EXPECT_TRUE(messages(doc).contains(QStringLiteral("FOREIGN KEY constraint failed"))) << messages(doc).toStdString();
    EXPECT_FALSE(messages(doc).contains(QStringLiteral("Line "))) << "the COMMIT is not a line of the script";
    EXPECT_TRUE(doc->parts().session->inTransaction());

    dialogs.choices = {1}; // Roll Back
    window.runWindowCommand(WindowCommand::CloseDocument);
    QTest::qWait(0);
    EXPECT_FALSE(window.documents().contains(doc));
    const db::Table t = db::Connection::open(store::demoConnectionString(), {15, false})
                            ->query(QStringLiteral("SELECT count(*) FROM child_t"));
    EXPECT_EQ(t.rows[0][0].value_or(QString()), QStringLiteral("0"));
}

TEST_F(DocumentSessionTest, EnterOrEscapeOnTheTransactionQuestionKeepsEverything) {
    MainWindow window;
    QueryDocument* doc = openDemoWindow(window);
    runScript(doc, QStringLiteral("BEGIN;\nINSERT INTO categories (name) VALUES ('not by Enter')"));
    ASSERT_TRUE(doc->parts().session->inTransaction());
    doc->setChanged(false);

    // the real question box, answered from the keyboard
    Dialogs::install(nullptr);
    auto answerWith = [](Qt::Key key, QString* defaultText) {
        auto* timer = new QTimer;
        QObject::connect(timer, &QTimer::timeout, [timer, key, defaultText] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            timer->stop();
            timer->deleteLater();
            *defaultText = box->defaultButton() ? box->defaultButton()->text() : QString();
            QTest::keyClick(box, key);
        });
        timer->start(20);
    };
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        QString byDefault;
        answerWith(key, &byDefault);
        window.runWindowCommand(WindowCommand::CloseDocument);
        EXPECT_EQ(byDefault, QStringLiteral("Cancel"));
        EXPECT_TRUE(window.documents().contains(doc)) << key;
        EXPECT_TRUE(doc->parts().session->inTransaction()) << key;
        EXPECT_EQ(demoCount(QStringLiteral("name = 'not by Enter'")), QStringLiteral("0")) << key;
    }
    Dialogs::install(&dialogs);
    dialogs.choices = {1}; // Roll Back, to leave the demo database as it was
    window.runWindowCommand(WindowCommand::CloseDocument);
    EXPECT_EQ(dialogs.defaultButtons, QStringList{QStringLiteral("Cancel")});
    EXPECT_EQ(dialogs.escapeButtons, QStringList{QStringLiteral("Cancel")});
}
