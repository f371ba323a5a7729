// A document handing its script to an external tool (sqlite3 on the demo
// database, and tools that fail), and the Query Check in both execution
// plans: the summary and the reload of the tool's output.
#include "common/RatioSplitter.h"
#include "db/ConnectionString.h"
#include "document/ResultPanes.h"
#include "external/OutputWatch.h"
#include "settings/Settings.h"
#include "store/HomeSeeding.h"
#include "support/DocumentRun.h"
#include "support/Files.h"
#include "support/ScriptedDialogs.h"
#include "support/TempHome.h"
#include "support/TestServers.h"
#include "support/ToolOutput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

using settings::Key;

namespace {

class ExternalToolsTest : public ::testing::Test {
protected:
    void SetUp() override { store::ensureSeeded(); }
    std::unique_ptr<QueryDocument> makeDocument(const QString& script) {
        auto d = shownDocument(QStringLiteral("Driver={SQLite3};Database=x.db;PWD=doc-secret;"));
        replaceScript(d->editor(), script);
        return d;
    }
    static void useTool(std::vector<std::pair<Key, QString>> values) {
        values.insert(values.begin(), {{Key::ExecutionPlan, QStringLiteral("1")},
                                       {Key::ExecutionSelected, QStringLiteral("Other")}});
        ASSERT_TRUE(settings::write(values));
    }
    static void runAndWait(QueryDocument& d) {
        d.startExec();
        waitForRunEnd(&d);
    }
    static QString messages(QueryDocument& d) { return d.parts().results->messagePane()->text(); }
    static QString results(QueryDocument& d) { return shownToolOutput(d.parts().results->textPane()); }

    TempHome home;
    ScriptedDialogs dialogs;
};

const char* kScript = "select count(*) from categories;\nselect name from categories order by id limit 2;\n";

} // namespace

TEST_F(ExternalToolsTest, Sqlite3OnTheDemoDatabaseWritesItsOutputIntoTheTextPane) {
    useTool({{Key::OtherExecute, QStringLiteral("sqlite3")},
             {Key::OtherServer, store::demoDatabaseFile()},
             {Key::OtherInputFileFlag, QStringLiteral("<")},
             {Key::OtherInputFile, QStringLiteral("in.sql")},
             {Key::OtherOutputFileFlag, QStringLiteral(">")},
             {Key::OtherOutputFile, QStringLiteral("out.txt")}});
    auto d = makeDocument(QString::fromLatin1(kScript));
    d->setResultsInText(false);
    runAndWait(*d);
    EXPECT_EQ(readFile(home.file(QStringLiteral("in.sql"))), QByteArray(kScript));
    EXPECT_EQ(results(*d), QStringLiteral("6\r\nBeverages\r\nBakery\r\n")); // line by line
    EXPECT_EQ(messages(*d), QStringLiteral("sqlite3 ") + store::demoDatabaseFile() +
                                QStringLiteral("    <in.sql >out.txt \r\n\r\n"
                                               "Click on Syntax Check to reload the file!\r\n"
                                               "sqlite3 ended with exit code 0.\r\n"));
    ResultPanes* panes = d->parts().results;
    EXPECT_TRUE(panes->resultsInText());
    EXPECT_EQ(panes->currentIndex(), int(ResultPanes::ResultsTab));
    EXPECT_NEAR(d->parts().lowerSplitter->ratioFromTop(), 0.7, 0.05);
}

TEST_F(ExternalToolsTest, WithoutAnOutputFileWhatTheToolPrintsIsTheResult) {
    useTool({{Key::OtherExecute, QStringLiteral("sqlite3")},
             {Key::OtherServer, store::demoDatabaseFile()},
             {Key::OtherDatabaseFlag, QStringLiteral("-header")}, // a switch without a value
             {Key::OtherInputFileFlag, QStringLiteral("<")},
             {Key::OtherInputFile, home.file(QStringLiteral("my script.sql"))}});
    auto d = makeDocument(
        QStringLiteral("select id, name from categories where id = 3;\nselect * from nosuch;\n"));
    runAndWait(*d);
    const QString out = results(*d);
    EXPECT_TRUE(out.startsWith(QLatin1String("id|name\r\n3|Dairy\r\n"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QLatin1String("no such table: nosuch")))
        << out.toStdString(); // its error, in place
    EXPECT_TRUE(messages(*d).endsWith(QLatin1String("sqlite3 ended with exit code 1.\r\n")));
}

TEST_F(ExternalToolsTest, TheMessagePaneMasksThePassword) {
    useTool({{Key::OtherExecute, QStringLiteral("true")},
             {Key::OtherUserFlag, QStringLiteral("-u")},
             {Key::OtherUser, QStringLiteral("me")},
             {Key::OtherPasswordFlag, QStringLiteral("--password=")},
             {Key::OtherPassword, QStringLiteral("hunter2")}});
    auto d = makeDocument(QStringLiteral("select 1"));
    runAndWait(*d);
    EXPECT_TRUE(messages(*d).startsWith(QLatin1String("true   -ume --password=****  \r\n")))
        << messages(*d).toStdString();
    EXPECT_FALSE(messages(*d).contains(QLatin1String("hunter2")));
}

TEST_F(ExternalToolsTest, AToolThatCannotStartSaysSoOnTheMessagesTab) {
    useTool({{Key::OtherExecute, QStringLiteral("no-such-query-tool")}});
    auto d = makeDocument(QStringLiteral("select 1"));
    runAndWait(*d);
    EXPECT_TRUE(
        messages(*d).startsWith(QLatin1String("no-such-query-tool      \r\n\r\nClick on Syntax Check")));
    EXPECT_TRUE(
        messages(*d).endsWith(QLatin1String("Error: The program \"no-such-query-tool\" could not be started: "
                                            "File not found (error 53).\r\n")))
        << messages(*d).toStdString();
    EXPECT_EQ(d->parts().results->currentIndex(), int(ResultPanes::MessagesTab));

    // A tool that is not chosen correctly starts nothing and says why.
    ASSERT_TRUE(settings::write(Key::ExecutionSelected, QStringLiteral("isql")));
    runAndWait(*d);
    EXPECT_TRUE(messages(*d).startsWith(QLatin1String("No external tool was started: executionselected")));
}

TEST_F(ExternalToolsTest, StopEndsTheTool) {
    useTool({{Key::OtherExecute, QStringLiteral("sleep")}, {Key::OtherServer, QStringLiteral("30")}});
    auto d = makeDocument(QStringLiteral("select 1"));
    d->startExec();
    QTest::qWait(50);
    ASSERT_TRUE(d->isRunning());
    d->startExec(); // a second start while it runs is refused
    EXPECT_TRUE(messages(*d).contains(QLatin1String("Error: sleep is still running for this document")));
    d->execute(DocumentCommand::Stop);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !d->isRunning(); }, 10000));
    EXPECT_TRUE(messages(*d).endsWith(QLatin1String("...sleep stopped by User...\r\n")));
}

TEST_F(ExternalToolsTest, QueryCheckSummarisesWithoutTheDatabase) {
    ASSERT_TRUE(settings::write(Key::ExecutionPlan, QStringLiteral("0")));
    auto d = makeDocument(QStringLiteral("-- first\r\nselect id\r\nfrom t\r\n-- note\r\nupdate t set a = 1"));
    d->editor()->setSelection(1, 0, 3, 7); // "select id" to the end of the comment
    d->execute(DocumentCommand::QueryCheck);
    EXPECT_EQ(messages(*d), QStringLiteral("Query Information\r\n-------------------------------------\r\n"
                                           "Connection: Driver={SQLite3};Database=x.db;PWD=****;\r\n"
                                           "Catalog: \r\nSQL Style: 0\r\nSQL Type: SELECT\r\n"
                                           "SQL Query: select id from t\r\n"));
    EXPECT_EQ(d->statementType(), QStringLiteral("SELECT"));
    ResultPanes* panes = d->parts().results;
    EXPECT_FALSE(panes->isTabVisible(ResultPanes::ResultsTab));
    EXPECT_EQ(panes->currentIndex(), int(ResultPanes::MessagesTab));
    EXPECT_EQ(panes->messagePane()->lexer(), nullptr); // the summary is shown uncoloured
    EXPECT_NEAR(d->parts().lowerSplitter->ratioFromTop(), 0.7, 0.05);

    // nothing selected: the whole script, classified by its first statement (also
    // after typing over a selection, which the editor still reports as selected)
    d->editor()->selectAll();
    QTest::keyClicks(d->editor(), QStringLiteral("-- first"));
    QTest::keyClick(d->editor(), Qt::Key_Return);
    QTest::keyClicks(d->editor(), QStringLiteral("select id"));
    QTest::keyClick(d->editor(), Qt::Key_Return);
    QTest::keyClicks(d->editor(), QStringLiteral("from t update t set a = 1"));
    d->execute(DocumentCommand::QueryCheck);
    EXPECT_TRUE(messages(*d).contains(
        QLatin1String("\r\nSQL Type: SELECT\r\nSQL Query: select id from t update t set a = 1\r\n")));
}

TEST_F(ExternalToolsTest, QueryCheckReloadsTheToolsOutputFile) {
    writeFile(home.file(QStringLiteral("isqlw.txt")), "graphical tool output\r\n");
    writeFile(home.file(QStringLiteral("other.txt")), "other tool output\n");
    ASSERT_TRUE(settings::write({{Key::ExecutionPlan, QStringLiteral("1")},
                                 {Key::ExecutionSelected, QStringLiteral("ISQLW")},
                                 {Key::IsqlwOutputFile, QStringLiteral("isqlw.txt")},
                                 {Key::OtherOutputFile, home.file(QStringLiteral("other.txt"))}}));
    auto d = makeDocument(QStringLiteral("select 1"));
    d->setResultsInText(false);
    const QString before = messages(*d);
    d->execute(DocumentCommand::QueryCheck);
    EXPECT_EQ(results(*d), QStringLiteral("graphical tool output\r\n"));
    EXPECT_EQ(messages(*d), before); // nothing summarised, nothing sent
    EXPECT_TRUE(d->parts().results->resultsInText());
    EXPECT_EQ(d->parts().results->currentIndex(), int(ResultPanes::ResultsTab));
    EXPECT_FALSE(d->parts().results->isTabVisible(ResultPanes::ExtendedTab));

    ASSERT_TRUE(settings::write(Key::ExecutionSelected, QStringLiteral("Other")));
    d->execute(DocumentCommand::QueryCheck);
    EXPECT_EQ(results(*d), QStringLiteral("other tool output\r\n"));

    // a file that is not there leaves the pane as it was
    ASSERT_TRUE(settings::write(Key::OtherOutputFile, home.file(QStringLiteral("gone.txt"))));
    d->execute(DocumentCommand::QueryCheck);
    EXPECT_EQ(results(*d), QStringLiteral("other tool output\r\n"));
}

TEST_F(ExternalToolsTest, TheGraphicalToolsOutputIsWatchedAndReloaded) {
    // A stand-in "isqlw" on the PATH that writes its output file a moment
    // after it started, from the input file it was given.
    const QString bin = home.file(QStringLiteral("bin"));
    ASSERT_TRUE(QDir().mkpath(bin));
    const QString tool = bin + QStringLiteral("/isqlw");
    writeFile(
        tool,
        "#!/bin/sh\n"
        "while [ $# -gt 0 ]; do case \"$1\" in -i) in=$2; shift;; -o) out=$2; shift;; esac; shift; done\n"
        "sleep 0.3\ncat \"$in\" > \"$out\"\necho '(1 row affected)' >> \"$out\"\nsleep 1\n");
    QFile::setPermissions(tool, QFile::permissions(tool) | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.toLocal8Bit() + ':' + path);
    ASSERT_TRUE(settings::write({{Key::ExecutionPlan, QStringLiteral("1")},
                                 {Key::ExecutionSelected, QStringLiteral("ISQLW")},
                                 {Key::IsqlwServer, QStringLiteral("db1")},
                                 {Key::IsqlwPassword, QStringLiteral("pw")},
                                 {Key::IsqlwInputFile, QStringLiteral("in.sql")},
                                 {Key::IsqlwOutputFile, QStringLiteral("out dir/out.txt")}}));
    ASSERT_TRUE(QDir().mkpath(home.file(QStringLiteral("out dir"))));
    auto d = makeDocument(QStringLiteral("select 1"));
    d->startExec();
    EXPECT_TRUE(d->parts().watch->isActive());
    const bool ended = QTest::qWaitFor([&] { return !d->isRunning(); }, 15000);
    qputenv("PATH", path);
    ASSERT_TRUE(ended);
    EXPECT_EQ(results(*d), QStringLiteral("select 1(1 row affected)\r\n"));
    EXPECT_GE(d->parts().watch->reloads(), 1);
    EXPECT_TRUE(
        messages(*d).startsWith(QLatin1String("ISQLW  -Sdb1 -d -U -P**** -i in.sql -o out dir/out.txt\r\n")));
    EXPECT_TRUE(messages(*d).endsWith(QLatin1String("isqlw ended with exit code 0.\r\n")));
}

TEST_F(ExternalToolsTest, AnOutputFileLeftFromAnEarlierRunIsNotShownAsThisRunsOutput) {
    writeFile(home.file(QStringLiteral("old.txt")), "yesterday's rows\n");
    useTool({{Key::OtherExecute, QStringLiteral("true")},
             {Key::OtherOutputFileFlag, QStringLiteral("-o")},
             {Key::OtherOutputFile, QStringLiteral("old.txt")}});
    auto d = makeDocument(QStringLiteral("select 1"));
    runAndWait(*d);
    EXPECT_TRUE(results(*d).isEmpty()) << results(*d).toStdString();
    EXPECT_TRUE(messages(*d).contains(QLatin1String("true did not write "))) << messages(*d).toStdString();
}

namespace {
// Whether the arguments of a program this test started (the tool) hold
// text: what `ps` shows every local user. Other tests running meanwhile
// may well have the same password in theirs.
bool processListMentions(const QByteArray& text) {
    const QByteArray self = QByteArray::number(QCoreApplication::applicationPid());
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        if (!pid.front().isDigit()) continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly)) continue;
        const QByteArray s = stat.readAll();
        const QList<QByteArray> fields = s.mid(s.lastIndexOf(')') + 2).split(' ');
        if (fields.value(1) != self) continue; // not a child of this test
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (cmdline.open(QIODevice::ReadOnly) && cmdline.readAll().contains(text)) return true;
    }
    return false;
}
} // namespace

TEST_F(ExternalToolsTest, TheRealClientsGetThePasswordOutsideTheProcessList) {
    struct Client {
        const ServerUnderTest* server;
        const char* program;
        const char* script;
    };
    QString pgString, mariaString;
    SQLQE_REQUIRE_SERVER(kPostgres, pgString);
    SQLQE_REQUIRE_SERVER(kMariaDb, mariaString);
    for (const Client& c : {Client{&kPostgres, "psql", "SELECT current_user AS who, pg_sleep(1.5);\n"},
                            Client{&kMariaDb, "mariadb", "SELECT CURRENT_USER() AS who, SLEEP(1.5);\n"}}) {
        SCOPED_TRACE(c.program);
        const QString cs = serverConnectionString(*c.server);
        ASSERT_FALSE(QStandardPaths::findExecutable(QLatin1String(c.program)).isEmpty())
            << c.program << " is missing: scripts/install-deps installs it with the servers";
        const db::ConnectionString parts(cs);
        const QString password = parts.value(QStringLiteral("Pwd")).value_or(QString());
        const bool pg = c.server == &kPostgres;
        useTool({{Key::OtherExecute, QLatin1String(c.program)},
                 {Key::OtherServerFlag, QStringLiteral("-h")},
                 {Key::OtherServer, parts.value(QStringLiteral("Server")).value_or(QString())},
                 {Key::OtherDatabaseFlag, (pg ? QStringLiteral("-p %1 -d") : QStringLiteral("--port=%1 -D"))
                                              .arg(parts.value(QStringLiteral("Port")).value_or(QString()))},
                 {Key::OtherDatabase, parts.value(QStringLiteral("Database")).value_or(QString())},
                 {Key::OtherUserFlag, pg ? QStringLiteral("-U") : QStringLiteral("-u")},
                 {Key::OtherUser, parts.value(QStringLiteral("Uid")).value_or(QString())},
                 {Key::OtherPasswordFlag, pg ? QStringLiteral("-W") : QStringLiteral("-p")},
                 {Key::OtherPassword, password},
                 {Key::OtherInputFileFlag, QStringLiteral("<")},
                 {Key::OtherInputFile, QStringLiteral("in.sql")}});
        auto d = makeDocument(QString::fromLatin1(c.script));
        d->startExec();
        bool seen = false;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                seen |= processListMentions(password.toUtf8());
                return !d->isRunning();
            },
            15000));
        EXPECT_FALSE(seen) << "the password was in the process list";
        EXPECT_TRUE(results(*d).contains(QLatin1String("sqlqe_test")))
            << results(*d).toStdString() << messages(*d).toStdString();
        EXPECT_TRUE(messages(*d).contains(QLatin1String("The password went to ")))
            << messages(*d).toStdString();
        EXPECT_FALSE(messages(*d).contains(password));
    }
}
