// The application home on a full disk: a run's history row and the
// unsaved-work journal cannot be written. The user is told once per kind of
// failure (status bar and message pane), the journal keeps the copy written
// last, and both are written once there is room again.
#include "document/QueryDocument.h"
#include "document/ResultPanes.h"
#include "editor/SqlEditor.h"
#include "settings/AppPaths.h"
#include "shell/JournalKeeper.h"
#include "shell/MainStatusBar.h"
#include "shell/MainWindow.h"
#include "store/HistoryStore.h"
#include "store/HistoryWriter.h"
#include "store/HomeSeeding.h"
#include "store/RecoveryJournal.h"
#include "support/Files.h"
#include "support/ScriptedDialogs.h"
#include "support/SmallDisk.h"
#include "support/Typing.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QStringList historyTexts() {
    QStringList out;
    for (const HistoryEntry& e : HistoryStore().list().valueOr({})) out << e.text;
    return out;
}

// The scripts the journal holds for this home, each read as a whole entry.
QStringList journalled() {
    QStringList texts;
    const QDir dir(RecoveryJournal::folder());
    for (const QString& name : dir.entryList({QStringLiteral("*.json")}, QDir::Files))
        texts << QJsonDocument::fromJson(readFile(dir.filePath(name))).object().value(QStringLiteral("text")).toString();
    return texts;
}

void runAndWait(QueryDocument* d, const QString& script) {
    replaceScript(d->editor(), script);
    d->startExec();
    ASSERT_TRUE(QTest::qWaitFor([d] { return !d->isRunning(); }, 15000));
    ASSERT_TRUE(HistoryWriter::instance().waitIdle(10000));
}

} // namespace

TEST(FullDisk, JournalAndHistoryFailuresAreToldOnceKeptAndWrittenLater) {
    SmallDisk disk;
    if (!disk.mounted()) GTEST_SKIP() << disk.reason().toStdString();
    const AppFolders previous = AppPaths::folders();
    AppPaths::set(disk.path());
    ScriptedDialogs dialogs;
    ASSERT_TRUE(store::ensureSeeded().isEmpty());
    {
        MainWindow window;
        window.show();
        auto* journal = window.findChild<JournalKeeper*>();
        ASSERT_NE(journal, nullptr);
        QueryDocument* doc = window.activeDocument();
        doc->setConnection(store::demoConnectionString(), store::demoConnectionName());
        runAndWait(doc, QStringLiteral("SELECT 'before' AS w"));
        journal->writeNow();
        ASSERT_TRUE(journalled().contains(QStringLiteral("SELECT 'before' AS w")));

        disk.fill();
        runAndWait(doc, QStringLiteral("SELECT 'while full' AS w"));
        const auto status = [&window] { return window.statusPanels()->panelText(MainStatusBar::MessagePanel); };
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return status().startsWith(QStringLiteral("A run could not be added to the query history")); }, 5000))
            << status().toStdString();
        replaceScript(doc->editor(), QStringLiteral("SELECT 'typed while full'"));
        journal->writeNow();
        journal->writeNow(); // the same failure again: told once
        replaceScript(doc->editor(), QStringLiteral("SELECT 'typed while still full'"));
        journal->writeNow();
        const QString messages = doc->parts().results->messagePane()->text();
        EXPECT_EQ(messages.count(QStringLiteral("Unsaved scripts could not be kept for recovery")), 1) << messages.toStdString();
        EXPECT_TRUE(messages.contains(QStringLiteral("A run could not be added to the query history"))) << messages.toStdString();
        EXPECT_TRUE(status().startsWith(QStringLiteral("Unsaved scripts could not be kept for recovery")));
        // the journal still holds the last copy it wrote, whole
        EXPECT_EQ(journalled(), QStringList{QStringLiteral("SELECT 'before' AS w")});
        EXPECT_FALSE(historyTexts().contains(QStringLiteral("SELECT 'while full' AS w")));

        disk.free();
        journal->writeNow();
        EXPECT_EQ(journalled(), QStringList{QStringLiteral("SELECT 'typed while still full'")});
        // the run kept meanwhile reaches the history at the next try
        EXPECT_TRUE(QTest::qWaitFor(
            [] { return historyTexts().contains(QStringLiteral("SELECT 'while full' AS w")); }, 10000));
        EXPECT_TRUE(QTest::qWaitFor(
            [doc] { return doc->parts().results->messagePane()->text().contains(QStringLiteral("The query history is written again")); },
            5000));
        EXPECT_TRUE(doc->parts().results->messagePane()->text().contains(QStringLiteral("Unsaved scripts are kept for recovery again.")));
        for (QueryDocument* d : window.documents()) d->setChanged(false);
    }
    ASSERT_TRUE(HistoryWriter::instance().waitIdle(10000));
    AppPaths::set(previous);
}
