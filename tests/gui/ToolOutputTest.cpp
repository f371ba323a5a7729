// An external tool's output as the user meets it when it is huge or keeps
// going: a gigabyte on one line, printed or written to a (sparse) output
// file, shows cut with a note and costs megabytes, not gigabytes; the
// message pane gets a bounded digest; output past the memory limit asks the
// question a run asks; Stop (F4) ends the tool and what it started.
#include "document/QueryDocument.h"
#include "document/ResultPanes.h"
#include "document/ResultTextView.h"
#include "editor/SqlEditor.h"
#include "settings/Settings.h"
#include "store/HomeSeeding.h"
#include "support/DocumentRun.h"
#include "support/Files.h"
#include "support/PeakMemory.h"
#include "support/ScriptedDialogs.h"
#include "support/TempHome.h"
#include "support/ToolOutput.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

using settings::Key;

namespace {

class ToolOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        store::ensureSeeded();
        doc = shownDocument();
    }
    // The "Other" tool: a shell script of ours, and the output file switches.
    void useScript(const QByteArray& body, const QString& outputFile = QString()) {
        const QString tool = home.file(QStringLiteral("tool.sh"));
        writeFile(tool, "#!/bin/sh\n" + body);
        QFile::setPermissions(tool, QFile::permissions(tool) | QFile::ExeOwner);
        ASSERT_TRUE(settings::write({{Key::ExecutionPlan, QStringLiteral("1")},
                                     {Key::ExecutionSelected, QStringLiteral("Other")},
                                     {Key::OtherExecute, tool},
                                     {Key::OtherOutputFile, outputFile}}));
    }
    void runAndWait(int ms = 60000) {
        doc->startExec();
        QElapsedTimer t;
        t.start();
        while (doc->isRunning() && t.elapsed() < ms) QTest::qWait(10);
        ASSERT_FALSE(doc->isRunning());
    }
    ResultTextView* pane() const { return doc->parts().results->textPane(); }
    QString messages() const { return doc->parts().results->messagePane()->text(); }

    TempHome home;
    ScriptedDialogs dialogs;
    std::unique_ptr<QueryDocument> doc;
};

} // namespace

TEST_F(ToolOutputTest, AGigabyteOnOneLineShowsCutAndCostsLittle) {
    const qint64 before = ownPeakKb();
    useScript("head -c 1073741824 /dev/zero\necho\necho after\n");
    runAndWait();
    shownToolOutput(pane());
    const ResultText& text = pane()->content();
    ASSERT_EQ(text.lineCount(), 3); // the long line, "after", and the empty line after it
    const QString first = text.line(0);
    EXPECT_TRUE(first.endsWith(QStringLiteral("\u2026 [line cut: 1,073,741,824 bytes, the first 65,536 shown]")))
        << first.right(80).toStdString();
    EXPECT_EQ(first.size(), 65536 + first.size() - first.indexOf(QChar(0x2026)));
    EXPECT_EQ(text.line(1), QStringLiteral("after"));
    EXPECT_LT(ownPeakKb() - before, 256 * 1024) << "the whole line was held";
    // the message pane has the hand-over and the end, nothing of the output
    EXPECT_LT(messages().size(), 2000);
    doc->parts().results->setCurrentIndex(ResultPanes::MessagesTab);
    EXPECT_TRUE(messages().endsWith(QStringLiteral("ended with exit code 0.\r\n"))) << messages().toStdString();
}

TEST_F(ToolOutputTest, AGigabyteSparseOutputFileIsReadInSlicesAndCut) {
    const QString out = home.file(QStringLiteral("out.txt"));
    useScript("truncate -s 1G \"$1\"\necho 'wrote it' >&2\n", out);
    ASSERT_TRUE(settings::write({{Key::OtherServer, out}})); // $1: the file
    const qint64 before = ownPeakKb();
    runAndWait();
    const QString shown = shownToolOutput(pane(), 60000);
    EXPECT_EQ(pane()->content().lineCount(), 1);
    EXPECT_TRUE(shown.endsWith(QStringLiteral("[line cut: 1,073,741,824 bytes, the first 65,536 shown]")));
    EXPECT_EQ(shown.front(), QChar(0)); // the file's NUL bytes, shown as they are
    EXPECT_LT(ownPeakKb() - before, 256 * 1024) << "the file was held whole";
    EXPECT_TRUE(messages().contains(QStringLiteral("wrote it"))) << messages().toStdString();
}

TEST_F(ToolOutputTest, WhatAToolPrintsBesideItsOutputFileReachesTheMessagesCutShort) {
    const QString out = home.file(QStringLiteral("out.txt"));
    useScript("head -c 50000000 /dev/zero | tr '\\0' x\necho\nseq 1 200000\necho done > \"$1\"\n", out);
    ASSERT_TRUE(settings::write({{Key::OtherServer, out}}));
    runAndWait();
    EXPECT_EQ(shownToolOutput(pane()), QStringLiteral("done\r\n"));
    const QString m = messages();
    EXPECT_LT(m.size(), 100 * 1024);
    EXPECT_TRUE(m.contains(QStringLiteral("[line cut: 50,000,000 bytes, the first 2,000 shown]")));
    EXPECT_TRUE(m.contains(QStringLiteral("more bytes not shown]"))) << m.right(200).toStdString();
    EXPECT_TRUE(m.endsWith(QStringLiteral("ended with exit code 0.\r\n"))) << m.right(200).toStdString();
}

TEST_F(ToolOutputTest, OutputPastTheMemoryLimitAsksAndStopsTheToolWhenToldTo) {
    ASSERT_TRUE(settings::write(Key::ResultMemoryLimit, QStringLiteral("1")));
    useScript("seq 1 100000000\n");
    dialogs.choices = {0, 2}; // keep reading once, then stop and keep what is shown
    runAndWait();
    ASSERT_EQ(dialogs.questions.size(), 2) << dialogs.questions.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^The output of tool.sh takes \\d MB of memory, past the limit of 1 MB"))
                    .match(dialogs.questions[0])
                    .hasMatch())
        << dialogs.questions[0].toStdString();
    const ResultText& text = pane()->content();
    EXPECT_GT(text.lineCount(), 10000);
    EXPECT_LT(text.lineCount(), 1000000);
    EXPECT_EQ(text.line(0), QStringLiteral("1"));
    EXPECT_TRUE(messages().contains(QStringLiteral("stopped by User"))) << messages().toStdString();

    // Stop drops what was shown
    dialogs.choices = {1};
    runAndWait();
    EXPECT_EQ(dialogs.questions.size(), 3);
    EXPECT_TRUE(pane()->content().isEmpty());
}

TEST_F(ToolOutputTest, StopEndsTheToolAndWhatItStarted) {
    useScript("sleep 300 &\necho $!\nwait\n");
    doc->startExec();
    ASSERT_TRUE(QTest::qWaitFor([&] { return pane()->text().contains(QStringLiteral("\r\n")); }, 5000));
    const qint64 child = pane()->content().line(0).toLongLong();
    ASSERT_GT(child, 0);
    doc->execute(DocumentCommand::Stop); // F4
    ASSERT_TRUE(QTest::qWaitFor([&] { return !doc->isRunning() && processEnded(child); }, 10000));
    EXPECT_TRUE(messages().endsWith(QStringLiteral("...") + home.file(QStringLiteral("tool.sh")) +
                                    QStringLiteral(" stopped by User...\r\n")))
        << messages().toStdString();
}
