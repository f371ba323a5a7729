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
#include <functional>
#include <gtest/gtest.h>

using external::ToolCommand;
using external::ToolProcess;
using settings::Key;

namespace {

struct ToolRun {
    QString printed;
    int exitCode = -1;
    bool crashed = false;
    QString errors;
    QString failure;
    bool ended = false;
};

// A tool process in a throwaway home, with what it told so far in r.
class ToolProcessTest : public ::testing::Test {
protected:
    ToolProcessTest() {
        QObject::connect(&p, &ToolProcess::output, [this](const QByteArray& bytes, bool errorChannel) {
            (errorChannel ? r.errors : r.printed) += QString::fromUtf8(bytes);
        });
        QObject::connect(&p, &ToolProcess::failed, [this](const QString& m) {
            r.failure = m;
            r.ended = true;
        });
        QObject::connect(&p, &ToolProcess::finished, [this](int code, bool crashed) {
            r.exitCode = code;
            r.crashed = crashed;
            r.ended = true;
        });
    }

    // The "Other" tool set to values, run in the home.
    ToolCommand other(std::initializer_list<std::pair<Key, QString>> values) const {
        settings::Snapshot s;
        s.set(Key::ExecutionSelected, QStringLiteral("Other"));
        for (const auto& [key, value] : values)
            s.set(key, value);
        return *external::buildToolCommand(s, home.path());
    }

    // A file of the home holding bytes, executable by its owner.
    QString executable(const QString& name, const QByteArray& bytes) const {
        const QString path = home.file(name);
        writeFile(path, bytes);
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
        return path;
    }

    // Handles events until done() or timeoutMs have passed; the time taken.
    qint64 waitUntil(const std::function<bool()>& done, int timeoutMs) {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < timeoutMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return t.elapsed();
    }

    // Starts c with script and waits for the tool's end.
    const ToolRun& run(const ToolCommand& c, const QString& script = QString()) {
        r = ToolRun();
        const Status started = p.start(c, script);
        if (!started)
            r.failure = started.error();
        else
            waitUntil([this] { return r.ended; }, 15000);
        return r;
    }

    TempHome home;
    ToolRun r;
    ToolProcess p;
};

} // namespace

TEST_F(ToolProcessTest, ArgumentsArriveAsBuiltWithoutAShell) {
    run(other({{Key::OtherExecute, QStringLiteral("printf")},
               {Key::OtherServer, QStringLiteral("[%s]\\n")},
               {Key::OtherDatabaseFlag, QStringLiteral("-d")},
               {Key::OtherDatabase, QStringLiteral("my db")},
               {Key::OtherUserFlag, QStringLiteral("-U ")},
               {Key::OtherUser, QStringLiteral("o'neil \"x\"")},
               {Key::OtherPasswordFlag, QStringLiteral("-P")},
               {Key::OtherPassword, QStringLiteral("p w;$HOME `id` *")}}));
    ASSERT_TRUE(r.failure.isEmpty()) << r.failure.toStdString();
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.printed, QStringLiteral("[-dmy db]\n[-U]\n[o'neil \"x\"]\n[-Pp w;$HOME `id` *]\n"));
}

TEST_F(ToolProcessTest, TheScriptIsWrittenBeforeTheStartAndReadAsInput) {
    writeFile(home.file(QStringLiteral("in.sql")), "an older script that is longer than the new one\n");
    const QString script = QStringLiteral("select 'é';\r\nselect 2;");
    run(other({{Key::OtherExecute, QStringLiteral("cat")},
               {Key::OtherInputFileFlag, QStringLiteral("<")},
               {Key::OtherInputFile, QStringLiteral("in.sql")}}),
        script);
    ASSERT_TRUE(r.failure.isEmpty()) << r.failure.toStdString();
    EXPECT_EQ(r.printed, script);
    EXPECT_EQ(readFile(home.file(QStringLiteral("in.sql"))), script.toUtf8());
}

TEST_F(ToolProcessTest, OutputToAFileAndErrorsApart) {
    run(other({{Key::OtherExecute, QStringLiteral("ls")},
               {Key::OtherServer, home.path()},
               {Key::OtherDatabase, QStringLiteral("/no/such/entry")},
               {Key::OtherOutputFileFlag, QStringLiteral(">")},
               {Key::OtherOutputFile, QStringLiteral("out.txt")}}));
    ASSERT_TRUE(r.ended);
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.printed.isEmpty());
    EXPECT_TRUE(r.errors.contains(QLatin1String("/no/such/entry"))) << r.errors.toStdString();
    EXPECT_TRUE(readFile(home.file(QStringLiteral("out.txt"))).contains("out.txt")); // ls listed the home
}

TEST_F(ToolProcessTest, AProgramThatIsNotThereSaysSo) {
    run(other({{Key::OtherExecute, QStringLiteral("no-such-query-tool")}}));
    EXPECT_EQ(r.failure,
              QStringLiteral(
                  "The program \"no-such-query-tool\" could not be started: File not found (error 53)."));
    run(other({{Key::OtherExecute, home.file(QStringLiteral("bin/tool"))}}));
    EXPECT_TRUE(r.failure.contains(QLatin1String("Path not found (error 76)"))) << r.failure.toStdString();
    writeFile(home.file(QStringLiteral("notes.txt")), "plain text");
    run(other({{Key::OtherExecute, home.file(QStringLiteral("notes.txt"))}}));
    EXPECT_TRUE(r.failure.contains(QLatin1String("Path/file access error (error 75)")))
        << r.failure.toStdString();
}

TEST_F(ToolProcessTest, AFileThatIsNoProgramFailsToStart) {
    static const char kFakeElf[] = "\x7f"
                                   "ELF\x02\x01\x01 garbage that is no program";
    run(other({{Key::OtherExecute,
                executable(QStringLiteral("fake-tool"), QByteArray(kFakeElf, sizeof(kFakeElf) - 1))}}));
    EXPECT_TRUE(r.failure.contains(QLatin1String("The executable file is invalid or corrupt")))
        << r.failure.toStdString() << " exit " << r.exitCode;
}

TEST_F(ToolProcessTest, AnUnwritableInputFileStopsTheHandOver) {
    run(other({{Key::OtherExecute, QStringLiteral("cat")},
               {Key::OtherInputFile, QStringLiteral("missing/dir/in.sql")}}),
        QStringLiteral("select 1"));
    EXPECT_TRUE(r.failure.startsWith(QLatin1String("The script was not handed over: ")))
        << r.failure.toStdString();
    EXPECT_FALSE(p.isRunning());
}

TEST_F(ToolProcessTest, StopEndsARunningTool) {
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(p.start(
        other({{Key::OtherExecute, QStringLiteral("sleep")}, {Key::OtherServer, QStringLiteral("30")}}),
        QString()));
    QCoreApplication::processEvents();
    ASSERT_TRUE(p.isRunning());
    EXPECT_FALSE(p.start(other({{Key::OtherExecute, QStringLiteral("true")}}), QString()));
    p.stop();
    waitUntil([this] { return r.ended; }, 10000);
    EXPECT_TRUE(r.ended);
    EXPECT_LT(t.elapsed(), 5000);
    EXPECT_FALSE(p.isRunning());
}

TEST_F(ToolProcessTest, StopEndsWhatTheToolStartedEvenWhatIgnoresTerm) {
    const QString tool =
        executable(QStringLiteral("forks.sh"), "#!/bin/sh\nsleep 300 &\necho child $!\n"
                                               "(trap '' TERM; exec sleep 301) &\necho stubborn $!\nwait\n");
    ASSERT_TRUE(p.start(other({{Key::OtherExecute, tool}}), QString()));
    waitUntil([this] { return r.printed.count(QLatin1Char('\n')) >= 2; }, 5000);
    const QStringList lines = r.printed.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << r.printed.toStdString();
    const qint64 child = lines[0].section(QLatin1Char(' '), 1).toLongLong();
    const qint64 stubborn = lines[1].section(QLatin1Char(' '), 1).toLongLong();
    ASSERT_GT(child, 0);
    ASSERT_GT(stubborn, 0);
    p.stop();
    const qint64 took =
        waitUntil([&] { return processEnded(child) && processEnded(stubborn) && r.ended; }, 10000);
    EXPECT_TRUE(r.ended);
    EXPECT_TRUE(processEnded(child)) << "the tool's child was left running";
    EXPECT_TRUE(processEnded(stubborn)) << "a child that ignores TERM was left running";
    EXPECT_LT(took, ToolProcess::kGraceMs + 3000);
}

TEST_F(ToolProcessTest, APasswordGoesToTheEnvironmentOfToolsThatReadItThere) {
    ASSERT_TRUE(QDir().mkpath(home.file(QStringLiteral("bin"))));
    // stand-ins that print what they were given: arguments, and the variables they read
    const QByteArray body =
        "#!/bin/sh\nfor a in \"$@\"; do echo \"arg=$a\"; done\n"
        "echo \"PGPASSWORD=$PGPASSWORD MYSQL_PWD=$MYSQL_PWD SQLCMDPASSWORD=$SQLCMDPASSWORD\"\n";
    struct Case {
        const char* program;
        const char* variable; // empty: the tool gets it as its switch
    };
    for (const Case c : {Case{"psql", "PGPASSWORD"}, Case{"mariadb", "MYSQL_PWD"},
                         Case{"sqlcmd", "SQLCMDPASSWORD"}, Case{"tsql", ""}}) {
        SCOPED_TRACE(c.program);
        const ToolCommand command =
            other({{Key::OtherExecute, executable(QStringLiteral("bin/") + c.program, body)},
                   {Key::OtherUserFlag, QStringLiteral("-U")},
                   {Key::OtherUser, QStringLiteral("me")},
                   {Key::OtherPasswordFlag, QStringLiteral("-P")},
                   {Key::OtherPassword, QStringLiteral("S3cret pw")}});
        run(command);
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
