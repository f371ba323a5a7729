// A document keeps its connection between runs: what a run leaves (a
// temporary table, an open transaction) is there for the next, the status
// panel says so, "Disconnect" ends it, and closing a window inside a
// transaction asks Commit / Roll Back / Cancel. And what a window shows and
// asks for its connection's safety settings: the environment in the caption,
// icon and status bar, "Read-only", the question before a run that changes
// data on production, and the auto-commit switch with Commit and Roll Back.
#include "document/DocumentSession.h"

#include "common/DocumentContext.h"
#include "common/PanelStatusBar.h"
#include "db/Connection.h"
#include "db/Table.h"
#include "document/DocumentToolbar.h"
#include "document/ResultGrid.h"
#include "document/ResultPanes.h"
#include "run/ResultModel.h"
#include "shell/MainWindow.h"
#include "store/HomeSeeding.h"
#include "support/DocumentRun.h"
#include "support/ScriptedDialogs.h"
#include "support/TempHome.h"

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace {

QString panel(const QueryDocument& doc, int which = QueryDocument::SessionPanel) {
    auto* status = doc.findChild<PanelStatusBar*>(QStringLiteral("documentStatus"));
    return status ? status->panelText(which) : QStringLiteral("(no status bar)");
}

QString messages(const QueryDocument& doc) {
    return doc.parts().results->messagePane()->text();
}

// The rows of a table of the demo database (where they match), counted on a
// connection of its own.
QString demoCount(const QString& where = QString(), const QString& table = QStringLiteral("categories")) {
    QString sql = QStringLiteral("SELECT count(*) FROM ") + table;
    if (!where.isEmpty()) sql += QStringLiteral(" WHERE ") + where;
    const db::Table t = db::Connection::open(store::demoConnectionString(), {15, false})->query(sql);
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

using ConnectionSafetyTest = DocumentSessionTest;

} // namespace

TEST_F(DocumentSessionTest, RunsShareTheConnectionUntilDisconnect) {
    QueryDocument doc;
    doc.setConnection(store::demoConnectionString());
    EXPECT_EQ(panel(doc), QString());

    runScript(&doc, QStringLiteral("CREATE TEMP TABLE tt (x INT)"));
    EXPECT_EQ(panel(doc), QStringLiteral("Connected"));
    runScript(&doc, QStringLiteral("INSERT INTO tt VALUES (4)"));
    runScript(&doc, QStringLiteral("SELECT x FROM tt"));
    EXPECT_TRUE(messages(doc).startsWith(QStringLiteral("Success"))) << messages(doc).toStdString();
    EXPECT_EQ(doc.parts().results->grid()->resultModel()->cellText(0, 0), QStringLiteral("4"));

    runScript(&doc, QStringLiteral("BEGIN;\nINSERT INTO categories (name) VALUES ('in a transaction')"));
    EXPECT_EQ(panel(doc), QStringLiteral("In Transaction"));
    // Disconnect inside the transaction asks first: Cancel stays connected
    dialogs.choices = {2};
    doc.execute(DocumentCommand::Disconnect);
    EXPECT_EQ(panel(doc), QStringLiteral("In Transaction"));
    // Roll Back, then disconnect, and the message says both
    dialogs.choices = {1};
    doc.execute(DocumentCommand::Disconnect);
    EXPECT_EQ(panel(doc), QString());
    EXPECT_EQ(messages(doc), QStringLiteral("The transaction was rolled back.\r\n"
                                            "Disconnected. The next run opens a new connection."));
    EXPECT_EQ(demoCount(QStringLiteral("name = 'in a transaction'")), QStringLiteral("0"));
    runScript(&doc, QStringLiteral("SELECT x FROM tt"));
    EXPECT_TRUE(messages(doc).contains(QStringLiteral("no such table: tt"))) << messages(doc).toStdString();
    doc.execute(DocumentCommand::Disconnect); // nothing open: no question
    EXPECT_EQ(messages(doc), QStringLiteral("Disconnected. The next run opens a new connection."));

    // another connection string starts another session
    runScript(&doc, QStringLiteral("CREATE TEMP TABLE tt2 (x INT)"));
    doc.setConnection(store::demoConnectionString() + QStringLiteral(";"));
    EXPECT_EQ(panel(doc), QString());

    // the user's change of connection inside a transaction asks first: Cancel keeps it all
    runScript(&doc, QStringLiteral("BEGIN;\nINSERT INTO categories (name) VALUES ('before a change')"));
    dialogs.choices = {2};
    EXPECT_FALSE(doc.changeConnection(store::demoConnectionString()));
    EXPECT_EQ(panel(doc), QStringLiteral("In Transaction"));
    EXPECT_EQ(doc.context().connectionString(), store::demoConnectionString() + QStringLiteral(";"));
    // Commit: the row lands, then the connection changes
    dialogs.choices = {0};
    EXPECT_TRUE(doc.changeConnection(store::demoConnectionString()));
    EXPECT_EQ(doc.context().connectionString(), store::demoConnectionString());
    EXPECT_EQ(messages(doc), QStringLiteral("The transaction was committed."));
    EXPECT_EQ(demoCount(QStringLiteral("name = 'before a change'")), QStringLiteral("1"));
    doc.setChanged(false);
}

TEST_F(DocumentSessionTest, ClosingAWindowInsideATransactionAsksWhatToDoWithIt) {
    MainWindow window;
    QueryDocument* doc = openDemoWindow(window);
    EXPECT_EQ(window.action(QStringLiteral("mnuQDisconnect"))->text(), QStringLiteral("Disconnect"));
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
    ASSERT_TRUE(doc->parts().session->inTransaction()) << messages(*doc).toStdString();
    doc->setChanged(false);

    dialogs.choices = {0}; // Commit
    window.runWindowCommand(WindowCommand::CloseDocument);
    EXPECT_TRUE(window.documents().contains(doc));
    EXPECT_TRUE(messages(*doc).contains(QStringLiteral("FOREIGN KEY constraint failed")))
        << messages(*doc).toStdString();
    EXPECT_FALSE(messages(*doc).contains(QStringLiteral("Line ")))
        << "the COMMIT is not a line of the script";
    EXPECT_TRUE(doc->parts().session->inTransaction());

    dialogs.choices = {1}; // Roll Back
    window.runWindowCommand(WindowCommand::CloseDocument);
    QTest::qWait(0);
    EXPECT_FALSE(window.documents().contains(doc));
    EXPECT_EQ(demoCount(QString(), QStringLiteral("child_t")), QStringLiteral("0"));
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

TEST_F(ConnectionSafetyTest, ProductionIsShownAndAChangeOfDataAsksFirst) {
    QueryDocument doc;
    doc.setConnection(store::demoConnectionString() +
                      QStringLiteral("Environment=production;EnvironmentColor=#c62828;"));
    EXPECT_TRUE(doc.windowTitle().startsWith(QStringLiteral("[production] ")))
        << doc.windowTitle().toStdString();
    EXPECT_EQ(panel(doc, QueryDocument::ProfilePanel), QStringLiteral("production"));
    EXPECT_FALSE(doc.windowIcon().isNull()); // the red dot the window's title bar shows
    EXPECT_EQ(doc.windowIcon().pixmap(16, 16).toImage().pixelColor(8, 8), QColor(QStringLiteral("#c62828")));

    // reading asks nothing
    runScript(&doc, QStringLiteral("SELECT count(*) FROM categories"));
    EXPECT_TRUE(dialogs.questions.isEmpty());
    // a change asks; No runs nothing
    const QString before = demoCount();
    dialogs.answers = {Dialogs::Answer::No};
    runScript(
        &doc,
        QStringLiteral(
            "SELECT 1;\nINSERT INTO categories (name) VALUES ('asked'); DROP TABLE IF EXISTS nothing_here"));
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(dialogs.questions[0],
              QStringLiteral("This window is connected to production.\nThe script changes data "
                             "(INSERT, DROP).\n\nRun it?"));
    EXPECT_EQ(messages(doc), QStringLiteral("Nothing was run."));
    EXPECT_EQ(demoCount(), before);
    // Yes runs it
    dialogs.answers = {Dialogs::Answer::Yes};
    runScript(&doc, QStringLiteral("DELETE FROM categories WHERE name = 'never there'"));
    EXPECT_EQ(dialogs.questions.size(), 2);
    EXPECT_TRUE(messages(doc).contains(QStringLiteral("Row(s) affected"))) << messages(doc).toStdString();

    // the setting per connection turns the question off
    doc.setConnection(store::demoConnectionString() +
                      QStringLiteral("Environment=production;ConfirmChanges=0;"));
    runScript(&doc, QStringLiteral("DELETE FROM categories WHERE name = 'never there'"));
    EXPECT_EQ(dialogs.questions.size(), 2);
    EXPECT_EQ(dialogs.unexpected, 0);
}

TEST_F(ConnectionSafetyTest, AReadOnlyConnectionSaysSoAndTheServerRefusesWrites) {
    QueryDocument doc;
    doc.setConnection(store::demoConnectionString() + QStringLiteral("ReadOnly=1;"));
    EXPECT_EQ(panel(doc, QueryDocument::ProfilePanel), QStringLiteral("Read-only"));
    runScript(&doc, QStringLiteral("INSERT INTO categories (name) VALUES ('refused')"));
    EXPECT_TRUE(messages(doc).contains(QStringLiteral("readonly"), Qt::CaseInsensitive))
        << messages(doc).toStdString();
    EXPECT_EQ(demoCount(QStringLiteral("name = 'refused'")), QStringLiteral("0"));
    doc.setConnection(store::demoConnectionString());
    EXPECT_EQ(panel(doc, QueryDocument::ProfilePanel), QString());
}

TEST_F(ConnectionSafetyTest, AutoCommitOffOpensATransactionThatCommitAndRollBackEnd) {
    QueryDocument doc;
    doc.setConnection(store::demoConnectionString());
    DocumentToolbar* bar = doc.parts().toolbar;
    QToolButton* autoCommit = bar->button(QStringLiteral("AUTOCOMMIT"));
    QToolButton* commit = bar->button(QStringLiteral("COMMIT"));
    QToolButton* rollBack = bar->button(QStringLiteral("ROLLBACK"));
    EXPECT_TRUE(autoCommit->isChecked());
    EXPECT_FALSE(commit->isEnabled());

    autoCommit->click(); // off
    EXPECT_FALSE(doc.parts().session->autoCommit());
    runScript(&doc, QStringLiteral("INSERT INTO categories (name) VALUES ('pending')"));
    EXPECT_EQ(panel(doc), QStringLiteral("In Transaction"));
    EXPECT_TRUE(commit->isEnabled());
    EXPECT_TRUE(rollBack->isEnabled());
    rollBack->click();
    EXPECT_EQ(messages(doc), QStringLiteral("The transaction was rolled back."));
    EXPECT_EQ(panel(doc), QStringLiteral("Connected"));
    EXPECT_FALSE(commit->isEnabled());
    EXPECT_EQ(demoCount(QStringLiteral("name = 'pending'")), QStringLiteral("0"));

    // the next run opens the next transaction; Commit keeps it
    runScript(&doc, QStringLiteral("INSERT INTO categories (name) VALUES ('kept')"));
    EXPECT_EQ(panel(doc), QStringLiteral("In Transaction"));
    commit->click();
    EXPECT_EQ(messages(doc), QStringLiteral("The transaction was committed."));
    EXPECT_EQ(demoCount(QStringLiteral("name = 'kept'")), QStringLiteral("1"));

    // turning auto-commit on inside a transaction asks; Cancel keeps it off
    runScript(&doc, QStringLiteral("DELETE FROM categories WHERE name = 'kept'"));
    dialogs.choices = {2};
    autoCommit->click();
    EXPECT_FALSE(autoCommit->isChecked());
    EXPECT_FALSE(doc.parts().session->autoCommit());
    EXPECT_TRUE(dialogs.questions.last().contains(QStringLiteral("keep auto-commit off")));
    dialogs.choices = {0}; // Commit, and auto-commit is on
    autoCommit->click();
    EXPECT_TRUE(doc.parts().session->autoCommit());
    EXPECT_TRUE(autoCommit->isChecked());
    EXPECT_EQ(demoCount(QStringLiteral("name = 'kept'")), QStringLiteral("0"));
    runScript(&doc, QStringLiteral("SELECT 1"));
    EXPECT_EQ(panel(doc), QStringLiteral("Connected"));
}
