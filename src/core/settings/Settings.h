#pragma once
// Every setting of config.ini in one place: its section, its key, its kind,
// the value a new config.ini is seeded with, and what a missing value means
// to the code that uses it. Readers take a Snapshot (parsed once, cached
// until the file changes on disk) and ask it typed questions; nobody else
// spells a key. (The keyboard shortcuts of [Keys] are KeySettings'.)

#include "base/Result.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace settings {

enum class Section { Options, Isqlw, Isql, Other };

// In the order the options dialog writes them (also the order of a new file).
enum class Key {
    // OPTIONS
    CodeSense, CatalogSense, AutoCorrectSyntax, ConvertTabs, ParseComments, ShowSplash, StartupQuery, RowCount,
    RowCountValue, LoginTimeout, QueryTerminator, Font, FontSize, SyntaxHighlight, ExecutionPlan, ExecutionSelected,
    ResultsIn, ResultMemoryLimit, ConfirmUnfiltered, HistoryLimit, AutoCompleteDot, AutoCompleteWord, Theme,
    GridMemory, NullMarker, ExportNullText,
    // ISQLW
    IsqlwServer, IsqlwDatabase, IsqlwUser, IsqlwPassword, IsqlwTrustedConnection, IsqlwInputFile, IsqlwOutputFile,
    IsqlwShellOpen,
    // ISQL
    IsqlServer, IsqlDatabase, IsqlUser, IsqlPassword, IsqlTrustedConnection, IsqlInputFile, IsqlOutputFile,
    IsqlColumnSeparator, IsqlQuery, IsqlStatistics,
    // Other
    OtherServerFlag, OtherServer, OtherDatabaseFlag, OtherDatabase, OtherUserFlag, OtherUser, OtherPasswordFlag,
    OtherPassword, OtherExecute, OtherInputFileFlag, OtherInputFile, OtherOutputFileFlag, OtherOutputFile,
    Count
};
inline constexpr int kKeyCount = int(Key::Count);

// flag: on exactly when "1"; flagDefaultOn: off exactly when "0" (a missing
// or empty value leaves it on: safety questions stay until turned off);
// choice: "0" or "1"; text: as written; number: text converted by its user.
enum class Kind { Flag, FlagDefaultOn, Choice, Text, Number };

struct KeySpec {
    Key key;
    Section section;
    const char* name;       // as written in the file
    Kind kind;
    const char* firstStart; // the value in a new config.ini
};

const std::vector<KeySpec>& allKeys();
const KeySpec& spec(Key key);
QString sectionName(Section section); // "OPTIONS", "ISQLW", "ISQL", "Other"

// The values of config.ini at one moment. A missing key and an empty value
// both read as "".
class Snapshot {
public:
    QString text(Key key) const { return values_[size_t(key)]; }
    // On by the key's kind (Flag or FlagDefaultOn).
    bool flag(Key key) const;
    std::optional<qint64> number(Key key) const;

    // The row limit of a run: rowcount on and rowcountvalue a number.
    std::optional<qint64> rowLimit() const;
    // Seconds to wait for a login; 15 when missing or not a positive number.
    int loginTimeoutSeconds() const;
    // New documents show results as text (resultsin is "1").
    bool resultsInText() const { return text(Key::ResultsIn) == QLatin1String("1"); }
    // Scripts are handed to an external tool (executionplan converts to 1).
    bool externalExecution() const { return number(Key::ExecutionPlan).value_or(0) == 1; }
    // Bytes the rows of one run may hold in the editor before it asks whether
    // to go on: resultmemorylimit in megabytes, else a quarter of the
    // machine's memory.
    qint64 resultMemoryLimitBytes() const;
    // Bytes the grids' rows may hold in memory before older ones move to a
    // temporary file: gridmemory in megabytes, 256 when missing or not a
    // number; 0 keeps every row in memory (resultmemorylimit then asks).
    qint64 gridMemoryBytes() const;
    // What a NULL cell of the grid shows: nullmarker, "NULL" when missing.
    QString nullMarker() const;
    // Runs the query history keeps: historylimit as a number, 0 turns adding off;
    // 5000 when missing, negative or not a number.
    qint64 historyLimit() const;

    void set(Key key, QString value) { values_[size_t(key)] = std::move(value); }

private:
    std::array<QString, kKeyCount> values_;
};

// The settings of config.ini in the config folder, parsed when the file
// changed since the last call (or the folder moved). Thread-safe.
Snapshot current();
// The same for a given file, always read afresh.
Snapshot readFrom(const QString& file);

// Writes keys to config.ini in one atomic replacement; other lines survive.
Status write(Key key, const QString& value);
Status write(const std::vector<std::pair<Key, QString>>& values);

// The content of a new config.ini: every key with its first-start value.
QByteArray firstStartFile();

} // namespace settings
