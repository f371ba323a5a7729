// Starting an external tool for real: the arguments arrive exactly as built
// (no shell in between), the script is in the input file before the start,
// what the tool prints comes back, and a tool that cannot start says why.
#include "external/ToolProcess.h"

#include "support/Files.h"
#include "support/TempHome.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>

using external::ToolCommand;
using external::ToolProcess;
using settings::Key;

namespace {

ToolCommand other(const QString& folder, std::initializer_list<std::pair<Key, QString>> values) {
    settings::Snapshot s;
    s.set(Key::ExecutionSelected, QStringLiteral("Other"));
    for (const auto& [key, value] : values)
        s.set(key, value);
    return *external::buildToolCommand(s, folder);
}

struct ToolRun {
    QString printed;
    int exitCode = -1;
    bool crashed = false;
    QString errors;
    QString failure;
    bool ended = false;
};

ToolRun runTool(ToolProcess& p, const ToolCommand& c, const QString& script, int timeoutMs = 15000) {
    ToolRun r;
    QObject::connect(&p, &ToolProcess::output, [&r](const QString& t) { r.printed += t; });
    QObject::connect(&p, &ToolProcess::failed, [&r](const QString& m) {
        r.failure = m;
        r.ended = true;
    });
    QObject::connect(&p, &ToolProcess::finished, [&r](int code, bool crashed, const QString& errors) {
        r.exitCode = code;
        r.crashed = crashed;
        r.errors = errors;
        r.ended = true;
    });
    const Status started = p.start(c, script);
    if (!started) {
        r.failure = started.error();
        return r;
    }
    QElapsedTimer t;
    t.start();
    while (!r.ended && t.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return r;
}

} // namespace

TEST(ToolProcess, ArgumentsArriveAsBuiltWithoutAShell) {
    TempHome home;
    ToolProcess p;
    const ToolCommand c = other(home.path(), {{Key::OtherExecute, QStringLiteral("printf")},
                                              {Key::OtherServer, QStringLiteral("[%s]\\n")},
                                              {Key::OtherDatabaseFlag, QStringLiteral("-d")},
                                              {Key::OtherDatabase, QStringLiteral("my db")},
                                              {Key::OtherUserFlag, QStringLiteral("-U ")},
                                              {Key::OtherUser, QStringLiteral("o'neil \"x\"")},
                                              {Key::OtherPasswordFlag, QStringLiteral("-P")},
                                              {Key::OtherPassword, QStringLiteral("p w;$HOME `id` *")}});
    const ToolRun r = runTool(p, c, QString());
    ASSERT_TRUE(r.failure.isEmpty()) << r.failure.toStdString();
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.printed, QStringLiteral("[-dmy db]\n[-U]\n[o'neil \"x\"]\n[-Pp w;$HOME `id` *]\n"));
}

TEST(ToolProcess, TheScriptIsWrittenBeforeTheStartAndReadAsInput) {
    TempHome home;
    writeFile(home.file(QStringLiteral("in.sql")), "an older script that is longer than the new one\n");
    ToolProcess p;
    const ToolCommand c = other(home.path(), {{Key::OtherExecute, QStringLiteral("cat")},
                                              {Key::OtherInputFileFlag, QStringLiteral("<")},
                                              {Key::OtherInputFile, QStringLiteral("in.sql")}});
    const QString script = QStringLiteral("select 'é';\r\nselect 2;");
    const ToolRun r = runTool(p, c, script);
    ASSERT_TRUE(r.failure.isEmpty()) << r.failure.toStdString();
    EXPECT_EQ(r.printed, script);
    EXPECT_EQ(readFile(home.file(QStringLiteral("in.sql"))), script.toUtf8());
}

TEST(ToolProcess, OutputToAFileAndErrorsApart) {
    TempHome home;
    ToolProcess p;
    const ToolCommand c = other(home.path(), {{Key::OtherExecute, QStringLiteral("ls")},
                                              {Key::OtherServer, home.path()},
                                              {Key::OtherDatabase, QStringLiteral("/no/such/entry")},
                                              {Key::OtherOutputFileFlag, QStringLiteral(">")},
                                              {Key::OtherOutputFile, QStringLiteral("out.txt")}});
    const ToolRun r = runTool(p, c, QString());
    ASSERT_TRUE(r.ended);
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.printed.isEmpty());
    EXPECT_TRUE(r.errors.contains(QLatin1String("/no/such/entry"))) << r.errors.toStdString();
    EXPECT_TRUE(readFile(home.file(QStringLiteral("out.txt"))).contains("out.txt")); // ls listed the home
}

TEST(ToolProcess, AProgramThatIsNotThereSaysSo) {
    TempHome home;
    ToolProcess p;
    ToolRun r = runTool(p, other(home.path(), {{Key::OtherExecute, QStringLiteral("no-such-query-tool")}}),
                        QString());
    EXPECT_EQ(r.failure,
              QStringLiteral(
                  "The program \"no-such-query-tool\" could not be started: File not found (error 53)."));
    r = runTool(p, other(home.path(), {{Key::OtherExecute, home.file(QStringLiteral("bin/tool"))}}),
                QString());
    EXPECT_TRUE(r.failure.contains(QLatin1String("Path not found (error 76)"))) << r.failure.toStdString();
    writeFile(home.file(QStringLiteral("notes.txt")), "plain text");
    r = runTool(p, other(home.path(), {{Key::OtherExecute, home.file(QStringLiteral("notes.txt"))}}),
                QString());
    EXPECT_TRUE(r.failure.contains(QLatin1String("Path/file access error (error 75)")))
        << r.failure.toStdString();
}

TEST(ToolProcess, AFileThatIsNoProgramFailsToStart) {
    TempHome home;
    const QString fake = home.file(QStringLiteral("fake-tool"));
    writeFile(fake, QByteArray("\x7f"
                               "ELF\x02\x01\x01 garbage that is no program",
                               40));
    QFile::setPermissions(fake, QFile::permissions(fake) | QFile::ExeOwner);
    ToolProcess p;
    const ToolRun r = runTool(p, other(home.path(), {{Key::OtherExecute, fake}}), QString());
    EXPECT_TRUE(r.failure.contains(QLatin1String("The executable file is invalid or corrupt")))
        << r.failure.toStdString() << " exit " << r.exitCode;
}

TEST(ToolProcess, AnUnwritableInputFileStopsTheHandOver) {
    TempHome home;
    ToolProcess p;
    const ToolCommand c = other(home.path(), {{Key::OtherExecute, QStringLiteral("cat")},
                                              {Key::OtherInputFile, QStringLiteral("missing/dir/in.sql")}});
    const ToolRun r = runTool(p, c, QStringLiteral("select 1"));
    EXPECT_TRUE(r.failure.startsWith(QLatin1String("The script was not handed over: ")))
        << r.failure.toStdString();
    EXPECT_FALSE(p.isRunning());
}

TEST(ToolProcess, StopEndsARunningTool) {
    TempHome home;
    ToolProcess p;
    QElapsedTimer t;
    t.start();
    ToolRun r;
    QObject::connect(&p, &ToolProcess::finished, [&r](int, bool crashed, const QString&) {
        r.crashed = crashed;
        r.ended = true;
    });
    ASSERT_TRUE(p.start(other(home.path(), {{Key::OtherExecute, QStringLiteral("sleep")},
                                            {Key::OtherServer, QStringLiteral("30")}}),
                        QString()));
    QCoreApplication::processEvents();
    ASSERT_TRUE(p.isRunning());
    EXPECT_FALSE(p.start(other(home.path(), {{Key::OtherExecute, QStringLiteral("true")}}), QString()));
    p.stop();
    while (!r.ended && t.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(r.ended);
    EXPECT_LT(t.elapsed(), 5000);
    EXPECT_FALSE(p.isRunning());
}
