// A query document against a real SQLite file: settings at creation, runs of
// the selection or the script, which tab comes forward, the grid, export.
#include "document/QueryDocument.h"

#include "catalog/ObjectBrowser.h"
#include "common/PanelStatusBar.h"
#include "common/RatioSplitter.h"
#include "document/ResultGrid.h"
#include "document/ResultPanes.h"
#include "document/ResultTextView.h"
#include "run/ResultModel.h"
#include "settings/Settings.h"
#include "store/HomeSeeding.h"
#include "support/DocumentRun.h"
#include "support/Files.h"
#include "support/GuiBSqliteFile.h"
#include "support/ScriptedDialogs.h"
#include "support/TempHome.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class QueryDocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        store::ensureSeeded();
        cs = sqliteFile(
            home.file(QStringLiteral("shop.db")),
            {QStringLiteral("CREATE TABLE t(id INTEGER, name VARCHAR(10), note TEXT)"),
             QStringLiteral(
                 "INSERT INTO t VALUES (1, 'one', NULL), (2, 'two', 'say \"hi\"'), (3, 'three', '')")});
    }
    std::unique_ptr<QueryDocument> makeDocument() { return shownDocument(cs); }
    TempHome home;
    ScriptedDialogs dialogs;
    QString cs;
};

} // namespace

TEST_F(QueryDocumentTest, SettingsApplyAtCreation) {
    ASSERT_TRUE(settings::write(settings::Key::ResultsIn, QStringLiteral("1")));
    ASSERT_TRUE(settings::write(settings::Key::FontSize, QStringLiteral("14")));
    ASSERT_TRUE(settings::write(settings::Key::Font, QStringLiteral("No Such Font")));
    ASSERT_TRUE(settings::write(settings::Key::SyntaxHighlight, QStringLiteral("0")));
    ASSERT_TRUE(settings::write(settings::Key::ConvertTabs, QStringLiteral("1")));
    auto d = makeDocument();
    EXPECT_TRUE(d->parts().results->resultsInText());
    EXPECT_DOUBLE_EQ(d->editor()->editorFont().pointSizeF(), 14.0);
    EXPECT_EQ(d->editor()->lexer(), nullptr);
    EXPECT_FALSE(d->editor()->indentationsUseTabs());
    ASSERT_TRUE(settings::write(settings::Key::ResultsIn, QStringLiteral("0")));
    ASSERT_TRUE(settings::write(settings::Key::FontSize, QString()));
    ASSERT_TRUE(settings::write(settings::Key::SyntaxHighlight, QStringLiteral("1")));
    auto e = makeDocument();
    EXPECT_FALSE(e->parts().results->resultsInText());
    EXPECT_DOUBLE_EQ(e->editor()->editorFont().pointSizeF(), 10.0);
    EXPECT_NE(e->editor()->lexer(), nullptr);
}

TEST_F(QueryDocumentTest, ASelectionRunsAloneAndFillsTheGrid) {
    auto d = makeDocument();
    replaceScript(d->editor(), QStringLiteral("SELECT name FROM t WHERE id = 1;\r\nSELECT id, name, note FROM t ORDER BY id"));
    d->editor()->setSelection(1, 0, 1, 40);
    d->startExec();
    waitForRunEnd(d.get());
    ResultModel* m = d->parts().results->grid()->resultModel();
    ASSERT_EQ(m->columnCount(), 3);
    EXPECT_EQ(m->rowCount(), 3);
    EXPECT_EQ(m->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("id"));
    EXPECT_EQ(m->headerData(2, Qt::Vertical, Qt::DisplayRole).toInt(), 3); // record numbers
    EXPECT_EQ(m->data(m->index(0, 2), Qt::DisplayRole).toString(), QStringLiteral("NULL"));
    EXPECT_TRUE(m->data(m->index(0, 2), ResultModel::IsNullRole).toBool());
    EXPECT_EQ(m->cellText(0, 2), QString());
    EXPECT_FALSE(m->isNull(2, 2));
    EXPECT_EQ(d->parts().results->currentIndex(), int(ResultPanes::ResultsTab));
    EXPECT_EQ(d->parts().results->messagePane()->text(), QStringLiteral("Success\r\n\r\n3  Row(s) affected"));
    EXPECT_EQ(d->parts().status->panelText(6), QStringLiteral("3 Rows"));
    EXPECT_EQ(d->parts().status->panelText(5), QStringLiteral("00:00:00"));
    EXPECT_DOUBLE_EQ(d->parts().lowerSplitter->ratioFromTop(), 0.7);
    EXPECT_EQ(d->statementType(), QStringLiteral("SELECT"));
}

TEST_F(QueryDocumentTest, TheRightTabComesForward) {
    auto d = makeDocument();
    runScript(d.get(), QStringLiteral("SELECT nope FROM t"));
    EXPECT_EQ(d->parts().results->currentIndex(), int(ResultPanes::MessagesTab));
    EXPECT_TRUE(d->parts().results->messagePane()->text().startsWith(QStringLiteral("Error: #")));

    dialogs.answers = {Dialogs::Answer::Yes}; // it changes every row: asked first
    runScript(d.get(), QStringLiteral("UPDATE t SET name = name"));
    EXPECT_EQ(d->parts().results->messagePane()->text(), QStringLiteral("3 Row(s) affected."));
    EXPECT_EQ(d->parts().results->currentIndex(), int(ResultPanes::MessagesTab));

    runScript(d.get(), QStringLiteral("SELECT id FROM t; SELECT name FROM t WHERE id = 2"));
    EXPECT_EQ(d->parts().results->currentIndex(), int(ResultPanes::ResultsTab));
    EXPECT_TRUE(d->parts().results->isTabVisible(ResultPanes::ExtendedTab));
    EXPECT_TRUE(d->parts().results->extendedPane()->text().contains(QStringLiteral("two")));

    d->setResultsInText(true);
    runScript(d.get(), QStringLiteral("SELECT id FROM t"));
    EXPECT_FALSE(d->parts().results->isTabVisible(ResultPanes::ExtendedTab));
    EXPECT_TRUE(d->parts().results->textPane()->text().contains(QStringLiteral("3  Row(s) affected")));
    d->parts().results->setCurrentIndex(ResultPanes::MessagesTab);
    d->parts().results->setCurrentIndex(ResultPanes::ResultsTab);
    EXPECT_TRUE(d->parts().results->textPane()->isVisible()); // the text pane, not the grid

    d->setConnection(QString());
    d->startExec();
    waitForRunEnd(d.get());
    EXPECT_EQ(d->parts().results->messagePane()->text(), QStringLiteral("Error: No Connection..."));
    EXPECT_EQ(d->parts().results->currentIndex(), int(ResultPanes::MessagesTab));
}

TEST_F(QueryDocumentTest, ExportFilesAreByteExact) {
    auto d = makeDocument();
    runScript(d.get(), QStringLiteral("SELECT id AS a, note AS b FROM t ORDER BY id"));
    // .csv is CSV: NULL is nothing, the empty text "", LF line ends, no row numbers
    const QString csv = home.file(QStringLiteral("result.csv"));
    dialogs.fileNames = {csv};
    d->execute(DocumentCommand::GridSaveAs);
    EXPECT_EQ(readFile(csv), QByteArray("a,b\n1,\n2,\"say \"\"hi\"\"\"\n3,\"\"\n"));
    // the grid's own formats under their own filters: every cell quoted, record numbers, CR LF
    const QString own = home.file(QStringLiteral("own.csv"));
    const QString upper = home.file(QStringLiteral("result.CSV"));
    const QString tab = home.file(QStringLiteral("result.tab"));
    const QString other = home.file(QStringLiteral("result.txt"));
    const QString crlf = home.file(QStringLiteral("crlf.csv"));
    dialogs.fileNames = {own, upper, tab, other, crlf};
    dialogs.chosenFilters = {QStringLiteral("Comma Separated (*.csv)"), QStringLiteral("Tab Separated (*.tab)"),
                             QStringLiteral("Comma Separated (*.csv)"), QStringLiteral("Tab Separated (*.tab)"),
                             QStringLiteral("CSV, CR LF line ends (*.csv)")};
    for (int i = 0; i < 5; ++i) d->execute(DocumentCommand::GridSaveAs);
    EXPECT_EQ(readFile(own), QByteArray("\"\",\"a\",\"b\"\r\n\"1\",\"1\",\"\"\r\n\"2\",\"2\",\"say \"\"hi\"\"\"\r\n"
                                        "\"3\",\"3\",\"\"\r\n"));
    EXPECT_EQ(readFile(upper), readFile(csv)); // the ending decides, in any case
    EXPECT_TRUE(readFile(tab).startsWith("\"\"\t\"a\"\t\"b\"\r\n"));
    EXPECT_EQ(readFile(other), readFile(tab)); // another ending takes the chosen filter
    EXPECT_EQ(readFile(crlf), QByteArray("a,b\r\n1,\r\n2,\"say \"\"hi\"\"\"\r\n3,\"\"\r\n"));
    // JSON tells NULL apart; SQL INSERT asks for its table, offering the query's
    const QString json = home.file(QStringLiteral("result.json"));
    const QString sql = home.file(QStringLiteral("result.sql"));
    dialogs.fileNames = {json, sql};
    dialogs.inputs = {QStringLiteral("copy_of_t")};
    d->execute(DocumentCommand::GridSaveAs);
    d->execute(DocumentCommand::GridSaveAs);
    EXPECT_EQ(readFile(json), QByteArray("[\n{\"a\":1,\"b\":null},\n{\"a\":2,\"b\":\"say \\\"hi\\\"\"},\n{\"a\":3,\"b\":\"\"}\n]\n"));
    EXPECT_TRUE(readFile(sql).startsWith("INSERT INTO copy_of_t (a, b) VALUES (1, NULL);\n")) << readFile(sql).toStdString();
    // a bare name takes the ending of the format picked; an existing file of that name is replaced only on Yes
    dialogs.fileNames = {home.file(QStringLiteral("bare")), home.file(QStringLiteral("bare"))};
    dialogs.chosenFilters = {QStringLiteral("JSON (*.json)"), QStringLiteral("JSON (*.json)")};
    d->execute(DocumentCommand::GridSaveAs);
    EXPECT_EQ(readFile(home.file(QStringLiteral("bare.json"))), readFile(json));
    EXPECT_FALSE(QFileInfo::exists(home.file(QStringLiteral("bare"))));
    QFile::remove(home.file(QStringLiteral("bare.json")));
    QFile marker(home.file(QStringLiteral("bare.json")));
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.write("keep");
    marker.close();
    dialogs.answers = {Dialogs::Answer::No};
    d->execute(DocumentCommand::GridSaveAs);
    EXPECT_EQ(readFile(home.file(QStringLiteral("bare.json"))), QByteArray("keep"));
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions.first().startsWith(QStringLiteral("bare.json already exists.")));
    // a write that cannot happen says so and leaves no file
    dialogs.fileNames = {home.file(QStringLiteral("missing/folder/x.csv"))};
    d->execute(DocumentCommand::GridSaveAs);
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.unexpected, 0);
}

TEST_F(QueryDocumentTest, CopyTakesTheSelectedCellsAsTabSeparatedRows) {
    auto d = makeDocument();
    runScript(d.get(), QStringLiteral("SELECT id, name FROM t ORDER BY id"));
    ResultGrid* g = d->parts().results->grid();
    g->setCurrentIndex(g->model()->index(1, 1));
    EXPECT_EQ(g->selectionText(), QStringLiteral("two\r\n"));
    g->selectionModel()->select(QItemSelection(g->model()->index(0, 0), g->model()->index(1, 1)),
                                QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(g->selectionText(), QStringLiteral("1\tone\r\n2\ttwo\r\n"));
    d->execute(DocumentCommand::GridInsertObject);
    EXPECT_TRUE(d->editor()->text().contains(QStringLiteral("two ")));
}

TEST_F(QueryDocumentTest, StopAndClosingDuringARunAreQuickAndClean) {
    auto d = makeDocument();
    replaceScript(d->editor(), QStringLiteral("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n) SELECT count(*) FROM n"));
    d->startExec();
    QTest::qWait(300);
    EXPECT_TRUE(d->isRunning());
    d->startExec(); // a second run does not start while one is going
    QElapsedTimer t;
    t.start();
    d->execute(DocumentCommand::Stop);
    while (d->isRunning() && t.elapsed() < 5000) QTest::qWait(10);
    EXPECT_LT(t.elapsed(), 2000);
    EXPECT_TRUE(d->parts().results->messagePane()->text().contains(QStringLiteral("...Query cancelled by User...")));

    d->startExec();
    QTest::qWait(200);
    t.restart();
    d.reset(); // the document closes during the run
    EXPECT_LT(t.elapsed(), 1000);
}

TEST_F(QueryDocumentTest, TheQuerySummarySaysWhatTheDocumentIsConnectedTo) {
    // the summary's lines as the message pane shows them
    auto summaryLine = [](QueryDocument& d, const QString& start) {
        d.execute(DocumentCommand::QueryCheck);
        for (const QString& line : d.parts().results->messagePane()->text().split(QStringLiteral("\r\n")))
            if (line.startsWith(start)) return line;
        return QString();
    };
    auto d = makeDocument();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !d->parts().objects->isBusy(); }, 15000));
    replaceScript(d->editor(), QStringLiteral("SELECT id FROM t"));
    EXPECT_EQ(summaryLine(*d, QStringLiteral("Catalog:")), QStringLiteral("Catalog: main"));
    EXPECT_EQ(summaryLine(*d, QStringLiteral("SQL Style:")), QStringLiteral("SQL Style: 2")); // a single database

    // without a connection there is no database to name, and no provider kind
    d->setConnection(QString());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !d->parts().objects->isBusy(); }, 15000));
    EXPECT_EQ(summaryLine(*d, QStringLiteral("Catalog:")), QStringLiteral("Catalog: "));
    EXPECT_EQ(summaryLine(*d, QStringLiteral("SQL Style:")), QStringLiteral("SQL Style: 0"));
    EXPECT_EQ(summaryLine(*d, QStringLiteral("Connection:")), QStringLiteral("Connection: "));
    d->setChanged(false);
}
