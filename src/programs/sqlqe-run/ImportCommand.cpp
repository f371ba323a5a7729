#include "ImportCommand.h"

#include "PrintSink.h"
#include "SignalWatcher.h"
#include "catalog/SchemaReader.h"
#include "import/CsvImport.h"
#include "settings/Settings.h"

#include <csignal>

namespace {

constexpr int kBadInput = 2;

int refuse(const QString& why) {
    writeErr(QStringLiteral("sqlqe-run: %1\n").arg(why));
    return kBadInput;
}

// One character of a format option: itself, or a name ("tab", "comma", …).
std::optional<char> characterOption(const QString& given, bool allowNone) {
    const QString v = given.toLower();
    if (v == QLatin1String("tab") || v == QLatin1String("\\t")) return '\t';
    if (v == QLatin1String("comma")) return ',';
    if (v == QLatin1String("semicolon")) return ';';
    if (allowNone && v == QLatin1String("none")) return '\0';
    if (given.size() == 1 && given[0].unicode() > 0 && given[0].unicode() < 128 && given[0] != QLatin1Char('\n'))
        return char(given[0].unicode());
    return std::nullopt;
}

} // namespace

void addImportOptions(QCommandLineParser& p) {
    p.addOption({QStringLiteral("import"),
                 QStringLiteral("Import the CSV file FILE into the table --table (created when it does not exist) "
                                "instead of running a script."),
                 QStringLiteral("FILE")});
    p.addOption({QStringLiteral("delimiter"), QStringLiteral("Import: the field delimiter (a character, or tab)."),
                 QStringLiteral("C")});
    p.addOption({QStringLiteral("quote"), QStringLiteral("Import: the quote character, or none."), QStringLiteral("C")});
    p.addOption({QStringLiteral("header"), QStringLiteral("Import: the first record names the fields.")});
    p.addOption({QStringLiteral("no-header"), QStringLiteral("Import: the first record is data.")});
    p.addOption({QStringLiteral("encoding"), QStringLiteral("Import: UTF-8, UTF-16LE, UTF-16BE or Latin-1."),
                 QStringLiteral("NAME")});
    p.addOption({QStringLiteral("null"), QStringLiteral("Import: the text that stands for NULL (default: an empty field)."),
                 QStringLiteral("TEXT")});
    p.addOption({QStringLiteral("skip-bad-rows"),
                 QStringLiteral("Import: skip and list rows the table refuses instead of importing nothing.")});
}

int runImport(const QCommandLineParser& p, const QString& connectionString, SignalWatcher& watcher) {
    const QString file = p.value(QStringLiteral("import"));
    const QString table = p.value(QStringLiteral("table"));
    if (table.trimmed().isEmpty()) return refuse(QStringLiteral("--import needs --table NAME"));

    csv::Preview detected = csv::readPreview(file, std::nullopt, 0, 0);
    if (!detected.error.isEmpty()) return refuse(detected.error);
    csv::Format format = detected.format;
    if (p.isSet(QStringLiteral("delimiter"))) {
        const auto d = characterOption(p.value(QStringLiteral("delimiter")), false);
        if (!d) return refuse(QStringLiteral("--delimiter takes one character, or tab"));
        format.delimiter = *d;
    }
    if (p.isSet(QStringLiteral("quote"))) {
        const auto q = characterOption(p.value(QStringLiteral("quote")), true);
        if (!q) return refuse(QStringLiteral("--quote takes one character, or none"));
        format.quote = *q;
    }
    if (p.isSet(QStringLiteral("header")) && p.isSet(QStringLiteral("no-header")))
        return refuse(QStringLiteral("give --header or --no-header, not both"));
    if (p.isSet(QStringLiteral("header"))) format.header = true;
    if (p.isSet(QStringLiteral("no-header"))) format.header = false;
    if (p.isSet(QStringLiteral("encoding"))) {
        const auto e = csv::encodingNamed(p.value(QStringLiteral("encoding")));
        if (!e) return refuse(QStringLiteral("--encoding takes UTF-8, UTF-16LE, UTF-16BE or Latin-1"));
        format.encoding = *e;
    }
    format.nullMarker = p.value(QStringLiteral("null"));

    const csv::Preview preview = csv::readPreview(file, format, 0);
    if (!preview.error.isEmpty()) return refuse(preview.error);
    const QString database = p.value(QStringLiteral("database"));
    const Result<QStringList> existing = catalog::getColumnList(connectionString, table, database);
    if (!existing) {
        writeErr(existing.error() + QLatin1Char('\n'));
        return 1;
    }

    csv::ImportRequest request;
    request.connectionString = connectionString;
    request.database = database;
    request.file = file;
    request.format = format;
    request.fieldCount = int(preview.fieldNames.size());
    request.table = table;
    request.createTable = existing->isEmpty();
    request.columns = request.createTable ? csv::newTableColumns(preview) : csv::existingTableColumns(preview, *existing);
    request.skipBadRows = p.isSet(QStringLiteral("skip-bad-rows"));
    request.loginTimeoutSeconds = settings::current().loginTimeoutSeconds();

    csv::CsvImport import(request);
    watcher.setStop([&import] { import.stop(); });
    const csv::ImportResult result = import.run();
    watcher.setStop(nullptr);
    for (const csv::BadRow& bad : result.badRows)
        writeErr(QStringLiteral("Line %1: %2\n").arg(bad.line).arg(bad.message));
    writeErr(result.message + QLatin1Char('\n'));
    if (watcher.caught()) return 128 + watcher.caught();
    if (result.outcome == csv::ImportResult::Outcome::Stopped) return 128 + SIGINT;
    return result.ok() ? 0 : 1;
}
