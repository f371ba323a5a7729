// The main window as a user meets it: start-up, the full menu table, routing
// to the active document (and nothing without one), layout toggles, windows.
#include "assist/CodeAssist.h"
#include "assist/KeywordLanguage.h"
#include "common/RatioSplitter.h"
#include "document/NavigationPanes.h"
#include "document/ResultGrid.h"
#include "document/ResultPanes.h"
#include "run/ResultModel.h"
#include "shell/MainStatusBar.h"
#include "shell/SplashScreen.h"
#include "support/DocumentRun.h"
#include "support/Files.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>

namespace {

class MainWindowTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        openWindow();
    }
    void run(const char* id) { window->action(QString::fromLatin1(id))->trigger(); }
    QString panel(int which) const { return window->statusPanels()->panelText(which); }
};

bool isSeparator(const MenuEntry& e) {
    return std::string_view(e.id) == "-";
}

} // namespace

TEST_F(MainWindowTest, StartsWithOneEmptyDocumentAndCountsOneConnection) {
    EXPECT_TRUE(window->windowTitle().startsWith(QStringLiteral("SQL Query Editor")))
        << window->windowTitle().toStdString();
    ASSERT_EQ(window->documents().size(), 1);
    QueryDocument* doc = window->activeDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->editor()->text().isEmpty());
    EXPECT_FALSE(doc->isChanged()); // nothing typed yet, nothing to lose
    EXPECT_EQ(panel(2), QStringLiteral("Connections: 1"));
    // the lock-key panels show only what the display server tells (nothing offscreen),
    // and a double-click on a state panel opens nothing
    EXPECT_EQ(panel(MainStatusBar::CapsPanel), QString());
    EXPECT_EQ(panel(MainStatusBar::InsertPanel), QStringLiteral("INS"));
    QSignalSpy opened(window->statusPanels(), &MainStatusBar::fileOpenRequested);
    for (int panel = 2; panel <= 7; ++panel)
        emit window->statusPanels()->panelDoubleClicked(panel);
    EXPECT_EQ(opened.count(), 0);
    EXPECT_EQ(window->statusPanels()->toolTip(),
              QStringLiteral("The status bar displays current status and informs you of errors."));
    EXPECT_DOUBLE_EQ(doc->parts().upperSplitter->ratioFromTop(), 0.7);
    EXPECT_DOUBLE_EQ(doc->parts().lowerSplitter->ratioFromTop(), 1.0);
    EXPECT_FALSE(doc->parts().results->isTabVisible(ResultPanes::ExtendedTab));
}

TEST_F(MainWindowTest, EveryMenuEntryHasItsCaptionShortcutAndPlace) {
    QStringList topLevel;
    for (QAction* a : window->menuBar()->actions())
        topLevel << a->text();
    EXPECT_EQ(topLevel, (QStringList{"&File", "&Edit", "&View", "&Query", "&Tools", "&Window", "&Help"}));
    QHash<QString, int> separators;
    for (const MenuEntry& e : mainMenuEntries()) {
        if (isSeparator(e)) {
            ++separators[QString::fromLatin1(e.parent)];
            continue;
        }
        const QString id = QString::fromLatin1(e.id);
        SCOPED_TRACE(id.toStdString());
        if (QMenu* m = window->menu(id)) {
            EXPECT_EQ(m->title(), QString::fromUtf8(e.caption));
            continue;
        }
        QAction* a = window->action(id);
        ASSERT_NE(a, nullptr);
        if (id == QLatin1String("mnuHelpSearchForHelpOn"))
            EXPECT_TRUE(a->text().startsWith(QStringLiteral("Online (")));
        else
            EXPECT_EQ(a->text(), QString::fromUtf8(e.caption));
        EXPECT_EQ(a->shortcut(), QKeySequence(QString::fromLatin1(e.shortcut)));
        ASSERT_NE(window->menu(QString::fromLatin1(e.parent)), nullptr);
        EXPECT_TRUE(window->menu(QString::fromLatin1(e.parent))->actions().contains(a));
    }
    for (auto it = separators.begin(); it != separators.end(); ++it) {
        int found = 0;
        for (QAction* a : window->menu(it.key())->actions())
            found += a->isSeparator();
        EXPECT_EQ(found, it.value()) << it.key().toStdString();
    }
    // the pop-ups are not on the menu bar
    for (const char* hidden : {"NOVIS_OBJECTS", "NOVIS_TEMPLATE", "NOVIS_GRID"})
        EXPECT_FALSE(topLevel.contains(hidden));
}

TEST_F(MainWindowTest, WithoutADocumentEveryCommandDoesNothingAndShowsNothing) {
    dialogs.answers = {Dialogs::Answer::No};
    run("mnuFileClose");
    ASSERT_TRUE(window->documents().isEmpty());
    dialogs.questions.clear();
    const QStringList skip = {
        "mnuFileNew",      "mnuFileExit",     "mnuHelpAbout",     "mnuHelpSearchForHelpOn", "mnuViewOptions",
        "mnuKeyboard",     "mnuThemeSystem",  "mnuThemeLight",    "mnuThemeDark",           "mnuTemplateNew",
        "mnuTemplateNew2", "mnuTemplateEdit", "mnuTemplateDelete"}; // these act without a document
    for (const MenuEntry& e : mainMenuEntries()) {
        const QString id = QString::fromLatin1(e.id);
        if (isSeparator(e) || window->menu(id) || skip.contains(id)) continue;
        run(e.id);
    }
    EXPECT_TRUE(window->documents().isEmpty());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_TRUE(dialogs.fileDialogs.isEmpty());
    EXPECT_EQ(dialogs.unexpected, 0);
}

TEST_F(MainWindowTest, CommandsReachTheActiveDocument) {
    QueryDocument* doc = window->activeDocument();
    run("mnuQExecute"); // an empty script (planned off the UI thread)
    QTRY_COMPARE(doc->parts().results->messagePane()->text(),
                 QStringLiteral("Nothing to do but wait for something to execute :/"));
    EXPECT_EQ(doc->parts().results->currentIndex(), int(ResultPanes::MessagesTab));
    for (const auto& [id, inText] : {std::pair{"mnuText", true}, std::pair{"mnuGrid", false}}) {
        run(id);
        EXPECT_EQ(doc->parts().results->resultsInText(), inText);
        // Query > Results marks the mode in force when it opens
        emit window->menu(QStringLiteral("mnuQResu"))->aboutToShow();
        EXPECT_EQ(window->action(QStringLiteral("mnuText"))->isChecked(), inText);
        EXPECT_EQ(window->action(QStringLiteral("mnuGrid"))->isChecked(), !inText);
    }
    replaceScript(doc->editor(), QStringLiteral("select 1\r\nselect 2"));
    run("mnuBookmarkToogle");
    EXPECT_EQ(doc->editor()->bookmarkCount(), 1);
    run("mnuBookmarksClear");
    EXPECT_EQ(doc->editor()->bookmarkCount(), 0);
    doc->editor()->selectAll();
    run("mnuEditCut");
    EXPECT_TRUE(doc->editor()->text().isEmpty());
    run("mnuEditUndo");
    EXPECT_EQ(doc->editor()->text(), QStringLiteral("select 1\r\nselect 2"));
    dialogs.numbers = {2};
    run("mnuGotoLine");
    int line = -1, index = -1;
    doc->editor()->getCursorPosition(&line, &index);
    EXPECT_EQ(line, 1);
    run("mnuSFHe");
    EXPECT_EQ(doc->parts().navigation->currentIndex(), 2);
    run("mnuSetTa");
    EXPECT_EQ(doc->parts().navigation->currentIndex(), 1);
}

TEST_F(MainWindowTest, SplitterCommandsSetRatiosAndToggle) {
    QueryDocument* doc = window->activeDocument();
    RatioSplitter* upper = doc->parts().upperSplitter;
    RatioSplitter* lower = doc->parts().lowerSplitter;
    // in this order: mnuO30 toggles, and after mnuO75 it goes back to the default, not to 0.7
    const std::tuple<const char*, RatioSplitter*, double> steps[] = {
        {"mnuO30", upper, 1.0}, {"mnuO30", upper, 0.7}, {"mnuO100", upper, 0.1}, {"mnuO75", upper, 0.25},
        {"mnuO30", upper, 0.7}, {"mnu100", lower, 0.0}, {"mnuR70", lower, 0.25}, {"mnuR50", lower, 0.5},
        {"mnuR30", lower, 0.7}, {"mnuR0", lower, 1.0}};
    for (const auto& [id, splitter, ratio] : steps) {
        run(id);
        EXPECT_DOUBLE_EQ(splitter->ratioFromTop(), ratio) << id;
    }
    // the splitter really gives the panes that share
    run("mnuR50");
    QTest::qWait(20);
    const QList<int> sizes = lower->sizes();
    EXPECT_NEAR(double(sizes[0]) / (sizes[0] + sizes[1]), 0.5, 0.02);
}

TEST_F(MainWindowTest, HideShowFullIsSharedByAllDocuments) {
    QueryDocument* a = window->activeDocument();
    run("mnuResHideShow");
    EXPECT_DOUBLE_EQ(a->parts().lowerSplitter->ratioFromTop(), 0.0);
    EXPECT_TRUE(window->resultsFullView());
    run("mnuFileNew");
    QueryDocument* b = window->activeDocument();
    ASSERT_NE(a, b);
    run("mnuResHideShow"); // the shared state says "full": this hides b's results
    EXPECT_DOUBLE_EQ(b->parts().lowerSplitter->ratioFromTop(), 1.0);
    EXPECT_FALSE(window->resultsFullView());
    run("mnuResHideShow");
    run("mnuSetfQ"); // "Query (Code)" hides the results and resets the alternation
    EXPECT_DOUBLE_EQ(b->parts().lowerSplitter->ratioFromTop(), 1.0);
    EXPECT_FALSE(window->resultsFullView());
}

TEST_F(MainWindowTest, NewDocumentsAreCountedOpenInsideTheAreaAndArrange) {
    run("mnuFileNew");
    EXPECT_EQ(window->documents().size(), 2);
    EXPECT_EQ(panel(2), QStringLiteral("Connections: 2")); // recounted before creating
    run("mnuFileNew");
    ASSERT_EQ(window->documents().size(), 3);
    const QRect area = window->mdiArea()->viewport()->rect();
    for (QMdiSubWindow* w : window->mdiArea()->subWindowList())
        if (!w->isMaximized()) {
            EXPECT_TRUE(area.contains(w->geometry())) << w->geometry().x() << "," << w->geometry().y();
        }
    run("mnuWindowTileVertical");
    const auto wins = window->mdiArea()->subWindowList();
    EXPECT_EQ(wins[0]->geometry().top(), wins[1]->geometry().top());
    EXPECT_LT(wins[0]->geometry().left(), wins[1]->geometry().left());
    run("mnuWindowTileHorizontal");
    EXPECT_EQ(wins[0]->geometry().left(), wins[1]->geometry().left());
    EXPECT_LT(wins[0]->geometry().top(), wins[1]->geometry().top());
    run("mnuWindowCascade");
    QMenu* m = window->menu(QStringLiteral("mnuWindow"));
    emit m->aboutToShow();
    int listed = 0;
    for (QAction* a : m->actions())
        listed += a->property("windowEntry").toBool() && !a->isSeparator();
    EXPECT_EQ(listed, 3);
}

TEST_F(MainWindowTest, CloseAsksForChangedScriptsAndCancelKeepsThem) {
    QueryDocument* doc = window->activeDocument();
    replaceScript(doc->editor(), QStringLiteral("select 42"));
    dialogs.answers = {Dialogs::Answer::Cancel};
    run("mnuFileClose");
    EXPECT_EQ(window->documents().size(), 1);
    // the untitled script's name: "Query" and its number (counted over the whole program)
    EXPECT_EQ(dialogs.questions.value(0),
              QStringLiteral("The code has changed, do you want to save the code first?\n\n") +
                  doc->windowTitle().remove(QLatin1Char('*')).trimmed());
    EXPECT_TRUE(dialogs.questions.value(0).contains(QStringLiteral("\n\nQuery")));
    dialogs.answers = {Dialogs::Answer::No};
    run("mnuFileClose");
    EXPECT_TRUE(window->documents().isEmpty());
}

TEST(SplashScreenTest, ShowsTheVersionAndAGrowingCaptionThatStartsOver) {
    SplashScreen s;
    const QLabel* version = s.findChild<QLabel*>(QStringLiteral("versionLabel"));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->text(), QStringLiteral("Version: 1.0"));
    const QStringList expected = {"L",       "Lo",       "Loa",       "Load",      "Loadin",
                                  "Loading", "Loading.", "Loading..", "Loading..."};
    for (const QString& caption : expected) {
        s.tick();
        EXPECT_EQ(s.loadingCaption(), caption);
    }
    s.tick(); // the tick after the ninth keeps the text and starts over
    EXPECT_EQ(s.loadingCaption(), QStringLiteral("Loading..."));
    s.tick();
    EXPECT_EQ(s.loadingCaption(), QStringLiteral("L"));
}

// Copy, Cut and Undo act on the pane that has the focus: from a result pane
// they copy its selection and never touch the script.
TEST_F(MainWindowTest, EditKeysActOnTheFocusedPaneAndLeaveTheScriptAlone) {
    QueryDocument* doc = window->activeDocument();
    doc->setConnection(store::demoConnectionString());
    const QString script = QStringLiteral("SELECT id, name FROM customers ORDER BY id LIMIT 3");
    runScript(doc, script);
    ResultGrid* grid = doc->parts().results->grid();
    ASSERT_EQ(grid->resultModel()->rowCount(), 3);

    auto press = [&](QWidget* w, Qt::Key key) { QTest::keyClick(w, key, Qt::ControlModifier); };
    grid->setFocus();
    grid->setCurrentIndex(grid->resultModel()->index(0, 0));
    grid->selectionModel()->select(
        QItemSelection(grid->resultModel()->index(0, 0), grid->resultModel()->index(1, 1)),
        QItemSelectionModel::ClearAndSelect);
    QApplication::clipboard()->clear();
    press(grid, Qt::Key_C);
    EXPECT_EQ(QApplication::clipboard()->text(), grid->selectionText());
    EXPECT_TRUE(QApplication::clipboard()->text().contains(QLatin1Char('\t')));
    press(grid, Qt::Key_X);
    press(grid, Qt::Key_Z);
    EXPECT_EQ(doc->editor()->text(), script);

    SqlEditor* messages = doc->parts().results->messagePane();
    doc->parts().results->setCurrentIndex(ResultPanes::MessagesTab);
    messages->setFocus();
    messages->selectAll();
    press(messages, Qt::Key_C);
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith(QStringLiteral("Success")));
    press(messages, Qt::Key_X);
    press(messages, Qt::Key_Z);
    EXPECT_EQ(doc->editor()->text(), script);
    EXPECT_TRUE(
        messages->text().startsWith(QStringLiteral("Success"))); // a read-only pane loses nothing either

    // typing over a selection leaves no selection behind: the whole script runs
    doc->editor()->setFocus();
    doc->editor()->selectAll();
    QTest::keyClicks(doc->editor(), QStringLiteral("SELECT 7 AS seven"));
    doc->startExec();
    waitForRunEnd(doc);
    EXPECT_EQ(grid->resultModel()->rowCount(), 1);
    doc->editor()->undo();
    while (doc->editor()->text() != script && doc->editor()->isUndoAvailable())
        doc->editor()->undo();

    // in the script itself the keys edit the script
    doc->editor()->setFocus();
    doc->editor()->selectAll();
    press(doc->editor(), Qt::Key_X);
    EXPECT_TRUE(doc->editor()->text().isEmpty());
    press(doc->editor(), Qt::Key_Z);
    EXPECT_EQ(doc->editor()->text(), script);
}

TEST_F(MainWindowTest, ClosingADocumentDuringItsRunLeavesNoWorkingBehind) {
    QueryDocument* doc = window->activeDocument();
    doc->setConnection(store::demoConnectionString());
    replaceScript(
        doc->editor(),
        QStringLiteral("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n) SELECT x FROM n"));
    doc->startExec();
    QTRY_VERIFY(panel(MainStatusBar::MessagePanel).startsWith(QStringLiteral("Working")));
    dialogs.answers = {Dialogs::Answer::No};
    run("mnuFileClose");
    EXPECT_TRUE(window->documents().isEmpty());
    QTRY_COMPARE(panel(MainStatusBar::MessagePanel), QString());
}

TEST_F(MainWindowTest, CtrlShiftFFormatsTheStatementAtTheCaret) {
    QueryDocument* doc = window->activeDocument();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return doc->parts().assist->language()->isLoaded(); }, 5000)); // its spellings
    replaceScript(doc->editor(), QStringLiteral("select a,b from t where a=1"));
    doc->editor()->setFocus();
    QTest::keyClick(doc->editor(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(doc->editor()->text(), QStringLiteral("SELECT a, b\r\nFROM t\r\nWHERE a=1"));
    EXPECT_EQ(window->action(QStringLiteral("mnuQFormat"))->text(), QStringLiteral("Format SQL"));
}

TEST_F(MainWindowTest, ClosingTheLastDocumentEmptiesItsStatusPanels) {
    const QString file = home.file(QStringLiteral("shown.sql"));
    writeFile(file, "select 1\n");
    ASSERT_NE(window->openFile(file), nullptr);
    EXPECT_EQ(panel(MainStatusBar::FilePanel), file);
    run("mnuFileClose");
    ASSERT_TRUE(window->documents().isEmpty());
    EXPECT_EQ(panel(MainStatusBar::FilePanel), QString());
    EXPECT_EQ(panel(MainStatusBar::WindowsPanel), QStringLiteral("Connections: 0"));
    // the same through a document's own close box
    run("mnuFileNew");
    EXPECT_EQ(panel(MainStatusBar::WindowsPanel), QStringLiteral("Connections: 1"));
    window->mdiArea()->subWindowList().first()->close();
    QTRY_COMPARE(panel(MainStatusBar::WindowsPanel), QStringLiteral("Connections: 0"));
    EXPECT_EQ(panel(MainStatusBar::FilePanel), QString());
    // a document opened for a file counts as well as one made with New
    ASSERT_NE(window->openFile(file), nullptr);
    EXPECT_EQ(panel(MainStatusBar::WindowsPanel), QStringLiteral("Connections: 1"));
}
