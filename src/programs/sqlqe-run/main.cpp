// sqlqe-run: runs a script headless through the same engine as the editor
// and prints what the editor's text pane would show (or the grid's export
// format). The closing message goes to stderr. Exit status: 0 success, 1 the
// run failed or its output could not be written, 2 bad arguments or input,
// 130 after SIGINT and 143 after SIGTERM.

#include "ImportCommand.h"
#include "Inputs.h"
#include "PrintSink.h"
#include "SignalWatcher.h"
#include "db/ProcessLocale.h"
#include "export/QueryTable.h"
#include "run/RunEngine.h"
#include "settings/AppPaths.h"
#include "settings/Settings.h"
#include "store/ConnectionStore.h"
#include "store/HomeMove.h"
#include "store/ResourceDb.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include <csignal>

namespace {

constexpr int kBadInput = 2;

int refuse(const QString& why) {
    writeErr(QStringLiteral("sqlqe-run: %1\n").arg(why));
    return kBadInput;
}

QString helpText() {
    return QStringLiteral(
        "\nConnection (exactly one):\n"
        "  --connect STRING       the connection string itself. Every local user can read a\n"
        "                         program's arguments (ps), so a password given here is visible\n"
        "                         to them: prefer one of the next three.\n"
        "  --connect -            read the connection string from standard input (the script\n"
        "                         must then come from a file).\n"
        "  --connect-file FILE    read the connection string from FILE (keep it mode 0600).\n"
        "  --connection NAME      a connection saved in the editor's connection manager\n"
        "                         (in vsql.db of the data folder, mode 0600; its password\n"
        "                         in the desktop keyring where one runs).\n");
}

// The formats --format takes: every text export but the grid's own (--grid-csv, --tsv).
bool offeredByFormat(exports::Format f) {
    return exports::info(f).text && f != exports::Format::GridCsv && f != exports::Format::GridTab;
}

QString formatNames() {
    QStringList names;
    for (const exports::FormatInfo& f : exports::formats())
        if (offeredByFormat(f.format)) names << f.name;
    return (names << QStringLiteral("text")).join(QLatin1Char('|'));
}

QString formatHelp() {
    return QStringLiteral("Results as %1 (text, the aligned layout, is the default). Only the data goes to "
                          "standard output.")
        .arg(formatNames());
}

// The export format the options ask for; nullopt for the text layout.
Result<std::optional<exports::Format>> outputFormat(const QCommandLineParser& p) {
    const int given = int(p.isSet(QStringLiteral("format"))) + int(p.isSet(QStringLiteral("text"))) +
                      int(p.isSet(QStringLiteral("grid-csv"))) + int(p.isSet(QStringLiteral("tsv")));
    if (given > 1) return fail(QStringLiteral("give only one of --format, --text, --grid-csv and --tsv"));
    if (p.isSet(QStringLiteral("tsv"))) return std::optional(exports::Format::GridTab);
    if (p.isSet(QStringLiteral("grid-csv"))) return std::optional(exports::Format::GridCsv);
    if (!p.isSet(QStringLiteral("format"))) {
        if (p.isSet(QStringLiteral("table")) && !p.isSet(QStringLiteral("import")))
            return fail(QStringLiteral("--table goes with --format sql-insert"));
        return std::optional<exports::Format>();
    }
    const QString name = p.value(QStringLiteral("format"));
    if (name.trimmed().compare(QLatin1String("text"), Qt::CaseInsensitive) == 0)
        return std::optional<exports::Format>();
    const auto format = exports::formatNamed(name);
    if (!format || !offeredByFormat(*format))
        return fail(QStringLiteral("unknown --format \"%1\"; give one of %2").arg(name, formatNames()));
    if (p.isSet(QStringLiteral("table")) && *format != exports::Format::SqlInsert)
        return fail(QStringLiteral("--table goes with --format sql-insert"));
    return std::optional(*format);
}

// The values of --param NAME=VALUE (sent as text: the server reads each as
// the type its statement needs) and --param-null NAME. A name may keep its
// marker (:id, @id, $1, ?1).
Result<script::ParameterValues> parameterValues(const QCommandLineParser& p) {
    script::ParameterValues values;
    auto bare = [](QString name) {
        name = name.trimmed();
        if (!name.isEmpty() && QStringLiteral(":@$?").contains(name.front())) name.remove(0, 1);
        return name;
    };
    for (const QString& given : p.values(QStringLiteral("param"))) {
        const qsizetype eq = given.indexOf(QLatin1Char('='));
        const QString name = bare(given.left(eq));
        if (eq < 0 || name.isEmpty())
            return fail(QStringLiteral("--param needs NAME=VALUE, not \"%1\"").arg(given));
        values[name] = {script::ParameterType::Text, given.mid(eq + 1), false};
    }
    for (const QString& given : p.values(QStringLiteral("param-null"))) {
        const QString name = bare(given);
        if (name.isEmpty()) return fail(QStringLiteral("--param-null needs a parameter name"));
        values[name] = {script::ParameterType::Text, QString(), true};
    }
    return values;
}

// After the options: exit status and environment.
QString epilog() {
    return QStringLiteral("\nExit status:\n"
                          "  0    the run succeeded\n"
                          "  1    the run failed, or its output could not be written\n"
                          "  2    bad arguments or input\n"
                          "  130  interrupted (Ctrl+C); 143 after SIGTERM\n\n") +
           AppPaths::environmentHelp();
}

// --list-connections: the saved names, one a line (for shell completion).
int listConnections() {
    if (!QFileInfo::exists(ResourceDb::path())) return 0; // none saved yet; nothing is created
    const auto saved = ConnectionStore::list();
    if (!saved) return refuse(saved.error());
    QTextStream out(stdout);
    for (const StoredConnection& c : *saved) out << c.name << '\n';
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    guardStandardInput(); // before anything can take descriptor 0
    SignalWatcher watcher; // first: the signals must be blocked before any thread starts

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("sqlqe-run"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SQLQE_VERSION));
    db::useUtf8Ctype();

    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Runs an SQL script and prints its results as the editor shows them.") +
                                helpText());
    p.addHelpOption();
    p.addVersionOption();
    p.addOption({QStringLiteral("connect"), QStringLiteral("The connection string, or - to read it from standard input."),
                 QStringLiteral("STRING")});
    p.addOption({QStringLiteral("connection"), QStringLiteral("A saved connection, by name."), QStringLiteral("NAME")});
    p.addOption({QStringLiteral("connect-file"), QStringLiteral("A file holding the connection string."),
                 QStringLiteral("FILE")});
    p.addOption({QStringLiteral("database"), QStringLiteral("Default database for the run."), QStringLiteral("NAME")});
    p.addOption({QStringLiteral("format"), formatHelp(), QStringLiteral("FORMAT")});
    p.addOption({QStringLiteral("table"),
                 QStringLiteral("The table of --format sql-insert (default: the one the query reads, else "
                                "\"result\"), or the table --import fills."),
                 QStringLiteral("NAME")});
    p.addOption({QStringLiteral("text"), QStringLiteral("Results as aligned text (default).")});
    p.addOption({QStringLiteral("grid-csv"), QStringLiteral("Results in the grid's CSV export format.")});
    p.addOption({QStringLiteral("tsv"), QStringLiteral("Results in the grid's tab-separated export format.")});
    p.addOption({QStringLiteral("max-rows"), QStringLiteral("Row limit for the whole run, 1 or more (overrides the settings)."),
                 QStringLiteral("N")});
    p.addOption({QStringLiteral("param"),
                 QStringLiteral("A value for the script's parameter NAME (:NAME, @NAME, $N, the Nth ?); repeatable. "
                                "A parameter without a value stops the run before anything is sent."),
                 QStringLiteral("NAME=VALUE")});
    p.addOption({QStringLiteral("param-null"), QStringLiteral("Binds NULL to the parameter NAME; repeatable."),
                 QStringLiteral("NAME")});
    addImportOptions(p);
    p.addOption({QStringLiteral("home"),
                 QStringLiteral("Keep every file (config.ini, vsql.db) in DIR instead of the XDG folders."),
                 QStringLiteral("DIR")});
    p.addOption({QStringLiteral("list-connections"),
                 QStringLiteral("Print the names of the saved connections, one a line, and exit.")});
    p.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("Script file, or - for standard input."));
    if (!p.parse(app.arguments())) return refuse(p.errorText());
    if (p.isSet(QStringLiteral("help")) || p.isSet(QStringLiteral("help-all"))) {
        QTextStream(stdout) << p.helpText() << epilog();
        return 0;
    }
    if (p.isSet(QStringLiteral("version"))) p.showVersion(); // exits

    AppPaths::resolve(p.value(QStringLiteral("home")), QCoreApplication::applicationDirPath());
    for (const QString& notice : store::moveOldHome())
        writeErr(QStringLiteral("sqlqe-run: %1\n").arg(notice));
    if (p.isSet(QStringLiteral("list-connections"))) return listConnections();
    if (p.isSet(QStringLiteral("import"))) {
        if (!p.positionalArguments().isEmpty()) return refuse(QStringLiteral("--import takes no script"));
        const Result<QString> connection = readConnectionString(
            {p.value(QStringLiteral("connect")), p.value(QStringLiteral("connection")), p.value(QStringLiteral("connect-file"))});
        if (!connection) return refuse(connection.error());
        return runImport(p, *connection, watcher);
    }
    if (p.positionalArguments().size() != 1)
        return refuse(QStringLiteral(
            "usage: sqlqe-run (--connect STRING|--connect -|--connect-file FILE|--connection NAME) "
            "[--database NAME] [--format FORMAT [--table NAME]|--text|--grid-csv|--tsv] "
            "[--max-rows N] [--param NAME=VALUE]... [--home DIR] FILE|-\n"
            "       sqlqe-run (--connect …) --import FILE.csv --table NAME [--delimiter C] [--quote C] "
            "[--header|--no-header] [--encoding NAME] [--null TEXT] [--skip-bad-rows]"));
    const Result<std::optional<exports::Format>> format = outputFormat(p);
    if (!format) return refuse(format.error());
    const QString scriptPath = p.positionalArguments().first();
    const ConnectionSource source{p.value(QStringLiteral("connect")), p.value(QStringLiteral("connection")),
                                  p.value(QStringLiteral("connect-file"))};
    if ((source.connect == QLatin1String("-") || source.file == QLatin1String("-")) && scriptPath == QLatin1String("-"))
        return refuse(QStringLiteral("the connection string and the script cannot both come from standard input"));

    RunRequest request;
    if (p.isSet(QStringLiteral("max-rows"))) {
        bool ok = false;
        const qint64 n = p.value(QStringLiteral("max-rows")).toLongLong(&ok);
        if (!ok || n < 1) return refuse(QStringLiteral("--max-rows needs a whole number of 1 or more"));
        request.rowLimit = n;
    } else {
        request.rowLimit = settings::current().rowLimit();
    }
    const Result<QString> connection = readConnectionString(source);
    if (!connection) return refuse(connection.error());
    const Result<ScriptInput> script = readScriptInput(scriptPath);
    if (!script) return refuse(script.error());
    if (!script->notice.isEmpty()) writeErr(QStringLiteral("sqlqe-run: %1\n").arg(script->notice));

    request.connectionString = *connection;
    request.database = p.value(QStringLiteral("database"));
    request.text = script->text;
    const Result<script::ParameterValues> values = parameterValues(p);
    if (!values) return refuse(values.error());
    request.parameters = *values;
    request.resultsInText = !*format;
    request.everySetToGrid = format->has_value(); // each result set in the export format
    request.loginTimeoutSeconds = settings::current().loginTimeoutSeconds();

    // The runner's exports take the export defaults (a header row, no row
    // numbers, LF, NULL as nothing), so they match a file the editor saves.
    exports::ExportOptions options;
    if (*format == exports::Format::SqlInsert) {
        options.tableName = p.value(QStringLiteral("table"));
        if (options.tableName.isEmpty()) {
            options.setTableNames = exports::tableNamesOfScript(script->text);
            if (options.setTableNames.isEmpty() || options.setTableNames.contains(QString()))
                writeErr(QStringLiteral(
                             "sqlqe-run: the table of some result sets is not known from the script; their "
                             "INSERT statements name the table \"%1\" (give --table NAME).\n")
                             .arg(exports::kDefaultTable));
        }
    }

    RunEngine* running = nullptr;
    PrintSink sink(*format, options, [&running] {
        if (running) running->stop(); // nobody reads the output any more: stop the server's work too
    });
    RunEngine engine(request, sink);
    running = &engine;
    watcher.setStop([&engine] { engine.stop(); });
    const RunResult result = engine.run();
    const QString writeFailure = sink.finish();
    watcher.setStop(nullptr);

    if (!writeFailure.isEmpty()) {
        writeErr(QStringLiteral("sqlqe-run: the results could not be written (%1); the run was stopped.\n").arg(writeFailure));
        return 1;
    }
    writeErr(result.closingMessage + QLatin1Char('\n'));
    if (watcher.caught()) return 128 + watcher.caught();
    if (result.cancelled()) return 128 + SIGINT;
    if (result.outcome == RunOutcome::Refused) return kBadInput;
    return result.isError() ? 1 : 0;
}
