// Script files: open, append, the saves, print, close questions, the output
// watch, and unsaved work surviving a killed editor.
#include "settings/AppPaths.h"
#include "store/HomeSeeding.h"
#include "shell/MainWindow.h"
#include "external/OutputWatch.h"
#include "document/QueryDocument.h"
#include "store/RecoveryJournal.h"
#include "document/ResultPanes.h"
#include "document/ResultTextView.h"
#include "script/ScriptFile.h"
#include "document/ScriptFileActions.h"
#include "support/Files.h"
#include "support/ScriptedDialogs.h"
#include "support/Typing.h"
#include "support/TempHome.h"
#include "support/ToolOutput.h"

#include <Qsci/qsciprinter.h>

#include <QDir>
#include <QFile>
#include <QMdiSubWindow>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

namespace {


class ScriptFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        store::ensureSeeded();
        doc = std::make_unique<QueryDocument>();
    }
    QString file(const char* name) const { return home.file(QLatin1String(name)); }
    TempHome home;
    ScriptedDialogs dialogs;
    std::unique_ptr<QueryDocument> doc;
};

} // namespace

TEST_F(ScriptFilesTest, OpenReplacesTheScriptAndAppendWrapsTheLines) {
    writeFile(file("a.sql"), "select 1;\r\nselect 2;\r\n");
    dialogs.fileNames = {file("a.sql")};
    doc->execute(DocumentCommand::OpenNew);
    EXPECT_EQ(doc->editor()->text(), QStringLiteral("select 1;\r\nselect 2;\r\n"));
    EXPECT_EQ(doc->fileName(), QDir(home.path()).absoluteFilePath(QStringLiteral("a.sql")));
    EXPECT_EQ(doc->fileTitle(), QStringLiteral("a.sql"));
    EXPECT_FALSE(doc->isChanged()); // what was opened is what is on disk
    EXPECT_FALSE(doc->windowTitle().endsWith(QLatin1Char('*')));

    writeFile(file("abc.txt"), "a\r\nb\nc");
    replaceScript(doc->editor(), QStringLiteral("x"));
    dialogs.fileNames = {file("abc.txt")};
    doc->execute(DocumentCommand::OpenAppend);
    EXPECT_EQ(doc->editor()->text(), QStringLiteral("x \r\na\r\nb\r\nc\r\n \r\n"));
    EXPECT_EQ(doc->fileTitle(), QStringLiteral("a.sql")); // append keeps the file name
    writeFile(file("empty.sql"), "");
    replaceScript(doc->editor(), QString());
    dialogs.fileNames = {file("empty.sql")};
    doc->execute(DocumentCommand::OpenAppend);
    EXPECT_EQ(doc->editor()->text(), QStringLiteral(" \r\n \r\n"));

    dialogs.fileNames = {QString()}; // cancelled: nothing changes
    doc->execute(DocumentCommand::OpenNew);
    EXPECT_EQ(doc->editor()->text(), QStringLiteral(" \r\n \r\n"));
}

TEST_F(ScriptFilesTest, EncodingsLineBreaksAndBadFiles) {
    writeFile(file("bom.sql"), "\xEF\xBB\xBFselect 'ü'\nfrom t\n");
    ASSERT_TRUE(doc->parts().files->load(file("bom.sql")));
    EXPECT_EQ(doc->editor()->text(), QStringLiteral("select 'ü'\nfrom t\n"));
    EXPECT_TRUE(doc->parts().files->lineFeedsOnly());
    doc->editor()->append(QStringLiteral("where 1 = 1\n"));
    dialogs.fileNames = {file("bom-out.sql")};
    doc->execute(DocumentCommand::SaveAs);
    EXPECT_EQ(readFile(file("bom-out.sql")), QByteArray("\xEF\xBB\xBFselect '\xC3\xBC'\nfrom t\nwhere 1 = 1\n"));

    writeFile(file("latin1.sql"), "select 'caf\xE9'");
    ASSERT_TRUE(doc->parts().files->load(file("latin1.sql")));
    EXPECT_EQ(doc->editor()->text(), QStringLiteral("select 'café'"));

    writeFile(file("binary.sql"), QByteArray("ab\0cd", 5));
    replaceScript(doc->editor(), QStringLiteral("kept"));
    EXPECT_FALSE(doc->parts().files->load(file("binary.sql")));
    EXPECT_EQ(doc->editor()->text(), QStringLiteral("kept"));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("binary")));
    EXPECT_FALSE(doc->parts().files->load(file("does-not-exist.sql")));
    EXPECT_EQ(dialogs.messages.size(), 2);
}

TEST_F(ScriptFilesTest, EverySaveClearsTheChangedMarkAndUndoingToTheSavedTextToo) {
    replaceScript(doc->editor(), QStringLiteral("select 1"));
    dialogs.fileNames = {file("t.sql")};
    doc->parts().files->toolbarSave();
    EXPECT_EQ(readFile(file("t.sql")), QByteArray("select 1"));
    EXPECT_FALSE(doc->isChanged());
    EXPECT_TRUE(doc->confirmClose()); // nothing to ask
    EXPECT_TRUE(dialogs.questions.isEmpty());

    replaceScript(doc->editor(), QStringLiteral("select 2"));
    EXPECT_TRUE(doc->isChanged());
    EXPECT_TRUE(doc->windowTitle().endsWith(QLatin1Char('*')));
    doc->editor()->undo(); // back to the saved text: nothing to save
    EXPECT_FALSE(doc->isChanged());
    doc->editor()->redo();
    dialogs.answers = {Dialogs::Answer::No};
    EXPECT_TRUE(doc->confirmClose());
    // the question names the script it is about
    EXPECT_EQ(dialogs.questions.value(0), QStringLiteral("The code has changed, do you want to save the code first?\n\n") +
                                              QDir(home.path()).absoluteFilePath(QStringLiteral("t.sql")));
    doc->execute(DocumentCommand::Save); // to the known file, no dialog
    EXPECT_EQ(readFile(file("t.sql")), QByteArray("select 2"));
    EXPECT_FALSE(doc->isChanged());
    EXPECT_FALSE(doc->windowTitle().endsWith(QLatin1Char('*')));

    dialogs.fileNames = {file("u.sql")};
    doc->execute(DocumentCommand::SaveAs);
    EXPECT_EQ(doc->fileName(), QDir(home.path()).absoluteFilePath(QStringLiteral("u.sql")));
    EXPECT_EQ(readFile(file("u.sql")), QByteArray("select 2"));
}

TEST_F(ScriptFilesTest, AFailedSaveIsReportedAndChangesNothing) {
    writeFile(file("old.sql"), "old text");
    ASSERT_TRUE(doc->parts().files->load(file("old.sql")));
    replaceScript(doc->editor(), QStringLiteral("new text"));
    // the target's folder is gone
    dialogs.fileNames = {file("gone/x.sql")};
    EXPECT_FALSE(doc->parts().files->saveAs());
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith(QStringLiteral("The script was not saved.")));
    EXPECT_EQ(doc->fileTitle(), QStringLiteral("old.sql"));
    EXPECT_TRUE(doc->isChanged());
    // a folder in the way of the file: the save fails and the folder stays
    QDir(home.path()).mkdir(QStringLiteral("blocked.sql"));
    dialogs.fileNames = {file("blocked.sql")};
    EXPECT_FALSE(doc->parts().files->saveAs());
    EXPECT_TRUE(QFileInfo(file("blocked.sql")).isDir());
    EXPECT_EQ(readFile(file("old.sql")), QByteArray("old text"));
}

TEST_F(ScriptFilesTest, CloseStaysOpenWhenTheSaveDoesNotGoThrough) {
    replaceScript(doc->editor(), QStringLiteral("precious"));
    dialogs.answers = {Dialogs::Answer::Yes};
    dialogs.fileNames = {QString()}; // the save dialog is cancelled
    EXPECT_FALSE(doc->confirmClose());
    dialogs.answers = {Dialogs::Answer::Yes};
    dialogs.fileNames = {file("missing/dir/x.sql")}; // the save fails
    EXPECT_FALSE(doc->confirmClose());
    dialogs.answers = {Dialogs::Answer::Cancel};
    EXPECT_FALSE(doc->confirmClose());
    dialogs.answers = {Dialogs::Answer::Yes};
    dialogs.fileNames = {file("ok.sql")};
    EXPECT_TRUE(doc->confirmClose());
    EXPECT_EQ(readFile(file("ok.sql")), QByteArray("precious"));
}

TEST_F(ScriptFilesTest, ExitAndCloseBoxOfferChangedScripts) {
    MainWindow w;
    w.show();
    w.activeDocument()->editor()->setText(QStringLiteral("select 'unsaved'"));
    w.action(QStringLiteral("mnuFileNew"))->trigger(); // an empty second document is not asked about
    dialogs.answers = {Dialogs::Answer::Cancel};
    EXPECT_FALSE(w.close());
    EXPECT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(w.documents().size(), 2);
    // the document's own close box asks too
    QueryDocument* first = w.documents().first();
    dialogs.answers = {Dialogs::Answer::Cancel};
    static_cast<QMdiSubWindow*>(first->parentWidget())->close();
    QTest::qWait(10);
    EXPECT_EQ(w.documents().size(), 2);
    dialogs.answers = {Dialogs::Answer::No};
    EXPECT_TRUE(w.close());
}

TEST_F(ScriptFilesTest, PrintsToPdf) {
    replaceScript(doc->editor(), QStringLiteral("select 1;\r\nselect 2;\r\n"));
    QsciPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file("script.pdf"));
    doc->parts().files->printTo(printer, false);
    const QByteArray pdf = readFile(file("script.pdf"));
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_GT(pdf.size(), 500);
    doc->editor()->setSelection(1, 0, 1, 5);
    printer.setOutputFileName(file("selection.pdf"));
    doc->parts().files->printTo(printer, true);
    EXPECT_TRUE(readFile(file("selection.pdf")).startsWith("%PDF"));
}

TEST_F(ScriptFilesTest, OutputWatchReloadsTwiceAndEndsOnATextChange) {
    const QString folder = file("out");
    QDir().mkpath(folder);
    const QString out = folder + QStringLiteral("/result.txt");
    doc->parts().watch->start(folder, out);
    QSignalSpy reloads(doc->parts().watch, &OutputWatch::reloaded);
    writeFile(out, "first output");
    ASSERT_TRUE(reloads.wait(3000));
    EXPECT_EQ(shownToolOutput(doc->parts().results->textPane()), QStringLiteral("first output"));
    writeFile(out, "second output");
    ASSERT_TRUE(reloads.wait(3000));
    EXPECT_EQ(shownToolOutput(doc->parts().results->textPane()), QStringLiteral("second output"));
    EXPECT_FALSE(doc->parts().watch->isActive()); // twice, then done
    doc->parts().watch->start(folder, out);
    replaceScript(doc->editor(), QStringLiteral("typing ends the watch"));
    EXPECT_FALSE(doc->parts().watch->isActive());
    writeFile(out, "third output");
    EXPECT_FALSE(reloads.wait(500));
}

TEST_F(ScriptFilesTest, SaveThenOpenGivesTheSameTextForRandomScripts) {
    QRandomGenerator rng(7);
    const QStringList pieces = {QStringLiteral("select"), QStringLiteral(" "), QStringLiteral("\r\n"),
                                QStringLiteral("\n"), QStringLiteral("ü"), QStringLiteral("東京"),
                                QStringLiteral("🦀"), QStringLiteral("'--'"), QStringLiteral("\t"), QStringLiteral("x")};
    for (int round = 0; round < 60; ++round) {
        QString text;
        const int n = int(rng.bounded(1, 80));
        for (int i = 0; i < n; ++i) text += pieces[int(rng.bounded(pieces.size()))];
        replaceScript(doc->editor(), text);
        const QString path = file("round.sql");
        ASSERT_TRUE(writeScriptFile(path, doc->editor()->text()).ok());
        auto fresh = std::make_unique<QueryDocument>();
        ASSERT_TRUE(fresh->parts().files->load(path));
        ASSERT_EQ(fresh->editor()->text(), text);
    }
}

// Child part of the crash test: types into a real editor, lets the journal
// run, then waits to be killed.
TEST(CrashRestoreChild, TypeAndWait) {
    if (qEnvironmentVariableIsEmpty("SQLQE_CRASH_CHILD_HOME")) GTEST_SKIP() << "runs only as the crash test's child";
    AppPaths::set(qEnvironmentVariable("SQLQE_CRASH_CHILD_HOME"));
    store::ensureSeeded();
    MainWindow w;
    w.show();
    QueryDocument* d = w.activeDocument();
    QTest::keyClicks(d->editor(), QStringLiteral("select 'typed before the crash'"));
    QTest::qWait(3500); // one journal interval and a bit
    std::fputs("READY\n", stdout);
    std::fflush(stdout);
    QTest::qWait(60000);
}

TEST(CrashRestore, TypedTextComesBackAfterAKill) {
    TempHome home;
    store::ensureSeeded();
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SQLQE_CRASH_CHILD_HOME"), home.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=CrashRestoreChild.*")});
    ASSERT_TRUE(child.waitForStarted());
    QByteArray out;
    for (int i = 0; i < 200 && !out.contains("READY"); ++i) {
        child.waitForReadyRead(100);
        out += child.readAllStandardOutput();
    }
    ASSERT_TRUE(out.contains("READY")) << out.toStdString();
    ::kill(pid_t(child.processId()), SIGKILL);
    child.waitForFinished();

    ScriptedDialogs dialogs;
    dialogs.answers = {Dialogs::Answer::Yes};
    MainWindow w;
    w.offerRecovery();
    ASSERT_EQ(dialogs.questions.size(), 1);
    bool found = false;
    for (QueryDocument* d : w.documents()) found |= d->editor()->text() == QStringLiteral("select 'typed before the crash'");
    EXPECT_TRUE(found);
    EXPECT_TRUE(RecoveryJournal::orphans().empty()); // taken over, not offered twice
    for (QueryDocument* d : w.documents()) d->setChanged(false);
}

TEST_F(ScriptFilesTest, OpenNewAsksBeforeReplacingUnsavedTextAndUndoBringsItBack) {
    writeFile(file("other.sql"), "select 'other'");
    replaceScript(doc->editor(), QStringLiteral("my unsaved work"));
    dialogs.answers = {Dialogs::Answer::Cancel};
    doc->execute(DocumentCommand::OpenNew);
    EXPECT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.fileDialogs.isEmpty()); // cancelled before any file was chosen
    EXPECT_EQ(doc->editor()->text(), QStringLiteral("my unsaved work"));

    dialogs.answers = {Dialogs::Answer::No};
    dialogs.fileNames = {file("other.sql")};
    doc->execute(DocumentCommand::OpenNew);
    EXPECT_EQ(doc->editor()->text(), QStringLiteral("select 'other'"));
    doc->execute(DocumentCommand::Undo);
    EXPECT_EQ(doc->editor()->text(), QStringLiteral("my unsaved work"));
    EXPECT_TRUE(doc->isChanged()); // it differs from the file now open

    // a script with nothing unsaved is replaced without a question
    doc->editor()->redo();
    EXPECT_FALSE(doc->isChanged());
    dialogs.questions.clear();
    dialogs.fileNames = {file("other.sql")};
    doc->execute(DocumentCommand::OpenNew);
    EXPECT_TRUE(dialogs.questions.isEmpty());
}

// Opening and saving an untouched file keeps its bytes, whatever its encoding.
TEST_F(ScriptFilesTest, SavingKeepsTheBytesOfEveryEncodingItRead) {
    const QByteArray samples[] = {
        QByteArray("select 'caf\xE9', '\xA3 5'\r\nfrom t\r\n"),                         // Latin-1
        QByteArray("select 'caf\xC3\xA9' -- \xE6\x9D\xB1\xE4\xBA\xAC\nfrom t\n"),       // UTF-8
        QByteArray("\xEF\xBB\xBFselect '\xC3\xBC'\r\n"),                               // UTF-8 with BOM
        QByteArray("select '\xC3\xA9t\xE9' /* one stray byte */\r\n"),                // UTF-8 with a stray byte
        QByteArray("select 1\r\nselect 2\nselect 3\r\n"),                              // mixed line breaks
    };
    int n = 0;
    for (const QByteArray& bytes : samples) {
        const QString name = QStringLiteral("enc%1.sql").arg(n++);
        writeFile(file(name.toUtf8().constData()), bytes);
        ASSERT_TRUE(doc->parts().files->load(file(name.toUtf8().constData())));
        doc->execute(DocumentCommand::Save);
        EXPECT_EQ(readFile(file(name.toUtf8().constData())), bytes) << name.toStdString();
    }
    // the stray byte is kept apart from the valid UTF-8 around it
    ASSERT_TRUE(doc->parts().files->load(file("enc3.sql")));
    EXPECT_TRUE(doc->editor()->text().startsWith(QStringLiteral("select '\u00e9t")));

    // a character Latin-1 cannot hold: asked, and saved as UTF-8 on Yes
    ASSERT_TRUE(doc->parts().files->load(file("enc0.sql")));
    doc->editor()->append(QStringLiteral("-- \u20ac\r\n"));
    dialogs.answers = {Dialogs::Answer::No};
    doc->execute(DocumentCommand::Save);
    EXPECT_EQ(readFile(file("enc0.sql")), samples[0]); // refused: the file stays as it was
    EXPECT_TRUE(doc->isChanged());
    dialogs.answers = {Dialogs::Answer::Yes};
    doc->execute(DocumentCommand::Save);
    EXPECT_EQ(readFile(file("enc0.sql")), QByteArray("select 'caf\xC3\xA9', '\xC2\xA3 5'\r\nfrom t\r\n-- \xE2\x82\xAC\r\n"));
}

TEST_F(ScriptFilesTest, FileDialogsStartBesideTheScriptAndSqlFilesGetTheirExtension) {
    replaceScript(doc->editor(), QStringLiteral("select 1"));
    dialogs.fileNames = {file("noext")};
    dialogs.chosenFilters = {ScriptFileActions::fileFilters().first()};
    doc->execute(DocumentCommand::SaveAs);
    EXPECT_EQ(dialogs.startFolders.value(0), QDir::homePath()); // a new script starts in the home folder
    EXPECT_EQ(doc->fileTitle(), QStringLiteral("noext.sql"));
    EXPECT_EQ(readFile(file("noext.sql")), QByteArray("select 1"));

    dialogs.fileNames = {file("plain")};
    dialogs.chosenFilters = {ScriptFileActions::fileFilters().last()}; // "All Files": the name is kept
    doc->execute(DocumentCommand::SaveAs);
    EXPECT_EQ(doc->fileTitle(), QStringLiteral("plain"));

    dialogs.fileNames = {QString()};
    doc->execute(DocumentCommand::OpenAppend);
    EXPECT_EQ(dialogs.startFolders.last(), QDir(home.path()).absolutePath()); // beside the current file
}
