// The History tab as a user meets it: a run of the demo database shows up,
// is still there after a restart, and goes back into the script; search,
// the pop-up, and no password anywhere in the table.
#include "document/NavigationPanes.h"
#include "document/ResultPanes.h"
#include "history/HistoryModel.h"
#include "history/HistoryPane.h"
#include "settings/Settings.h"
#include "store/HistoryStore.h"
#include "store/HistoryWriter.h"
#include "store/ResourceDb.h"
#include "support/DocumentRun.h"
#include "support/MainWindowFixture.h"
#include "support/TestServers.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTreeView>

namespace {

class HistoryTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        ASSERT_TRUE(store::ensureSeeded().isEmpty());
        openWindow();
    }
    void TearDown() override {
        closeWindow();
        ASSERT_TRUE(HistoryWriter::instance().waitIdle(10000)); // nothing left for the next test's home
    }
    QueryDocument* doc() const { return window->activeDocument(); }
    static void runAndWait(QueryDocument* d, const QString& script) {
        runScript(d, script);
        ASSERT_TRUE(HistoryWriter::instance().waitIdle(10000));
    }
    // Shows the History tab of the document and waits for its list.
    static HistoryPane* showHistory(QueryDocument* d, int rows) {
        d->execute(DocumentCommand::ShowHistoryTab);
        HistoryPane* pane = d->parts().history;
        EXPECT_EQ(d->parts().navigation->currentWidget(), pane);
        (void)QTest::qWaitFor([&] { return !pane->isLoading() && pane->model()->rowCount() == rows; }, 5000);
        EXPECT_EQ(pane->model()->rowCount(), rows);
        return pane;
    }
    static void addEntries(const QStringList& scripts) {
        HistoryStore store;
        int minute = 0;
        for (const QString& s : scripts) {
            HistoryEntry e;
            e.started = QDateTime::currentDateTimeUtc().addSecs(60 * minute++);
            e.connection = QStringLiteral("Demo");
            e.outcome = QStringLiteral("Success");
            e.text = s;
            e.textLength = s.size();
            ASSERT_TRUE(store.add(e, 100).ok());
        }
    }
};

} // namespace

TEST_F(HistoryTest, ARunOfTheDemoDatabaseSurvivesARestartAndDoubleClickInsertsIt) {
    const QString script = QStringLiteral("SELECT count(*) AS n FROM orders -- 'it''s' 100%_");
    doc()->setConnection(store::demoConnectionString(), store::demoConnectionName());
    runAndWait(doc(), script);
    HistoryPane* pane = showHistory(doc(), 1);
    const HistoryEntry* e = pane->model()->entryAt(0);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->text, script);
    EXPECT_EQ(e->connection, store::demoConnectionName());
    EXPECT_EQ(e->outcome, QStringLiteral("Success"));
    EXPECT_EQ(e->rows, 1);
    EXPECT_LE(qAbs(e->started.secsTo(QDateTime::currentDateTimeUtc())), 60);
    EXPECT_EQ(pane->model()->data(pane->model()->index(0, HistoryModel::TextColumn)).toString(), script);
    const QString tip = pane->model()->data(pane->model()->index(0, 0), Qt::ToolTipRole).toString();
    EXPECT_TRUE(tip.contains(QStringLiteral("orders -- 'it''s' 100%_"))) << tip.toStdString();

    // a failing run is kept too, above the first
    runAndWait(doc(), QStringLiteral("SELECT * FROM no_such_table"));
    QTRY_COMPARE(pane->model()->rowCount(), 2);
    EXPECT_EQ(pane->model()->entryAt(0)->outcome, QStringLiteral("Failed"));
    EXPECT_TRUE(pane->model()->entryAt(0)->message.contains(QStringLiteral("no_such_table")))
        << pane->model()->entryAt(0)->message.toStdString();
    EXPECT_TRUE(HistoryModel::isFailure(*pane->model()->entryAt(0)));

    // a restart: a new main window on the same home
    closeWindow();
    openWindow();
    ASSERT_TRUE(doc()->editor()->text().isEmpty());
    window->action(QStringLiteral("mnuSFHistory"))->trigger();
    pane = showHistory(doc(), 2);
    EXPECT_EQ(pane->model()->entryAt(1)->text, script);

    const QPoint at = pane->view()->visualRect(pane->model()->index(1, HistoryModel::TimeColumn)).center();
    QTest::mouseClick(pane->view()->viewport(), Qt::LeftButton, {}, at); // as a real double-click starts
    QTest::mouseDClick(pane->view()->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(doc()->editor()->text(), script);
    EXPECT_EQ(window->focusWidget(), doc()->editor()); // back to typing

    // Enter inserts at the caret, over a selection, on lines of its own
    doc()->editor()->setText(QStringLiteral("A--B"));
    doc()->editor()->setSelection(0, 1, 0, 3);
    pane->view()->setFocus();
    pane->view()->setCurrentIndex(pane->model()->index(1, 0));
    QTest::keyClick(pane->view(), Qt::Key_Return);
    EXPECT_EQ(doc()->editor()->text(), QStringLiteral("A\r\n") + script + QStringLiteral("\r\nB"));
    // on an empty line, only the script
    doc()->editor()->setText(QStringLiteral("X\r\n  \r\nY"));
    doc()->editor()->setCursorPosition(1, 2);
    pane->insertCurrent();
    EXPECT_EQ(doc()->editor()->text(), QStringLiteral("X\r\n  ") + script + QStringLiteral("\r\nY"));
}

TEST_F(HistoryTest, APasswordInTheConnectionStringNeverReachesTheHistory) {
    const QString secret = QStringLiteral("Hunter2-Secret");
    const QString cs = store::demoConnectionString() + QStringLiteral(";Password=") + secret;
    doc()->setConnection(cs); // typed by hand: no saved name
    runAndWait(doc(), QStringLiteral("SELECT 1"));
    runAndWait(doc(), QStringLiteral("SELECT broken syntax here"));
    const db::Table t = ResourceDb::open()->query(QStringLiteral("SELECT * FROM history"));
    ASSERT_EQ(t.rows.size(), 2u);
    for (const auto& row : t.rows)
        for (const db::Cell& cell : row)
            EXPECT_FALSE(cell.value_or(QString()).contains(secret)) << cell->toStdString();
    QFile file(ResourceDb::path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains(secret.toUtf8()));
    HistoryPane* pane = showHistory(doc(), 2);
    EXPECT_TRUE(pane->model()->entryAt(0)->connection.endsWith(QStringLiteral("Password=****")))
        << pane->model()->entryAt(0)->connection.toStdString();
}

TEST_F(HistoryTest, PasswordsTypedInTheScriptAreKeptMaskedOnTheRealServers) {
    QString pg, maria;
    SQLQE_REQUIRE_SERVER(kPostgres, pg);
    SQLQE_REQUIRE_SERVER(kMariaDb, maria);
    struct Run {
        QString connection, script, stored;
    };
    const Run runs[] = {
        {pg, QStringLiteral("ALTER USER sqlqe_nobody PASSWORD 'S3cretHist'"),
         QStringLiteral("ALTER USER sqlqe_nobody PASSWORD '****'")},
        {pg, QStringLiteral("ALTER USER sqlqe_nobody WITH PASSWORD 'S3cretSyntax' oops"),
         QStringLiteral("ALTER USER sqlqe_nobody WITH PASSWORD '****' oops")},
        {maria, QStringLiteral("SET PASSWORD FOR 'sqlqe_nobody'@'%' = PASSWORD('S3cretMaria')"),
         QStringLiteral("SET PASSWORD FOR 'sqlqe_nobody'@'%' = PASSWORD('****')")},
        {maria, QStringLiteral("ALTER USER 'sqlqe_nobody'@'%' IDENTIFIED BY 'S3cretIdent'"),
         QStringLiteral("ALTER USER 'sqlqe_nobody'@'%' IDENTIFIED BY '****'")},
    };
    for (const Run& r : runs) {
        doc()->setConnection(r.connection);
        runAndWait(doc(), r.script);
    }
    HistoryPane* pane = showHistory(doc(), 4);
    QStringList stored;
    for (int i = 3; i >= 0; --i)
        stored << pane->model()->entryAt(i)->text;
    EXPECT_EQ(stored, (QStringList{runs[0].stored, runs[1].stored, runs[2].stored, runs[3].stored}));
    QFile file(ResourceDb::path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    for (const char* secret : {"S3cretHist", "S3cretSyntax", "S3cretMaria", "S3cretIdent"})
        EXPECT_FALSE(bytes.contains(secret)) << secret;

    // a connection whose history is off adds nothing
    doc()->setConnection(pg + QStringLiteral("History=Off;"));
    runAndWait(doc(), QStringLiteral("SELECT 'not kept' AS x"));
    EXPECT_EQ(HistoryStore().list()->size(), 4u);
    EXPECT_TRUE(doc()->parts().results->messagePane()->text().startsWith(QStringLiteral("Success")));
}

TEST_F(HistoryTest, SearchPopupDeleteAndClear) {
    addEntries({QStringLiteral("SELECT 1 AS a_b"), QStringLiteral("SELECT 'at 100%'"),
                QStringLiteral("SELECT 1 AS axb")});
    HistoryPane* pane = showHistory(doc(), 3);
    EXPECT_EQ(pane->model()->entryAt(0)->text, QStringLiteral("SELECT 1 AS axb")); // newest first

    const auto listed = [pane] {
        QStringList out;
        for (int row = 0; row < pane->model()->rowCount(); ++row)
            out << pane->model()->entryAt(row)->text;
        return out;
    };
    QTest::keyClicks(pane->searchBox(), QStringLiteral("a_b"));
    QTRY_COMPARE(listed(), (QStringList{"SELECT 1 AS a_b"}));
    pane->searchBox()->setText(QStringLiteral("100%"));
    QTRY_COMPARE(listed(), (QStringList{"SELECT 'at 100%'"}));
    pane->searchBox()->clear();
    QTRY_COMPARE(pane->model()->rowCount(), 3);

    QStringList captions;
    for (QAction* a : pane->popupMenu()->actions())
        if (!a->isSeparator()) captions << a->text();
    EXPECT_EQ(captions, (QStringList{"Insert", "Copy", "Delete Entry", "Clear History"}));

    pane->view()->setCurrentIndex(pane->model()->index(1, 0));
    pane->copyCurrent();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("SELECT 'at 100%'"));
    pane->deleteSelected();
    EXPECT_EQ(pane->model()->rowCount(), 2);
    ASSERT_TRUE(HistoryWriter::instance().waitIdle(10000));
    QTRY_COMPARE(HistoryStore().list()->size(), 2u);
    QTest::qWait(50); // the writer's notice reads the list again
    EXPECT_EQ(pane->model()->rowCount(), 2);

    dialogs.answers = {Dialogs::Answer::No, Dialogs::Answer::Yes};
    pane->clearHistory();
    EXPECT_EQ(pane->model()->rowCount(), 2);
    pane->clearHistory();
    EXPECT_EQ(dialogs.questions.size(), 2);
    EXPECT_EQ(pane->model()->rowCount(), 0);
    ASSERT_TRUE(HistoryWriter::instance().waitIdle(10000));
    EXPECT_TRUE(HistoryStore().list()->empty());
    EXPECT_EQ(dialogs.unexpected, 0);
}

TEST_F(HistoryTest, TheTabComesFourthAndAnotherDocumentsRunRefreshesIt) {
    NavigationPanes* nav = doc()->parts().navigation;
    QStringList tabs;
    for (int i = 0; i < nav->count(); ++i)
        tabs << nav->tabText(i);
    EXPECT_EQ(tabs, (QStringList{"Objects", "Templates", "Help", "History"}));
    window->action(QStringLiteral("mnuSFHe"))->trigger();
    EXPECT_EQ(nav->currentIndex(), int(NavigationPanes::HelpTab));
    EXPECT_EQ(window->action(QStringLiteral("mnuSFHistory"))->text(), QStringLiteral("History (Tab)"));
    EXPECT_EQ(window->action(QStringLiteral("mnuSFHistory"))->shortcut(),
              QKeySequence(QStringLiteral("Ctrl+Shift+H")));
    doc()->editor()->setFocus();
    QTest::keyClick(doc()->editor(), Qt::Key_H, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(nav->currentIndex(), int(NavigationPanes::HistoryTab));
    QueryDocument* first = doc();
    HistoryPane* pane = showHistory(first, 0);

    window->action(QStringLiteral("mnuFileNew"))->trigger();
    QueryDocument* second = doc();
    ASSERT_NE(second, first);
    second->setConnection(store::demoConnectionString(), store::demoConnectionName());
    runAndWait(second, QStringLiteral("SELECT 42"));
    QTRY_COMPARE(pane->model()->rowCount(), 1); // the first document's list, while it was open
}

TEST_F(HistoryTest, ALimitOfZeroAddsNothingAndDeletesNothing) {
    doc()->setConnection(store::demoConnectionString(), store::demoConnectionName());
    runAndWait(doc(), QStringLiteral("SELECT 0"));
    ASSERT_TRUE(settings::write(settings::Key::HistoryLimit, QStringLiteral("0")));
    runAndWait(doc(), QStringLiteral("SELECT 1"));
    runAndWait(doc(), QString());              // nothing to do: never recorded
    HistoryPane* pane = showHistory(doc(), 1); // what was there before stays, and nobody was asked
    EXPECT_EQ(pane->model()->entryAt(0)->text, QStringLiteral("SELECT 0"));
    EXPECT_TRUE(dialogs.questions.isEmpty());
    ASSERT_TRUE(settings::write(settings::Key::HistoryLimit, QStringLiteral("1")));
    runAndWait(doc(), QStringLiteral("SELECT 2"));
    runAndWait(doc(), QStringLiteral("SELECT 3"));
    const auto kept = HistoryStore().list();
    ASSERT_EQ(kept->size(), 1u);
    EXPECT_EQ(kept->at(0).text, QStringLiteral("SELECT 3"));
}

TEST(HistoryModelTest, TheScriptComesSecondAndTheTooltipShowsItAsWritten) {
    HistoryModel model;
    QStringList headers;
    for (int c = 0; c < model.columnCount(); ++c)
        headers << model.headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(headers, (QStringList{"Time", "Text", "Outcome", "Rows", "Duration", "Connection"}));

    const QDate today(2024, 5, 2);
    const QDateTime local(today, QTime(14, 5, 9));
    EXPECT_EQ(HistoryModel::timeText(local.toUTC(), today), QStringLiteral("14:05:09"));
    EXPECT_EQ(HistoryModel::timeText(local.toUTC(), today.addDays(1)), QStringLiteral("2024-05-02 14:05"));
    EXPECT_EQ(HistoryModel::durationText(42), QStringLiteral("0.042 s"));
    EXPECT_EQ(HistoryModel::durationText(3'723'000), QStringLiteral("01:02:03"));

    HistoryEntry markup;
    markup.started = local.toUTC();
    markup.connection = QStringLiteral("Demo & <co>");
    markup.text = QStringLiteral("\r\n  SELECT '<b>bold</b>' AS x\r\nFROM t");
    markup.textLength = markup.text.size();
    EXPECT_EQ(HistoryModel::firstLine(markup), QStringLiteral("SELECT '<b>bold</b>' AS x"));
    const QString tip = HistoryModel::toolTip(markup);
    EXPECT_TRUE(tip.contains(QStringLiteral("SELECT '&lt;b&gt;bold&lt;/b&gt;' AS x\nFROM t")))
        << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral("Demo &amp; &lt;co&gt;"))) << tip.toStdString();

    HistoryEntry huge = markup;
    huge.text.clear();
    huge.textLength = HistoryStore::kMaxTextChars + 1;
    EXPECT_TRUE(HistoryModel::firstLine(huge).contains(QStringLiteral("too long to keep")));
    model.setEntries({markup, huge});
    EXPECT_EQ(model.rowCount(), 2);
}
