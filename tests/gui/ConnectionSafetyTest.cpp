// What a window shows and asks for its connection's safety settings: the
// environment in the caption, icon and status bar, "Read-only", the
// question before a run that changes data on production, and the
// auto-commit switch with Commit and Roll Back.
#include "common/PanelStatusBar.h"
#include "db/Connection.h"
#include "db/Table.h"
#include "document/DocumentSession.h"
#include "document/DocumentToolbar.h"
#include "document/QueryDocument.h"
#include "document/ResultPanes.h"
#include "store/HomeSeeding.h"
#include "support/ScriptedDialogs.h"
#include "support/TempHome.h"
#include "support/DocumentRun.h"

#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

QString panel(const QueryDocument& doc, int which) {
    return doc.findChild<PanelStatusBar*>(QStringLiteral("documentStatus"))->panelText(which);
}

QString messages(const QueryDocument& doc) {
    return doc.parts().results->messagePane()->text();
}

QString count(const QString& sql) {
    const db::Table t = db::Connection::open(store::demoConnectionString(), {15, false})->query(sql);
    return t.rows.empty() ? QString() : t.rows[0][0].value_or(QString());
}

class ConnectionSafetyTest : public ::testing::Test {
protected:
    void SetUp() override { store::ensureSeeded(); }
    TempHome home;
    ScriptedDialogs dialogs;
};

} // namespace

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
    const QString before = count(QStringLiteral("SELECT count(*) FROM categories"));
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
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM categories")), before);
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
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM categories WHERE name = 'refused'")),
              QStringLiteral("0"));
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
    EXPECT_EQ(panel(doc, QueryDocument::SessionPanel), QStringLiteral("In Transaction"));
    EXPECT_TRUE(commit->isEnabled());
    EXPECT_TRUE(rollBack->isEnabled());
    rollBack->click();
    EXPECT_EQ(messages(doc), QStringLiteral("The transaction was rolled back."));
    EXPECT_EQ(panel(doc, QueryDocument::SessionPanel), QStringLiteral("Connected"));
    EXPECT_FALSE(commit->isEnabled());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM categories WHERE name = 'pending'")),
              QStringLiteral("0"));

    // the next run opens the next transaction; Commit keeps it
    runScript(&doc, QStringLiteral("INSERT INTO categories (name) VALUES ('kept')"));
    EXPECT_EQ(panel(doc, QueryDocument::SessionPanel), QStringLiteral("In Transaction"));
    commit->click();
    EXPECT_EQ(messages(doc), QStringLiteral("The transaction was committed."));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM categories WHERE name = 'kept'")),
              QStringLiteral("1"));

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
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM categories WHERE name = 'kept'")),
              QStringLiteral("0"));
    runScript(&doc, QStringLiteral("SELECT 1"));
    EXPECT_EQ(panel(doc, QueryDocument::SessionPanel), QStringLiteral("Connected"));
}
