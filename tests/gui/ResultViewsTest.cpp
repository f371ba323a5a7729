// The result views at real sizes against SQLite files: the text view copies
// exactly the text of the run, results show while the run goes on, and a run
// whose rows pass the memory limit asks whether to go on and does as told.
#include "common/PanelStatusBar.h"
#include "db/Connection.h"
#include "document/QueryDocument.h"
#include "document/ResultGrid.h"
#include "document/ResultPanes.h"
#include "document/ResultTextView.h"
#include "editor/SqlEditor.h"
#include "run/ResultModel.h"
#include "run/RunEngine.h"
#include "settings/Settings.h"
#include "store/HomeSeeding.h"
#include "support/DocumentRun.h"
#include "support/ScriptedDialogs.h"
#include "support/TempHome.h"
#include "support/TestServers.h"
#include "support/Typing.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QTest>

#include <gtest/gtest.h>

#include <QImage>

#include <functional>
#include <optional>

namespace {

// What a plain text pane would hold after the same run: the text the
// engine writes, every row laid out as text.
struct PlainText : RunSink {
    QString results;
    void gridStarted(const std::vector<db::Field>&) override {}
    void gridRows(std::shared_ptr<db::RowBlock>) override {}
    void appendText(Pane p, const QString& t) override {
        if (p == Pane::Results) results += t;
    }
    void clearPane(Pane) override {}
    void progress(qint64) override {}
};

class ResultViewsTest : public ::testing::Test {
protected:
    void SetUp() override {
        store::ensureSeeded();
        cs = QStringLiteral("Provider=SQLite;Data Source=") + home.file(QStringLiteral("views.db"));
        auto c = db::Connection::open(cs, {15, true});
        c->exec(QStringLiteral("CREATE TABLE t(id INTEGER, name VARCHAR(12), note TEXT, amount REAL)"));
        c->exec(QStringLiteral("INSERT INTO t VALUES (1, 'one', NULL, 1.5), (2, 'two words', 'tab\there', -2),"
                               " (3, 'Grüße 東京', 'line\r\nbreak', 3.25), (4, '', 'a rather long note that is long', NULL)"));
    }
    std::unique_ptr<QueryDocument> makeDocument(bool text) {
        auto d = shownDocument(cs);
        d->setResultsInText(text);
        return d;
    }
    static void runAndWait(QueryDocument& d, const QString& script) {
        replaceScript(d.editor(), script);
        d.startExec();
        QElapsedTimer t;
        t.start();
        while (d.isRunning() && t.elapsed() < 30000) QTest::qWait(5);
        ASSERT_FALSE(d.isRunning());
    }
    QString plainText(const QString& script, std::optional<qint64> limit = std::nullopt) const {
        PlainText sink;
        RunRequest r;
        r.connectionString = cs;
        r.text = script;
        r.resultsInText = true;
        r.rowLimit = limit;
        RunEngine(r, sink).run();
        return sink.results;
    }
    TempHome home;
    ScriptedDialogs dialogs;
    QString cs;
};

// A script of a million-odd rows that SQLite makes as it goes.
QString countTo(int n) {
    return QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1)"
                          " SELECT i, 'row number ' || i AS label FROM n")
        .arg(n);
}

} // namespace

TEST_F(ResultViewsTest, TheTextViewHoldsAndCopiesExactlyTheTextOfTheRun) {
    auto d = makeDocument(true);
    const QString script = QStringLiteral("SELECT * FROM t ORDER BY id; UPDATE t SET id = id WHERE id > 3;"
                                          " SELECT name AS n, note FROM t WHERE id > 1 ORDER BY id");
    runAndWait(*d, script);
    ResultTextView* view = d->parts().results->textPane();
    const QString expected = plainText(script);
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_EQ(view->text(), expected);
    // "note" declares no size: its width is its widest first value, not 255
    EXPECT_LT(view->content().line(0).size(), 100);

    // select all and copy with the keys
    view->setFocus();
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    QApplication::clipboard()->clear();
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), expected);

    // a selection made with the keys: the text between, CR LF and all
    view->setSelection({2, 3}, {2, 3});
    QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(view, Qt::Key_End, Qt::ShiftModifier);
    const QStringList lines = expected.split(QStringLiteral("\r\n"));
    EXPECT_EQ(view->selectedText(), lines[2].mid(3) + QStringLiteral("\r\n") + lines[3]);
    // a value's own line break stays inside its row
    EXPECT_TRUE(view->content().line(4).contains(QStringLiteral("line\r\nbreak")));
    // and with the mouse: a click, then a shift-click further down
    const int lh = view->fontMetrics().lineSpacing();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(2, lh / 2));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier, QPoint(2, lh * 2 + lh / 2));
    EXPECT_EQ(view->selectedText(), lines[0] + QStringLiteral("\r\n") + lines[1] + QStringLiteral("\r\n"));
    // the document's Copy takes the selection of the focused results
    QApplication::clipboard()->clear();
    d->execute(DocumentCommand::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), view->selectedText());

    // a row limit: rows, notice and counts as the text pane always showed them
    ASSERT_TRUE(settings::write({{settings::Key::RowCount, QStringLiteral("1")},
                                 {settings::Key::RowCountValue, QStringLiteral("2")}}));
    runAndWait(*d, script);
    EXPECT_EQ(view->text(), plainText(script, 2));
    EXPECT_TRUE(view->text().contains(QStringLiteral("...Rowcount = 2...")));
}

TEST_F(ResultViewsTest, ResultsShowAndCountWhileTheRunGoesOnAndMemoryComesBack) {
    for (const bool text : {false, true}) {
        auto d = makeDocument(text);
        replaceScript(d->editor(), countTo(600000));
        d->startExec();
        qint64 seenDuringRun = 0;
        QString statusDuringRun;
        QElapsedTimer t;
        t.start();
        while (d->isRunning() && t.elapsed() < 60000) {
            QTest::qWait(5);
            const qint64 shown = text ? d->parts().results->textPane()->content().lineCount() - 3
                                      : d->parts().results->grid()->resultModel()->totalRows();
            if (d->isRunning() && shown > 0 && !seenDuringRun) {
                seenDuringRun = shown;
                statusDuringRun = d->parts().status->panelText(QueryDocument::RowsPanel);
            }
        }
        ASSERT_FALSE(d->isRunning());
        EXPECT_GT(seenDuringRun, 0) << "text " << text;
        EXPECT_LT(seenDuringRun, 600000) << "text " << text;
        EXPECT_TRUE(statusDuringRun.endsWith(QStringLiteral(" Rows"))) << statusDuringRun.toStdString();
        EXPECT_EQ(d->parts().status->panelText(QueryDocument::RowsPanel), QStringLiteral("600000 Rows"));
        if (text) {
            const ResultText& content = d->parts().results->textPane()->content();
            EXPECT_EQ(content.line(600001).left(6), QStringLiteral("600000"));
            // the blocks, not the laid-out text: the text would take 2 bytes a character
            EXPECT_LT(content.memoryUse(), size_t(600000) * 40);
            d->parts().results->textPane()->clear();
            EXPECT_LT(content.memoryUse(), size_t(4096));
        } else {
            EXPECT_GT(d->parts().results->grid()->columnWidth(0), 10); // sized from the first block
        }
    }
}

TEST_F(ResultViewsTest, PastTheMemoryLimitTheRunAsksAndDoesAsTold) {
    ASSERT_TRUE(settings::write(settings::Key::ResultMemoryLimit, QStringLiteral("1")));
    EXPECT_EQ(settings::current().resultMemoryLimitBytes(), 1024 * 1024);
    auto d = makeDocument(false);
    ResultModel* grid = d->parts().results->grid()->resultModel();

    // the grid moves rows to disk past gridmemory: nobody is asked
    runAndWait(*d, countTo(400000));
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_EQ(grid->totalRows(), 400000);
    // with every row kept in memory (gridmemory 0) the question comes back
    ASSERT_TRUE(settings::write(settings::Key::GridMemory, QStringLiteral("0")));

    // keep fetching once, then stop and keep the rows
    dialogs.choices = {0, 2};
    runAndWait(*d, countTo(400000));
    EXPECT_EQ(dialogs.questions.size(), 2);
    EXPECT_TRUE(dialogs.questions.value(0).contains(QStringLiteral("past the limit of 1 MB")));
    EXPECT_GT(grid->totalRows(), 0);
    EXPECT_LT(grid->totalRows(), 400000);
    QString messages = d->parts().results->messagePane()->text();
    EXPECT_TRUE(messages.contains(QStringLiteral("are kept"))) << messages.toStdString();
    EXPECT_TRUE(messages.contains(QStringLiteral("...Query cancelled by User...")));
    EXPECT_EQ(d->parts().status->panelText(QueryDocument::RowsPanel), QStringLiteral("%1 Rows").arg(grid->totalRows()));

    // stop: the rows go
    dialogs.questions.clear();
    dialogs.choices = {1};
    runAndWait(*d, countTo(400000));
    EXPECT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(grid->totalRows(), 0);
    EXPECT_EQ(d->parts().status->panelText(QueryDocument::RowsPanel), QStringLiteral("0 Rows"));
    EXPECT_TRUE(d->parts().results->messagePane()->text().contains(QStringLiteral("were dropped")));

    // a closed question stops and keeps what is there; text mode asks as well
    d->setResultsInText(true);
    dialogs.questions.clear();
    runAndWait(*d, countTo(400000));
    EXPECT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(dialogs.unexpected, 1);
    EXPECT_GT(d->parts().results->textPane()->content().lineCount(), 3);
    EXPECT_TRUE(d->parts().results->textPane()->text().contains(QStringLiteral("...Query cancelled by User...")));

    // under the limit nobody is asked
    dialogs.questions.clear();
    runAndWait(*d, countTo(1000));
    EXPECT_TRUE(dialogs.questions.isEmpty());
}

// Typing over a selected script leaves the editor reporting an empty
// selection: F5 then runs the script, not nothing.
TEST_F(ResultViewsTest, AScriptTypedOverASelectionRuns) {
    auto d = makeDocument(false);
    d->editor()->setText(QStringLiteral("SELECT 1"));
    d->editor()->setFocus();
    QTest::keyClick(d->editor(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(d->editor(), QStringLiteral("SELECT name FROM t"));
    d->startExec();
    waitForRunEnd(d.get());
    EXPECT_EQ(d->parts().results->messagePane()->text(), QStringLiteral("Success\r\n\r\n4  Row(s) affected"));
    EXPECT_EQ(d->parts().results->grid()->resultModel()->totalRows(), 4);
}

// The server's notices come to the message pane, before the closing message.
TEST_F(ResultViewsTest, PostgresNoticesShowInTheMessagePane) {
    SQLQE_REQUIRE_SERVER(kPostgres, cs);
    auto d = makeDocument(false);
    runAndWait(*d, QStringLiteral("DO $$ BEGIN RAISE NOTICE 'counted %', 3; END $$; SELECT 1 AS one"));
    EXPECT_EQ(d->parts().results->messagePane()->text(),
              QStringLiteral("NOTICE:  counted 3\r\n0 Row(s) affected.\r\nSuccess\r\n\r\n1  Row(s) affected"));
    // a script without rows keeps its notices too
    runAndWait(*d, QStringLiteral("DROP TABLE IF EXISTS sqlqe_no_such_table_at_all"));
    EXPECT_TRUE(d->parts().results->messagePane()->text().startsWith(QStringLiteral("NOTICE:  table")))
        << d->parts().results->messagePane()->text().toStdString();
}

namespace {

// What a text pane of the given size draws for what was put into it.
QImage drawn(const std::function<void(ResultTextView&)>& fill) {
    ResultTextView view;
    view.resize(480, 160);
    fill(view);
    return view.grab().toImage();
}

} // namespace

// Tool output ends its lines with LF (Linux), CR LF or CR: the pane draws one
// line per line whichever, never one long line of break marks.
TEST(ResultTextPane, DrawsOneLinePerLineWhateverTheLineBreaks) {
    const QImage crLf = drawn([](ResultTextView& v) { v.setText(QStringLiteral("6\r\nBeverages\r\nBakery\r\n")); });
    for (const char* text : {"6\nBeverages\nBakery\n", "6\rBeverages\rBakery\r", "6\nBeverages\r\nBakery\r"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(drawn([&](ResultTextView& v) { v.setText(QString::fromUtf8(text)); }), crLf);
        // and in pieces, as a running tool's output arrives
        EXPECT_EQ(drawn([&](ResultTextView& v) {
                      for (const QChar c : QString::fromUtf8(text)) v.append(QString(c));
                  }),
                  crLf);
    }
    EXPECT_NE(drawn([](ResultTextView& v) { v.setText(QStringLiteral("6 Beverages Bakery")); }), crLf);
}

// A value wider than its column shows its start and "...", and the columns
// after it stay under their headers.
TEST(ResultTextPane, AValueTooWideForItsColumnShowsItsStart) {
    auto rows = std::make_shared<db::RowBlock>();
    rows->reset(2);
    const QByteArray wide = "start of a value" + QByteArray(2000, 'x');
    rows->appendCell(std::string_view(wide.constData(), size_t(wide.size())));
    rows->appendCell(std::string_view("1"));
    const auto widths = std::make_shared<const std::vector<int>>(std::vector<int>{20, 6});
    const QImage fromRows = drawn([&](ResultTextView& v) {
        v.append(QStringLiteral("note                id    \r\n"));
        v.appendRows(rows, widths);
    });
    EXPECT_EQ(fromRows, drawn([](ResultTextView& v) {
                  v.setText(QStringLiteral("note                id    \r\nstart of a value... 1     \r\n"));
              }));
}
