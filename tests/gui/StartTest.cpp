// What a start leaves for later: the real editor on a fresh home opens its
// window while the home's databases are made, still ends up with the demo
// connection and the templates, and does not load the workbook library (nor
// its crypto library) until a workbook is saved. In the window, the template
// tree is read when its tab is first shown.
#include "document/NavigationPanes.h"
#include "document/QueryDocument.h"
#include "store/ConnectionStore.h"
#include "store/HomeSeeding.h"
#include "store/TemplateStore.h"
#include "support/MainWindowFixture.h"
#include "templates/TemplateBrowser.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>

#ifndef SQLQE_PATH
#error "SQLQE_PATH must name the sqlqe executable"
#endif

namespace {
// The libraries mapped into a running process.
QString mappedFiles(qint64 pid) {
    QFile maps(QStringLiteral("/proc/%1/maps").arg(pid));
    return maps.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(maps.readAll()) : QString();
}
} // namespace

TEST(Start, AFreshHomeGetsItsDatabasesAfterTheWindowAndNoWorkbookLibraryIsLoaded) {
    QTemporaryDir home;
    QProcess editor;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SQLQE_START_TRACE"), QStringLiteral("1"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    editor.setProcessEnvironment(env);
    editor.start(QStringLiteral(SQLQE_PATH), {QStringLiteral("--home"), home.path()});
    ASSERT_TRUE(editor.waitForStarted(10000));
    QString trace;
    for (int i = 0; i < 300 && !(trace.contains(QLatin1String("home seeded")) && trace.contains(QLatin1String("event loop"))); ++i) {
        editor.waitForReadyRead(100);
        trace += QString::fromLocal8Bit(editor.readAllStandardError());
    }
    ASSERT_TRUE(trace.contains(QLatin1String("home seeded"))) << trace.toStdString();
    ASSERT_TRUE(trace.contains(QLatin1String("window shown"))) << trace.toStdString();
    const QString maps = mappedFiles(editor.processId());
    ASSERT_TRUE(maps.contains(QLatin1String("libQt6Widgets"))) << "the editor's maps could not be read";
    EXPECT_FALSE(maps.contains(QLatin1String("libxlsxwriter")));
    EXPECT_FALSE(maps.contains(QLatin1String("libcrypto")));
    ::kill(pid_t(editor.processId()), SIGTERM);
    ASSERT_TRUE(editor.waitForFinished(15000));

    const AppFolders before = AppPaths::folders();
    AppPaths::set(home.path());
    const auto connections = ConnectionStore::list();
    const auto groups = TemplateStore::groups();
    AppPaths::set(before);
    ASSERT_TRUE(connections.ok()) << connections.error().toStdString();
    ASSERT_EQ(connections->size(), 1u);
    EXPECT_EQ(connections->at(0).name, store::demoConnectionName());
    ASSERT_TRUE(groups.ok()) << groups.error().toStdString();
    EXPECT_FALSE(groups->empty());
}

class StartWindow : public MainWindowFixture {};

// The window is made before the databases of a fresh home are there: its
// template tree, shown then, waits for them and shows the library.
TEST_F(StartWindow, TheTemplateTreeShownDuringTheSeedingShowsTheWholeLibrary) {
    TempHome fresh;
    bool done = false;
    QObject context;
    EXPECT_TRUE(store::startSeeding(&context, [&](const QStringList& n) {
                    done = true;
                    EXPECT_TRUE(n.isEmpty());
                }).isEmpty());
    openWindow();
    QueryDocument* doc = window->activeDocument();
    ASSERT_NE(doc, nullptr);
    TemplateBrowser* tree = doc->parts().templates;
    EXPECT_FALSE(tree->isLoaded()); // nothing read for a tab not shown
    doc->parts().navigation->showTab(NavigationPanes::TemplatesTab);
    ASSERT_TRUE(tree->isLoaded());
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_GT(tree->topLevelItem(0)->childCount(), 3);
    QTRY_VERIFY(done);
}
