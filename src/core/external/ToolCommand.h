#pragma once
// The command line of an external query tool, built from the settings of
// the tool chosen in config.ini ("ISQLW", "ISQL" or "Other"). The text is
// built piece by piece exactly as the user sees it in the message pane; the
// same pieces give the program's argument list, so what starts is what a
// shell would make of the text if every value were quoted, without a shell
// in between: a value always stays within one argument (blanks and quotes
// included), and a switch joins its value unless it ends in a blank
// ("-S" + "srv" is "-Ssrv", " -i " + "in.sql" two arguments).
//
// The switches of the "Other" tool are the user's: they are split into
// words as a shell would split them (double or single quotes group), and the value
// joins the last word. As config.ini values are read trimmed, such a switch
// ends in a blank only inside quotes: "-cmd """ gives "-cmd" and the value
// as its own argument. The input and output file switches may also be "<"
// and ">": the program then reads the input file as its standard input,
// and its standard output goes to the output file.
//
// The password of the "Other" tool goes into the environment variable the
// program reads, when it is known to read one (ToolPassword.h): its switch
// and value are then neither in the argument list nor in the text.

#include "settings/Settings.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace external {

enum class Tool { Isqlw, Isql, Other };

struct ToolCommand {
    Tool tool = Tool::Other;
    QString program;          // as started (looked up on PATH when it has no '/')
    QString label;            // what the message pane puts before the command line
    QString commandLine;      // the text, password as written
    QString shownCommandLine; // the same with every password as "****"
    QStringList arguments;
    QString workingFolder; // where the tool starts; relative file names are taken from here
    // Variables set for the tool alone: the password, for a tool that reads
    // it from its environment (ToolPassword.h); its switch is then left out.
    QHash<QString, QString> environment;
    QString passwordVariable; // the variable that carries the password; empty: none does

    // Files, as full paths (empty when not used).
    QString inputFile;          // the script is written here before the start
    QString standardInputFile;  // the program reads this as its standard input
    QString standardOutputFile; // the program's standard output goes here
    QString outputFile;         // what the tool writes and the text pane shows
    bool watchOutput = false;   // reload outputFile whenever the tool rewrites it
};

// The command of the tool named by executionselected; nullopt when that
// names none of the three. Relative file names are taken from workingFolder.
std::optional<ToolCommand> buildToolCommand(const settings::Snapshot& s, const QString& workingFolder);

// The message pane's text after the hand-over: the label, the command line
// (passwords masked), two line breaks and the hint to reload the output;
// then, when the password went into the environment, a line that says so.
QString handOverMessage(const ToolCommand& command);

// The output file of the tool chosen in the settings (the "ISQLW" one when
// the chosen tool names none), as a full path; empty when there is none.
QString chosenOutputFile(const settings::Snapshot& s, const QString& workingFolder);

} // namespace external
