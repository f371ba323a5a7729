// Opening files and starting programs for the user: a failure comes back as
// the launch error of its cause, never as a success.
#include "shell/Shell.h"

#include "shell/MainStatusBar.h"
#include "shell/MainWindow.h"
#include "store/HomeSeeding.h"
#include "support/Files.h"
#include "support/ScriptedDialogs.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

TEST(Shell, FilesThatCannotBeOpenedSayWhy) {
    TempHome home;
    EXPECT_FALSE(shell::shellExecuteFile(nullptr, home.file(QStringLiteral("gone.sql"))));
    EXPECT_EQ(shell::lastError().number, 53);
    EXPECT_EQ(shell::lastError().description, QStringLiteral("File not found"));
    EXPECT_FALSE(shell::shellExecuteFile(nullptr, home.file(QStringLiteral("no/such/dir/a.sql"))));
    EXPECT_EQ(shell::lastError().number, 76);
    EXPECT_FALSE(shell::shellExecuteFile(nullptr, QStringLiteral("   ")));
    EXPECT_EQ(shell::lastError().number, 53);
    EXPECT_TRUE(shell::lastError().source.endsWith(QLatin1String(".GShell")));
}

TEST(Shell, ProgramsStartWithTheirArgumentsOrSayWhyNot) {
    TempHome home;
    EXPECT_TRUE(
        shell::shellExecuteFile(nullptr, QStringLiteral("true"), {QStringLiteral("a b")}, home.path()));
    EXPECT_EQ(shell::lastError().code, 0);
    EXPECT_FALSE(
        shell::shellExecuteFile(nullptr, QStringLiteral("no-such-program-here"), {QStringLiteral("x")}));
    EXPECT_EQ(shell::lastError().number, 53);
    EXPECT_FALSE(
        shell::shellExecuteFile(nullptr, QStringLiteral("true"), {}, home.file(QStringLiteral("nowhere"))));
    EXPECT_EQ(shell::lastError().number, 76);
    writeFile(home.file(QStringLiteral("notes.txt")), "text");
    EXPECT_FALSE(
        shell::shellExecuteFile(nullptr, home.file(QStringLiteral("notes.txt")), {QStringLiteral("x")}));
    EXPECT_EQ(shell::lastError().number, 75);
}

TEST(Shell, TheFilePanelSaysWhyAFileDidNotOpen) {
    TempHome home;
    ScriptedDialogs dialogs;
    store::ensureSeeded();
    MainWindow window;
    MainStatusBar* sb = window.statusPanels();
    const QString gone = home.file(QStringLiteral("gone.sql"));
    sb->setFileName(gone);
    emit sb->panelDoubleClicked(MainStatusBar::FilePanel);
    EXPECT_EQ(sb->panelText(MainStatusBar::MessagePanel), QStringLiteral("File not found: ") + gone);
    EXPECT_TRUE(dialogs.messages.isEmpty()); // said in the status bar, not in a box

    // a file there but nothing to open it with (no desktop handler on PATH)
    const QString report = home.file(QStringLiteral("report.xyz"));
    writeFile(report, "data");
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", home.path().toLocal8Bit());
    sb->setFileName(report);
    emit sb->panelDoubleClicked(MainStatusBar::FilePanel);
    qputenv("PATH", path);
    EXPECT_EQ(sb->panelText(MainStatusBar::MessagePanel),
              QStringLiteral("No application is associated with this file type: ") + report);
}
