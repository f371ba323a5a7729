// Starting an external tool for real: the arguments arrive exactly as built
// (no shell in between), the script is in the input file before the start,
// what the tool prints comes back, and a tool that cannot start says why.
#include "external/ToolProcess.h"

#include "support/Files.h"
#include "support/PeakMemory.h"
#include "support/TempHome.h"

#include <QCoreApplication>
#include <QDir>
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
    QObject::connect(&p, &ToolProcess::output, [&r](const QByteArray& bytes, bool errorChannel) {
        (errorChannel ? r.errors : r.printed) += QString::fromUtf8(bytes);
    });
    QObject::connect(&p, &ToolProcess::failed, [&r](const QString& m) {
        r.failure = m;
        r.ended = true;
    });
    QObject::connect(&p, &ToolProcess::finished, [&r](int code, bool crashed) {
        r.exitCode = code;
        r.crashed = crashed;
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
    static const char kFakeElf[] = "\x7f"
                                   "ELF\x02\x01\x01 garbage that is no program";
    writeFile(fake, QByteArray(kFakeElf, sizeof(kFakeElf) - 1));
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
    QObject::connect(&p, &ToolProcess::finished, [&r](int, bool crashed) {
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

namespace {
QString writeTool(TempHome& home, const QString& name, const QByteArray& script) {
    const QString tool = home.file(name);
    writeFile(tool, "#!/bin/sh\n" + script);
    QFile::setPermissions(tool, QFile::permissions(tool) | QFile::ExeOwner);
    return tool;
}
} // namespace

TEST(ToolProcess, StopEndsWhatTheToolStartedEvenWhatIgnoresTerm) {
    TempHome home;
    const QString tool = writeTool(home, QStringLiteral("forks.sh"),
                                   "sleep 300 &\necho child $!\n"
                                   "(trap '' TERM; exec sleep 301) &\necho stubborn $!\nwait\n");
    ToolProcess p;
    ToolRun r;
    QObject::connect(&p, &ToolProcess::output, [&r](const QByteArray& b, bool) { r.printed += QString::fromUtf8(b); });
    QObject::connect(&p, &ToolProcess::finished, [&r](int, bool) { r.ended = true; });
    ASSERT_TRUE(p.start(other(home.path(), {{Key::OtherExecute, tool}}), QString()));
    QElapsedTimer t;
    t.start();
    while (r.printed.count(QLatin1Char('\n')) < 2 && t.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    const QStringList lines = r.printed.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << r.printed.toStdString();
    const qint64 child = lines[0].section(QLatin1Char(' '), 1).toLongLong();
    const qint64 stubborn = lines[1].section(QLatin1Char(' '), 1).toLongLong();
    ASSERT_GT(child, 0);
    ASSERT_GT(stubborn, 0);
    p.stop();
    t.restart();
    while ((!processEnded(child) || !processEnded(stubborn) || !r.ended) && t.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(r.ended);
    EXPECT_TRUE(processEnded(child)) << "the tool's child was left running";
    EXPECT_TRUE(processEnded(stubborn)) << "a child that ignores TERM was left running";
    EXPECT_LT(t.elapsed(), ToolProcess::kGraceMs + 3000);
}

TEST(ToolProcess, APasswordGoesToTheEnvironmentOfToolsThatReadItThere) {
    TempHome home;
    ASSERT_TRUE(QDir().mkpath(home.file(QStringLiteral("bin"))));
    // stand-ins that print what they were given: arguments, and the variables they read
    const QByteArray body = "for a in \"$@\"; do echo \"arg=$a\"; done\n"
                            "echo \"PGPASSWORD=$PGPASSWORD MYSQL_PWD=$MYSQL_PWD SQLCMDPASSWORD=$SQLCMDPASSWORD\"\n";
    struct Case {
        const char* program;
        const char* variable; // empty: the tool gets it as its switch
    };
    for (const Case c : {Case{"psql", "PGPASSWORD"}, Case{"mariadb", "MYSQL_PWD"}, Case{"sqlcmd", "SQLCMDPASSWORD"},
                         Case{"tsql", ""}}) {
        SCOPED_TRACE(c.program);
        const QString tool = writeTool(home, QStringLiteral("bin/") + QLatin1String(c.program), body);
        ToolProcess p;
        const ToolCommand command = other(home.path(), {{Key::OtherExecute, tool},
                                                        {Key::OtherUserFlag, QStringLiteral("-U")},
                                                        {Key::OtherUser, QStringLiteral("me")},
                                                        {Key::OtherPasswordFlag, QStringLiteral("-P")},
                                                        {Key::OtherPassword, QStringLiteral("S3cret pw")}});
        const ToolRun r = runTool(p, command, QString());
        ASSERT_TRUE(r.failure.isEmpty()) << r.failure.toStdString();
        if (*c.variable) {
            EXPECT_FALSE(r.printed.contains(QLatin1String("arg=-P"))) << r.printed.toStdString();
            EXPECT_TRUE(r.printed.contains(QLatin1String(c.variable) + QStringLiteral("=S3cret pw ")) ||
                        r.printed.endsWith(QLatin1String(c.variable) + QStringLiteral("=S3cret pw\n")))
                << r.printed.toStdString();
            EXPECT_FALSE(command.commandLine.contains(QLatin1String("S3cret")));
        } else {
            EXPECT_TRUE(r.printed.contains(QLatin1String("arg=-PS3cret pw"))) << r.printed.toStdString();
        }
        EXPECT_TRUE(r.printed.startsWith(QLatin1String("arg=-Ume\n"))) << r.printed.toStdString();
    }
}
