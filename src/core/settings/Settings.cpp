#include "settings/Settings.h"

#include "base/Memory.h"
#include "settings/AppPaths.h"
#include "settings/Ini_p.h"
#include "settings/SettingsChanges.h"

#include <QFile>
#include <QMutex>

#include <sys/stat.h>

namespace settings {
namespace {

constexpr int kDefaultLoginTimeout = 15;
constexpr qint64 kDefaultHistoryLimit = 5000;

const std::vector<KeySpec> kKeys = {
    {Key::CodeSense, Section::Options, "codesense", Kind::Flag, "1"},
    {Key::CatalogSense, Section::Options, "catalogsense", Kind::Flag, "1"},
    {Key::AutoCorrectSyntax, Section::Options, "autocorrsyntax", Kind::Flag, "0"},
    {Key::ConvertTabs, Section::Options, "converttabs", Kind::Flag, "0"},
    {Key::ParseComments, Section::Options, "parsecomments", Kind::Flag, "0"},
    {Key::ShowSplash, Section::Options, "showsplash", Kind::Flag, "1"},
    {Key::StartupQuery, Section::Options, "startupquery", Kind::Flag, "0"},
    {Key::RowCount, Section::Options, "rowcount", Kind::Flag, "0"},
    {Key::RowCountValue, Section::Options, "rowcountvalue", Kind::Number, "1000"},
    {Key::LoginTimeout, Section::Options, "logintimeout", Kind::Number, "15"},
    {Key::QueryTerminator, Section::Options, "queryterminator", Kind::Text, "GO"},
    {Key::Font, Section::Options, "font", Kind::Text, "Monospace"},
    {Key::FontSize, Section::Options, "fontsize", Kind::Number, "10"},
    {Key::SyntaxHighlight, Section::Options, "syntaxhighlight", Kind::Flag, "1"},
    {Key::ExecutionPlan, Section::Options, "executionplan", Kind::Choice, "0"},
    {Key::ExecutionSelected, Section::Options, "executionselected", Kind::Text, "Other"},
    {Key::ResultsIn, Section::Options, "resultsin", Kind::Choice, "0"},
    {Key::ResultMemoryLimit, Section::Options, "resultmemorylimit", Kind::Number, ""},
    // asks before a run sends an UPDATE or DELETE without WHERE
    {Key::ConfirmUnfiltered, Section::Options, "confirmunfiltered", Kind::FlagDefaultOn, "1"},
    {Key::HistoryLimit, Section::Options, "historylimit", Kind::Number, "5000"},
    // completion opens by itself after a "." and at a word's second letter
    {Key::AutoCompleteDot, Section::Options, "autocompletedot", Kind::FlagDefaultOn, "1"},
    {Key::AutoCompleteWord, Section::Options, "autocompleteword", Kind::FlagDefaultOn, "1"},
    // the colours: "system" (suit the desktop), "light" or "dark"
    {Key::Theme, Section::Options, "theme", Kind::Text, "system"},
    // the grid's rows in memory, in megabytes, before older ones go to a temporary file (0: all in memory)
    {Key::GridMemory, Section::Options, "gridmemory", Kind::Number, "256"},
    // what NULL shows as in the grid, and what copies and exports of CSV/TSV/Markdown/HTML write for it
    {Key::NullMarker, Section::Options, "nullmarker", Kind::Text, "NULL"},
    {Key::ExportNullText, Section::Options, "exportnulltext", Kind::Text, ""},

    {Key::IsqlwServer, Section::Isqlw, "server", Kind::Text, ""},
    {Key::IsqlwDatabase, Section::Isqlw, "database", Kind::Text, ""},
    {Key::IsqlwUser, Section::Isqlw, "user", Kind::Text, ""},
    {Key::IsqlwPassword, Section::Isqlw, "password", Kind::Text, ""},
    {Key::IsqlwTrustedConnection, Section::Isqlw, "trustedconnection", Kind::Flag, "0"},
    {Key::IsqlwInputFile, Section::Isqlw, "inputfile", Kind::Text, ""},
    {Key::IsqlwOutputFile, Section::Isqlw, "outputfile", Kind::Text, ""},
    {Key::IsqlwShellOpen, Section::Isqlw, "shellopen", Kind::Flag, "0"},

    {Key::IsqlServer, Section::Isql, "server", Kind::Text, ""},
    {Key::IsqlDatabase, Section::Isql, "database", Kind::Text, ""},
    {Key::IsqlUser, Section::Isql, "user", Kind::Text, ""},
    {Key::IsqlPassword, Section::Isql, "password", Kind::Text, ""},
    {Key::IsqlTrustedConnection, Section::Isql, "trustedconnection", Kind::Flag, "0"},
    {Key::IsqlInputFile, Section::Isql, "inputfile", Kind::Text, ""},
    {Key::IsqlOutputFile, Section::Isql, "outputfile", Kind::Text, ""},
    {Key::IsqlColumnSeparator, Section::Isql, "columnseperator", Kind::Text, ""},
    {Key::IsqlQuery, Section::Isql, "query", Kind::Flag, "0"},
    {Key::IsqlStatistics, Section::Isql, "statistics", Kind::Flag, "0"},

    {Key::OtherServerFlag, Section::Other, "serverflag", Kind::Text, ""},
    {Key::OtherServer, Section::Other, "server", Kind::Text, ""},
    {Key::OtherDatabaseFlag, Section::Other, "databaseflag", Kind::Text, ""},
    {Key::OtherDatabase, Section::Other, "database", Kind::Text, ""},
    {Key::OtherUserFlag, Section::Other, "userflag", Kind::Text, ""},
    {Key::OtherUser, Section::Other, "user", Kind::Text, ""},
    {Key::OtherPasswordFlag, Section::Other, "passwordflag", Kind::Text, ""},
    {Key::OtherPassword, Section::Other, "password", Kind::Text, ""},
    {Key::OtherExecute, Section::Other, "execute", Kind::Text, ""},
    {Key::OtherInputFileFlag, Section::Other, "inputfileflag", Kind::Text, ""},
    {Key::OtherInputFile, Section::Other, "inputfile", Kind::Text, ""},
    {Key::OtherOutputFileFlag, Section::Other, "outputfileflag", Kind::Text, ""},
    {Key::OtherOutputFile, Section::Other, "outputfile", Kind::Text, ""},
};

// What identifies the file's content on disk: an atomic replacement changes
// the inode, an edit in place the time or size.
struct FileStamp {
    QString path;
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    bool operator==(const FileStamp& o) const {
        return path == o.path && exists == o.exists && device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
    }
};

FileStamp stampOf(const QString& path) {
    FileStamp s;
    s.path = path;
    struct stat st {};
    if (!path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &st) == 0) {
        s.exists = true;
        s.device = st.st_dev;
        s.inode = st.st_ino;
        s.size = st.st_size;
        s.modified = st.st_mtim;
    }
    return s;
}

QMutex cacheMutex;
bool cacheValid = false;
FileStamp cachedStamp;
Snapshot cachedSnapshot;

} // namespace

const std::vector<KeySpec>& allKeys() { return kKeys; }
const KeySpec& spec(Key key) { return kKeys[size_t(key)]; }

QString sectionName(Section section) {
    switch (section) {
    case Section::Options: return QStringLiteral("OPTIONS");
    case Section::Isqlw: return QStringLiteral("ISQLW");
    case Section::Isql: return QStringLiteral("ISQL");
    case Section::Other: return QStringLiteral("Other");
    }
    return {};
}

bool Snapshot::flag(Key key) const {
    return spec(key).kind == Kind::FlagDefaultOn ? text(key) != QLatin1String("0") : text(key) == QLatin1String("1");
}

std::optional<qint64> Snapshot::number(Key key) const {
    bool ok = false;
    const qint64 v = text(key).toLongLong(&ok);
    return ok ? std::optional<qint64>(v) : std::nullopt;
}

std::optional<qint64> Snapshot::rowLimit() const {
    if (!flag(Key::RowCount)) return std::nullopt;
    const auto v = number(Key::RowCountValue);
    if (!v || *v < 1) return std::nullopt; // a limit that is not a positive number is ignored
    return v;
}

int Snapshot::loginTimeoutSeconds() const {
    const auto v = number(Key::LoginTimeout);
    return v && *v > 0 && *v <= 3600 ? int(*v) : kDefaultLoginTimeout;
}

qint64 Snapshot::resultMemoryLimitBytes() const {
    constexpr qint64 kMegabyte = 1024 * 1024;
    const auto v = number(Key::ResultMemoryLimit);
    if (v && *v > 0 && *v < (qint64(1) << 40)) return *v * kMegabyte;
    const qint64 physical = base::physicalBytes();
    return physical > 0 ? physical / 4 : 2048 * kMegabyte;
}

qint64 Snapshot::gridMemoryBytes() const {
    constexpr qint64 kDefaultMegabytes = 256;
    const auto v = number(Key::GridMemory);
    return (v && *v >= 0 && *v < (qint64(1) << 40) ? *v : kDefaultMegabytes) << 20;
}

QString Snapshot::nullMarker() const {
    const QString marker = text(Key::NullMarker);
    return marker.isEmpty() ? QStringLiteral("NULL") : marker;
}

qint64 Snapshot::historyLimit() const {
    const auto v = number(Key::HistoryLimit);
    return v && *v >= 0 ? *v : kDefaultHistoryLimit;
}

Snapshot readFrom(const QString& file) {
    Snapshot s;
    QFile f(file);
    if (file.isEmpty() || !f.open(QIODevice::ReadOnly)) return s;
    const QHash<QString, QString> values = settings::IniText::fromBytes(f.readAll()).values();
    for (const KeySpec& k : kKeys)
        s.set(k.key, values.value(settings::IniText::lookupKey(sectionName(k.section), QLatin1String(k.name))));
    return s;
}

Snapshot current() {
    const FileStamp stamp = stampOf(AppPaths::configFile());
    QMutexLocker lock(&cacheMutex);
    if (!cacheValid || !(stamp == cachedStamp)) {
        cachedSnapshot = readFrom(stamp.path);
        cachedStamp = stamp;
        cacheValid = true;
    }
    return cachedSnapshot;
}

Status write(Key key, const QString& value) { return write({{key, value}}); }

Status write(const std::vector<std::pair<Key, QString>>& values) {
    std::vector<settings::IniEntry> entries;
    entries.reserve(values.size());
    for (const auto& [key, value] : values)
        entries.push_back({sectionName(spec(key).section), QLatin1String(spec(key).name), value});
    const Status s = settings::writeKeys(AppPaths::configFile(), entries);
    {
        QMutexLocker lock(&cacheMutex);
        cacheValid = false;
    }
    if (s) emit Changes::instance().changed();
    return s;
}

QByteArray firstStartFile() {
    QByteArray out = "; Settings of SQL Query Editor. Edit them with Query > Options..., or by hand.\n";
    std::optional<Section> section;
    for (const KeySpec& k : kKeys) {
        if (section != k.section) {
            if (section) out += '\n';
            section = k.section;
            out += '[' + sectionName(k.section).toUtf8() + "]\n";
        }
        out += QByteArray(k.name) + '=' + k.firstStart + '\n';
    }
    return out;
}

} // namespace settings
