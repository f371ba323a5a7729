// The bundled help: every topic the program opens resolves to a page, a
// missing topic gives the message box, pages link only to pages and images
// that exist, and the help window navigates and searches.
#include "help/Help.h"

#include "connections/ConnectionManager.h"
#include "help/HelpWindow.h"
#include "shell/MainWindow.h"
#include "store/HomeSeeding.h"
#include "support/ScriptedDialogs.h"
#include "support/TempHome.h"

#include <QAction>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>

namespace {

QString shownPage() {
    HelpWindow* w = help::currentWindow();
    return w && w->isVisible() ? w->browser()->source().fileName() : QString();
}

QString readResource(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

TEST(Help, EveryTopicTheProgramOpensHasAPage) {
    for (const char* topic : {help::kObjectsTopic, help::kTemplatesTopic, help::kSettingsTopic,
                              help::kAdvancedSettingsTopic, help::kConnectionTopic}) {
        const QUrl url = help::topicUrl(QLatin1String(topic));
        EXPECT_EQ(url, QUrl(QStringLiteral("qrc:/help/") + QLatin1String(topic))) << topic;
        EXPECT_TRUE(help::pages().contains(QLatin1String(topic))) << topic << " is not in the contents";
    }
    EXPECT_EQ(help::topicUrl(QString()), QUrl(QStringLiteral("qrc:/help/contents.htm")));
    EXPECT_EQ(help::topicUrl(QStringLiteral("f_settings.htm#options")).fragment(), QStringLiteral("options"));
    for (const char* missing :
         {"f_nothing.htm", "../help/contents.htm", "/etc/passwd", "f_objects", "images/x.htm"})
        EXPECT_TRUE(help::topicUrl(QLatin1String(missing)).isEmpty()) << missing;
}

TEST(Help, AMissingTopicSaysSoAndOpensNothing) {
    ScriptedDialogs dialogs;
    QWidget owner;
    help::showHelp(&owner, QStringLiteral("f_nothing.htm"));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0],
              QStringLiteral("Unable to launch HTML Help,\r\nor the topic you requested does not exist"));
    EXPECT_TRUE(shownPage().isEmpty());
}

TEST(Help, PagesLinkOnlyToPagesAndSmallImagesThatExist) {
    static const QRegularExpression href(QStringLiteral("href=\"([^\"#]*)"));
    static const QRegularExpression src(QStringLiteral("src=\"([^\"]+)\""));
    QStringList all;
    for (QDirIterator it(QStringLiteral(":/help"), {QStringLiteral("*.htm")}); it.hasNext();)
        all << QFileInfo(it.next()).fileName();
    ASSERT_GE(all.size(), 12);
    const QStringList listed = help::pages();
    for (const QString& page : all) {
        if (page != QLatin1String("vstart.htm")) {
            EXPECT_TRUE(listed.contains(page)) << page.toStdString() << " unreachable";
        }
        const QString html = readResource(QStringLiteral(":/help/") + page);
        EXPECT_TRUE(html.contains(QLatin1String("<title>"))) << page.toStdString();
        for (auto m = href.globalMatch(html); m.hasNext();) {
            const QString target = m.next().captured(1);
            if (target.isEmpty() || target.startsWith(QLatin1String("http"))) continue;
            if (target.endsWith(QLatin1String(".css"))) {
                EXPECT_TRUE(QFile::exists(QStringLiteral(":/help/") + target)) << target.toStdString();
                continue;
            }
            EXPECT_FALSE(help::topicUrl(target).isEmpty())
                << page.toStdString() << " links to " << target.toStdString();
        }
        for (auto m = src.globalMatch(html); m.hasNext();) {
            const QString image = QStringLiteral(":/help/") + m.next().captured(1);
            ASSERT_TRUE(QFile::exists(image)) << page.toStdString() << ": " << image.toStdString();
            EXPECT_LT(QFileInfo(image).size(), 150 * 1024) << image.toStdString();
            EXPECT_FALSE(QImage(image).isNull()) << image.toStdString();
        }
    }
}

TEST(Help, TheWindowGoesBackForwardAndSearches) {
    help::showHelp(nullptr, QStringLiteral("f_tools.htm"));
    HelpWindow* w = help::currentWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(shownPage(), QStringLiteral("f_tools.htm"));
    EXPECT_TRUE(w->browser()->toPlainText().contains(QLatin1String("External query tools")));
    help::showHelp(nullptr, QStringLiteral("f_keys.htm"));
    EXPECT_EQ(help::currentWindow(), w); // one help window, reused
    EXPECT_EQ(shownPage(), QStringLiteral("f_keys.htm"));
    w->browser()->backward();
    EXPECT_EQ(shownPage(), QStringLiteral("f_tools.htm"));
    w->browser()->forward();
    EXPECT_EQ(shownPage(), QStringLiteral("f_keys.htm"));

    const QStringList found = w->search(QStringLiteral("outputfileflag"));
    EXPECT_TRUE(found.contains(QStringLiteral("f_tools.htm")));
    EXPECT_TRUE(found.contains(QStringLiteral("f_settings_adv.htm")));
    EXPECT_FALSE(found.contains(QStringLiteral("f_keys.htm")));
    EXPECT_EQ(w->search(QStringLiteral("pgpass pgpassword")),
              QStringList{QStringLiteral("f_tools.htm")}); // every word
    EXPECT_TRUE(w->search(QStringLiteral("xyzzy")).isEmpty());
    EXPECT_TRUE(w->search(QStringLiteral("  ")).isEmpty());

    // typing a search lists the pages; Enter opens the best one
    w->searchBox()->setText(QStringLiteral("pgpass"));
    QTest::keyClick(w->searchBox(), Qt::Key_Return);
    EXPECT_EQ(shownPage(), QStringLiteral("f_tools.htm"));
    ASSERT_GE(w->pageList()->count(), 1);
    EXPECT_FALSE(w->browser()->extraSelections().isEmpty()); // the hits are marked
    w->searchBox()->clear();
    QTest::keyClick(w->searchBox(), Qt::Key_Return);
    EXPECT_EQ(w->pageList()->count(), help::pages().size()); // the contents again
    w->close();
}

TEST(Help, TheMainWindowAndTheConnectionManagerOpenTheirTopics) {
    TempHome home;
    ScriptedDialogs dialogs;
    store::ensureSeeded();
    MainWindow window;
    window.show();
    const std::pair<const char*, const char*> routes[] = {{"mnuHelpContents", "contents.htm"},
                                                          {"mnuObjHelp", "f_objects.htm"},
                                                          {"mnuTemplateHelp", "f_templates.htm"},
                                                          {"mnuGridHelp", "f_settings_adv.htm"}};
    for (const auto& [action, page] : routes) {
        window.action(QLatin1String(action))->trigger();
        EXPECT_EQ(shownPage(), QLatin1String(page)) << action;
    }
    EXPECT_EQ(window.action(QStringLiteral("mnuHelpContents"))->shortcut(), QKeySequence(Qt::Key_F1));

    ConnectionManager manager(&window);
    QAction* helpButton = manager.findChild<QAction*>(QStringLiteral("Help"));
    ASSERT_NE(helpButton, nullptr);
    helpButton->trigger();
    EXPECT_EQ(shownPage(), QStringLiteral("f_connection.htm"));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}
