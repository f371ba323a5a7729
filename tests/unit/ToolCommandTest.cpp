// The command lines of the external tools, character for character, and the
// argument lists built from the same pieces.
#include "external/ToolCommand.h"

#include <gtest/gtest.h>

using external::Tool;
using external::ToolCommand;
using settings::Key;

namespace {

const QString kFolder = QStringLiteral("/work/home");

settings::Snapshot tool(const char* name, std::initializer_list<std::pair<Key, const char*>> values) {
    settings::Snapshot s;
    s.set(Key::ExecutionPlan, QStringLiteral("1"));
    s.set(Key::ExecutionSelected, QString::fromUtf8(name));
    for (const auto& [key, value] : values)
        s.set(key, QString::fromUtf8(value));
    return s;
}

ToolCommand build(const settings::Snapshot& s) {
    const auto c = external::buildToolCommand(s, kFolder);
    EXPECT_TRUE(c.has_value());
    return c.value_or(ToolCommand{});
}

settings::Snapshot isqlwSample() {
    return tool("ISQLW", {{Key::IsqlwServer, "S"},
                          {Key::IsqlwDatabase, "D"},
                          {Key::IsqlwUser, "U"},
                          {Key::IsqlwPassword, "P"},
                          {Key::IsqlwTrustedConnection, "0"},
                          {Key::IsqlwShellOpen, "0"},
                          {Key::IsqlwInputFile, "in.sql"},
                          {Key::IsqlwOutputFile, "out.txt"}});
}

} // namespace

TEST(ToolCommand, GraphicalToolWithInputAndOutputFiles) {
    const ToolCommand c = build(isqlwSample());
    EXPECT_EQ(c.tool, Tool::Isqlw);
    EXPECT_EQ(c.program, QStringLiteral("isqlw"));
    EXPECT_EQ(c.commandLine, QStringLiteral(" -SS -dD -UU -PP -i in.sql -o out.txt"));
    EXPECT_EQ(c.shownCommandLine, QStringLiteral(" -SS -dD -UU -P**** -i in.sql -o out.txt"));
    EXPECT_EQ(c.arguments, QStringList({"-SS", "-dD", "-UU", "-PP", "-i", "in.sql", "-o", "out.txt"}));
    EXPECT_EQ(c.inputFile, QStringLiteral("/work/home/in.sql"));
    EXPECT_EQ(c.outputFile, QStringLiteral("/work/home/out.txt"));
    EXPECT_EQ(c.workingFolder, kFolder);
    EXPECT_TRUE(c.watchOutput);
    EXPECT_EQ(external::handOverMessage(c),
              QStringLiteral("ISQLW  -SS -dD -UU -P**** -i in.sql -o out.txt\r\n\r\n"
                             "Click on Syntax Check to reload the file!\r\n"));
}

TEST(ToolCommand, ShellOpenPassesTheScriptWithDashFAndNoOutputFile) {
    settings::Snapshot s = isqlwSample();
    s.set(Key::IsqlwShellOpen, QStringLiteral("1"));
    const ToolCommand c = build(s);
    EXPECT_EQ(c.commandLine, QStringLiteral(" -SS -dD -UU -PP -f in.sql"));
    EXPECT_EQ(c.arguments, QStringList({"-SS", "-dD", "-UU", "-PP", "-f", "in.sql"}));
    EXPECT_EQ(c.inputFile, QStringLiteral("/work/home/in.sql"));
    // only exactly "1" opens the script in the tool
    s.set(Key::IsqlwShellOpen, QStringLiteral("yes"));
    EXPECT_EQ(build(s).commandLine, QStringLiteral(" -SS -dD -UU -PP -i in.sql -o out.txt"));
}

TEST(ToolCommand, TrustedConnectionIsTheNumberOne) {
    settings::Snapshot s = isqlwSample();
    s.set(Key::IsqlwInputFile, QString());
    s.set(Key::IsqlwOutputFile, QString());
    for (const char* on : {"1", "01"}) {
        s.set(Key::IsqlwTrustedConnection, QString::fromLatin1(on));
        EXPECT_EQ(build(s).commandLine, QStringLiteral(" -SS -dD -UU -PP -E")) << on;
    }
    for (const char* off : {"", "0", "2", "yes"}) {
        s.set(Key::IsqlwTrustedConnection, QString::fromLatin1(off));
        EXPECT_EQ(build(s).commandLine, QStringLiteral(" -SS -dD -UU -PP")) << off;
    }
}

TEST(ToolCommand, EmptyValuesKeepTheirSwitchesAndNothingIsMasked) {
    const ToolCommand c = build(tool("ISQLW", {}));
    EXPECT_EQ(c.commandLine, QStringLiteral(" -S -d -U -P"));
    EXPECT_EQ(c.shownCommandLine, c.commandLine);
    EXPECT_EQ(c.arguments, QStringList({"-S", "-d", "-U", "-P"}));
    EXPECT_TRUE(c.inputFile.isEmpty());
    EXPECT_TRUE(c.outputFile.isEmpty());
}

TEST(ToolCommand, ValuesWithBlanksAndQuotesStayOneArgument) {
    const ToolCommand c = build(tool("ISQL", {{Key::IsqlServer, "my server"},
                                              {Key::IsqlDatabase, "O'Brien \"db\""},
                                              {Key::IsqlUser, "a b"},
                                              {Key::IsqlPassword, "p w;$HOME"},
                                              {Key::IsqlInputFile, "my in.sql"},
                                              {Key::IsqlOutputFile, "/tmp/out put.txt"}}));
    EXPECT_EQ(c.program, QStringLiteral("isql"));
    EXPECT_EQ(
        c.commandLine,
        QStringLiteral(" -Smy server -dO'Brien \"db\" -Ua b -Pp w;$HOME -i my in.sql -o /tmp/out put.txt"));
    EXPECT_EQ(c.shownCommandLine,
              QStringLiteral(" -Smy server -dO'Brien \"db\" -Ua b -P**** -i my in.sql -o /tmp/out put.txt"));
    EXPECT_EQ(c.arguments, QStringList({"-Smy server", "-dO'Brien \"db\"", "-Ua b", "-Pp w;$HOME", "-i",
                                        "my in.sql", "-o", "/tmp/out put.txt"}));
    EXPECT_EQ(c.inputFile, QStringLiteral("/work/home/my in.sql"));
    EXPECT_EQ(c.outputFile, QStringLiteral("/tmp/out put.txt")); // the file this tool writes
    EXPECT_TRUE(c.watchOutput);
}

TEST(ToolCommand, QuerySwitchEndsTheLineAndUsesNoFiles) {
    const ToolCommand c = build(tool("ISQL", {{Key::IsqlServer, "S"},
                                              {Key::IsqlQuery, "1"},
                                              {Key::IsqlInputFile, "in.sql"},
                                              {Key::IsqlOutputFile, "out.txt"}}));
    EXPECT_EQ(c.commandLine, QStringLiteral(" -SS -d -U -P -q "));
    EXPECT_EQ(c.arguments, QStringList({"-SS", "-d", "-U", "-P", "-q"}));
    EXPECT_TRUE(c.inputFile.isEmpty()); // nothing is saved
    EXPECT_TRUE(c.outputFile.isEmpty());
    EXPECT_FALSE(c.watchOutput); // and nothing watched
}

TEST(ToolCommand, OtherWithoutProgramStartsIsql) {
    const ToolCommand c = build(tool("Other", {}));
    EXPECT_EQ(c.program, QStringLiteral("isql"));
    EXPECT_EQ(c.label, QStringLiteral("isql "));
    EXPECT_EQ(c.commandLine,
              QStringLiteral("     ")); // four empty pairs and the output pair, each with its blank
    EXPECT_TRUE(c.arguments.isEmpty());
    EXPECT_FALSE(c.watchOutput);
}

TEST(ToolCommand, OtherPairsFlagsAndValues) {
    const ToolCommand c = build(tool("Other", {{Key::OtherExecute, "/usr/bin/qtool"},
                                               {Key::OtherServerFlag, "-h "},
                                               {Key::OtherServer, "db host"},
                                               {Key::OtherDatabaseFlag, "--dbname="},
                                               {Key::OtherDatabase, "my shop"},
                                               {Key::OtherUserFlag, "-U"},
                                               {Key::OtherUser, "me"},
                                               {Key::OtherPasswordFlag, "--password="},
                                               {Key::OtherPassword, "s3cr;et"},
                                               {Key::OtherInputFileFlag, "-X -f "},
                                               {Key::OtherInputFile, "in file.sql"},
                                               {Key::OtherOutputFileFlag, "-o "},
                                               {Key::OtherOutputFile, "out.txt"}}));
    EXPECT_EQ(c.program, QStringLiteral("/usr/bin/qtool"));
    EXPECT_EQ(c.label, QStringLiteral("/usr/bin/qtool "));
    EXPECT_EQ(c.commandLine, QStringLiteral("-h db host --dbname=my shop -Ume --password=s3cr;et "
                                            "-X -f in file.sql -o out.txt "));
    EXPECT_EQ(c.shownCommandLine, QStringLiteral("-h db host --dbname=my shop -Ume --password=**** "
                                                 "-X -f in file.sql -o out.txt "));
    EXPECT_EQ(c.arguments, QStringList({"-h", "db host", "--dbname=my shop", "-Ume", "--password=s3cr;et",
                                        "-X", "-f", "in file.sql", "-o", "out.txt"}));
    EXPECT_EQ(c.inputFile, QStringLiteral("/work/home/in file.sql"));
    EXPECT_EQ(c.outputFile, QStringLiteral("/work/home/out.txt"));
    EXPECT_TRUE(c.standardInputFile.isEmpty());
    EXPECT_TRUE(c.standardOutputFile.isEmpty());
    EXPECT_FALSE(c.watchOutput);
}

TEST(ToolCommand, APasswordGoesToTheEnvironmentOfAToolThatReadsItThere) {
    const ToolCommand c = build(tool("Other", {{Key::OtherExecute, "/usr/bin/psql"},
                                               {Key::OtherUserFlag, "-U"},
                                               {Key::OtherUser, "me"},
                                               {Key::OtherPasswordFlag, "--password="},
                                               {Key::OtherPassword, "s3cr;et"},
                                               {Key::OtherInputFileFlag, "-f "},
                                               {Key::OtherInputFile, "in.sql"}}));
    EXPECT_EQ(c.arguments, QStringList({"-Ume", "-f", "in.sql"}));
    EXPECT_EQ(c.commandLine, QStringLiteral("  -Ume  -f in.sql  "));
    EXPECT_EQ(c.environment.value(QStringLiteral("PGPASSWORD")), QStringLiteral("s3cr;et"));
    EXPECT_TRUE(external::handOverMessage(c).endsWith(
        QStringLiteral("The password went to /usr/bin/psql in PGPASSWORD, not on its command line.\r\n")));
    // without a password nothing goes anywhere, and the switch stays as written
    const ToolCommand none = build(tool("Other", {{Key::OtherExecute, "mysql"}, {Key::OtherPasswordFlag, "-p"}}));
    EXPECT_TRUE(none.environment.isEmpty());
    EXPECT_EQ(none.arguments, QStringList({"-p"}));
}

TEST(ToolCommand, OtherRedirectsAndQuotedSwitches) {
    settings::Snapshot s = tool("Other", {{Key::OtherExecute, "sqlite3"},
                                          {Key::OtherServer, "/data/demo.db"},
                                          {Key::OtherInputFileFlag, "<"},
                                          {Key::OtherInputFile, "in.sql"},
                                          {Key::OtherOutputFileFlag, ">"},
                                          {Key::OtherOutputFile, "out.txt"}});
    ToolCommand c = build(s);
    EXPECT_EQ(c.commandLine, QStringLiteral("/data/demo.db    <in.sql >out.txt "));
    EXPECT_EQ(c.arguments, QStringList({"/data/demo.db"}));
    EXPECT_EQ(c.inputFile, QStringLiteral("/work/home/in.sql"));
    EXPECT_EQ(c.standardInputFile, c.inputFile);
    EXPECT_EQ(c.standardOutputFile, QStringLiteral("/work/home/out.txt"));
    EXPECT_EQ(c.outputFile, c.standardOutputFile);

    // a switch in double quotes is one word, and the value joins it
    s.set(Key::OtherInputFileFlag, QStringLiteral("\".read \""));
    s.set(Key::OtherOutputFileFlag, QString());
    s.set(Key::OtherOutputFile, QString());
    c = build(s);
    EXPECT_EQ(c.commandLine, QStringLiteral("/data/demo.db    \".read \"in.sql  "));
    EXPECT_EQ(c.arguments, QStringList({"/data/demo.db", ".read in.sql"}));
    EXPECT_TRUE(c.standardInputFile.isEmpty());
    EXPECT_TRUE(c.outputFile.isEmpty());

    // a switch that takes its value as an argument of its own: a quoted blank
    // or empty quotes end it
    s.set(Key::OtherInputFileFlag, QStringLiteral("-cmd \" \""));
    s.set(Key::OtherInputFile, QStringLiteral(".read in.sql"));
    EXPECT_EQ(build(s).arguments, QStringList({"/data/demo.db", "-cmd", " .read in.sql"}));
    s.set(Key::OtherInputFileFlag, QStringLiteral("-cmd \"\""));
    EXPECT_EQ(build(s).arguments, QStringList({"/data/demo.db", "-cmd", ".read in.sql"}));
}

TEST(ToolCommand, OtherInputSwitchWithoutFile) {
    const ToolCommand c =
        build(tool("Other", {{Key::OtherExecute, "tool"}, {Key::OtherInputFileFlag, "-f "}}));
    EXPECT_EQ(c.commandLine, QStringLiteral("    -f  "));
    EXPECT_EQ(c.arguments, QStringList({"-f"}));
    EXPECT_TRUE(c.inputFile.isEmpty());
}

TEST(ToolCommand, TheToolIsNamedExactly) {
    for (const char* name : {"", "isqlw", "Isql", "OTHER", "psql"})
        EXPECT_FALSE(external::buildToolCommand(tool(name, {}), kFolder).has_value()) << name;
}

TEST(ToolCommand, TheOutputFileToReload) {
    const auto out = [](const char* chosen, std::initializer_list<std::pair<Key, const char*>> v) {
        return external::chosenOutputFile(tool(chosen, v), kFolder);
    };
    EXPECT_EQ(out("ISQLW", {{Key::IsqlwOutputFile, "w.txt"}}), QStringLiteral("/work/home/w.txt"));
    EXPECT_EQ(out("ISQL", {{Key::IsqlwOutputFile, "w.txt"}, {Key::IsqlOutputFile, "/abs/i.txt"}}),
              QStringLiteral("/abs/i.txt"));
    EXPECT_EQ(out("ISQL", {{Key::IsqlwOutputFile, "w.txt"}}), QStringLiteral("/work/home/w.txt"));
    EXPECT_EQ(out("Other", {{Key::IsqlwOutputFile, "w.txt"}, {Key::OtherOutputFile, "o.txt"}}),
              QStringLiteral("/work/home/o.txt"));
    EXPECT_EQ(out("nothing", {{Key::IsqlwOutputFile, "w.txt"}}), QStringLiteral("/work/home/w.txt"));
    EXPECT_TRUE(out("ISQLW", {}).isEmpty());
}
