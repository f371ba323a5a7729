#include "external/ToolCommand.h"

#include "external/ToolPassword.h"

#include <QDir>

namespace external {

namespace {

using settings::Key;

// The words of a switch as a shell reads them: blanks separate, double or
// single quotes group (and may enclose nothing: "" is an empty word).
QStringList splitWords(const QString& text) {
    QStringList words;
    QString word;
    bool inWord = false;
    QChar quote;
    for (const QChar c : text) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                word += c;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
            inWord = true;
        } else if (c.isSpace()) {
            if (inWord) words << word;
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words << word;
    return words;
}

// Writes the command line and, from the same pieces, the argument list.
class LineBuilder {
public:
    // A switch: written as is; its words become arguments, and unless it
    // ends in a blank the next value joins its last word.
    void switchText(const QString& s) {
        write(s, s);
        const QStringList words = splitWords(s);
        args_ += words;
        join_ = !words.isEmpty() && !s.back().isSpace();
    }
    // A value: one argument of its own, or the end of the switch's last word.
    void value(const QString& v, bool secret = false) {
        write(v, secret && !v.isEmpty() ? QStringLiteral("****") : v);
        if (!v.isEmpty()) {
            if (join_)
                args_.last() += v;
            else
                args_ << v;
        }
        join_ = false;
    }
    // Text without arguments of its own: the blank after a pair, a
    // redirection and its file.
    void textOnly(const QString& s) {
        write(s, s);
        join_ = false;
    }

    QString text() const { return text_; }
    QString shown() const { return shown_; }
    QStringList arguments() const { return args_; }

private:
    void write(const QString& real, const QString& shown) {
        text_ += real;
        shown_ += shown;
    }
    QString text_, shown_;
    QStringList args_;
    bool join_ = false;
};

QString fullPath(const QString& name, const QString& folder) {
    if (name.isEmpty()) return QString();
    return QDir::cleanPath(QDir(folder).absoluteFilePath(name));
}

bool isRedirection(const QString& flag, QChar direction) {
    return flag.trimmed() == QString(direction);
}

// " -S" server " -d" database " -U" user " -P" password [" -E"]: the
// connection switches both tools of the server share.
void serverSwitches(LineBuilder& b, const settings::Snapshot& s, Key server, Key database, Key user,
                    Key password, Key trusted) {
    b.switchText(QStringLiteral(" -S"));
    b.value(s.text(server));
    b.switchText(QStringLiteral(" -d"));
    b.value(s.text(database));
    b.switchText(QStringLiteral(" -U"));
    b.value(s.text(user));
    b.switchText(QStringLiteral(" -P"));
    b.value(s.text(password), true);
    // "the number 1": an empty or non-numeric value is off
    if (s.number(trusted).value_or(0) == 1) b.switchText(QStringLiteral(" -E"));
}

void fileSwitch(LineBuilder& b, const QString& flag, const QString& file) {
    b.switchText(flag);
    b.value(file);
}

// " -i " input " -o " output, each only when its file is set.
void inputOutputSwitches(LineBuilder& b, const QString& input, const QString& output) {
    if (!input.isEmpty()) fileSwitch(b, QStringLiteral(" -i "), input);
    if (!output.isEmpty()) fileSwitch(b, QStringLiteral(" -o "), output);
}

// The command line as built, in its three forms.
void takeLine(ToolCommand& c, const LineBuilder& b) {
    c.commandLine = b.text();
    c.shownCommandLine = b.shown();
    c.arguments = b.arguments();
}

// The two tools of the server: which one, and the keys of its settings.
struct ServerTool {
    Tool tool;
    const char* program;
    const char* label;
    Key server, database, user, password, trusted;
};

// The command of a server tool up to its file switches: who it is and the
// connection switches.
ToolCommand startServerTool(const ServerTool& t, const settings::Snapshot& s, LineBuilder& b) {
    ToolCommand c;
    c.tool = t.tool;
    c.program = QString::fromLatin1(t.program);
    c.label = QString::fromLatin1(t.label);
    serverSwitches(b, s, t.server, t.database, t.user, t.password, t.trusted);
    return c;
}

// The files a server tool reads and writes, the output watched.
void watchedFiles(ToolCommand& c, const QString& input, const QString& output, const QString& folder) {
    c.inputFile = fullPath(input, folder);
    c.outputFile = fullPath(output, folder);
    c.watchOutput = true;
}

ToolCommand isqlw(const settings::Snapshot& s, const QString& folder) {
    LineBuilder b;
    ToolCommand c = startServerTool({Tool::Isqlw, "isqlw", "ISQLW ", Key::IsqlwServer, Key::IsqlwDatabase,
                                     Key::IsqlwUser, Key::IsqlwPassword, Key::IsqlwTrustedConnection},
                                    s, b);
    const QString input = s.text(Key::IsqlwInputFile);
    const QString output = s.text(Key::IsqlwOutputFile);
    if (!s.flag(Key::IsqlwShellOpen)) {
        inputOutputSwitches(b, input, output);
    } else if (!input.isEmpty()) {
        fileSwitch(b, QStringLiteral(" -f "), input); // opened in the tool's editor; no output file
    }
    watchedFiles(c, input, output, folder);
    takeLine(c, b);
    return c;
}

ToolCommand isql(const settings::Snapshot& s, const QString& folder) {
    LineBuilder b;
    ToolCommand c = startServerTool({Tool::Isql, "isql", "ISQL ", Key::IsqlServer, Key::IsqlDatabase,
                                     Key::IsqlUser, Key::IsqlPassword, Key::IsqlTrustedConnection},
                                    s, b);
    if (s.text(Key::IsqlQuery) == QLatin1String("1")) {
        b.switchText(QStringLiteral(" -q ")); // the tool asks for its query itself: no files, no watch
    } else {
        const QString input = s.text(Key::IsqlInputFile);
        const QString output = s.text(Key::IsqlOutputFile);
        inputOutputSwitches(b, input, output);
        watchedFiles(c, input, output, folder); // the file this tool writes (not the graphical tool's)
    }
    takeLine(c, b);
    return c;
}

ToolCommand other(const settings::Snapshot& s, const QString& folder) {
    ToolCommand c;
    c.tool = Tool::Other;
    const QString execute = s.text(Key::OtherExecute);
    c.program = execute.trimmed().isEmpty() ? QStringLiteral("isql") : execute.trimmed();
    c.label = execute.trimmed().isEmpty() ? QStringLiteral("isql ") : execute + QLatin1Char(' ');
    LineBuilder b;
    const std::pair<Key, Key> pairs[] = {{Key::OtherServerFlag, Key::OtherServer},
                                         {Key::OtherDatabaseFlag, Key::OtherDatabase},
                                         {Key::OtherUserFlag, Key::OtherUser},
                                         {Key::OtherPasswordFlag, Key::OtherPassword}};
    const QString password = s.text(Key::OtherPassword);
    const QString variable = password.isEmpty() ? QString() : passwordVariable(c.program);
    for (const auto& [flag, value] : pairs) {
        if (value == Key::OtherPassword && !variable.isEmpty()) {
            c.environment.insert(variable, password);
            c.passwordVariable = variable;
        } else {
            b.switchText(s.text(flag));
            b.value(s.text(value), value == Key::OtherPassword);
        }
        b.textOnly(QStringLiteral(" "));
    }
    const QString inputFlag = s.text(Key::OtherInputFileFlag);
    const QString input = s.text(Key::OtherInputFile);
    const bool inputRedirected = isRedirection(inputFlag, QLatin1Char('<'));
    if (inputRedirected)
        b.textOnly(inputFlag);
    else
        b.switchText(inputFlag);
    if (!input.isEmpty()) {
        if (inputRedirected)
            b.textOnly(input);
        else
            b.value(input);
        b.textOnly(QStringLiteral(" "));
        c.inputFile = fullPath(input, folder);
        if (inputRedirected) c.standardInputFile = c.inputFile;
    }
    const QString outputFlag = s.text(Key::OtherOutputFileFlag);
    const QString output = s.text(Key::OtherOutputFile);
    if (isRedirection(outputFlag, QLatin1Char('>'))) {
        b.textOnly(outputFlag + output);
        c.standardOutputFile = fullPath(output, folder);
    } else {
        b.switchText(outputFlag);
        b.value(output);
    }
    b.textOnly(QStringLiteral(" "));
    c.outputFile = fullPath(output, folder);
    takeLine(c, b);
    return c;
}

} // namespace

std::optional<ToolCommand> buildToolCommand(const settings::Snapshot& s, const QString& workingFolder) {
    const QString chosen = s.text(Key::ExecutionSelected);
    std::optional<ToolCommand> c;
    if (chosen == QLatin1String("ISQLW"))
        c = isqlw(s, workingFolder);
    else if (chosen == QLatin1String("ISQL"))
        c = isql(s, workingFolder);
    else if (chosen == QLatin1String("Other"))
        c = other(s, workingFolder);
    if (c) c->workingFolder = workingFolder;
    return c;
}

QString handOverMessage(const ToolCommand& command) {
    QString text = command.label + command.shownCommandLine + QStringLiteral("\r\n\r\n") +
                   QStringLiteral("Click on Syntax Check to reload the file!\r\n");
    if (!command.passwordVariable.isEmpty())
        text += QStringLiteral("The password went to %1 in %2, not on its command line.\r\n")
                    .arg(command.program, command.passwordVariable);
    return text;
}

QString chosenOutputFile(const settings::Snapshot& s, const QString& workingFolder) {
    const QString chosen = s.text(Key::ExecutionSelected);
    QString file;
    if (chosen == QLatin1String("ISQL"))
        file = s.text(Key::IsqlOutputFile);
    else if (chosen == QLatin1String("Other"))
        file = s.text(Key::OtherOutputFile);
    if (file.isEmpty()) file = s.text(Key::IsqlwOutputFile);
    return fullPath(file, workingFolder);
}

} // namespace external
