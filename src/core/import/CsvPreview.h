#pragma once
// The first rows of a CSV file as the import shows them before it starts:
// the format (detected, or the user's), the field names, the first rows
// and a type guessed for each field from a larger sample; and the column
// plans built from it for a new table or onto an existing one.

#include "import/ColumnTypes.h"
#include "import/CsvFormat.h"
#include "import/CsvReader.h"

#include <QStringList>

#include <optional>
#include <vector>

namespace csv {

// One column of the target table and the field its values come from.
struct ImportColumn {
    int source = -1; // the field of the file, from 0; -1: none (the column keeps its default)
    QString name;    // the table's column
    ColumnType type = ColumnType::Text; // for a new table
    TypeGuess guess;                     // the sizes behind the type
};

struct Preview {
    Format format;
    QStringList fieldNames;       // the header's, or column1, column2, …; empty or repeated names numbered
    std::vector<Record> rows;     // the first records after the header
    std::vector<TypeGuess> guesses; // one per field
    QString error;                // the file cannot be read (the other members are then empty)
};

// Reads up to showRows records for showing and guessRows for guessing the
// types. Without a format the file's own is detected.
Preview readPreview(const QString& file, std::optional<Format> format = std::nullopt, int showRows = 100,
                    int guessRows = 10000);

// Every field as a column of a new table, with its guessed type.
std::vector<ImportColumn> newTableColumns(const Preview& preview);
// The existing table's columns, each fed by the field of the same name (any
// case) when the file has a header, else by the field at its place.
std::vector<ImportColumn> existingTableColumns(const Preview& preview, const QStringList& tableColumns);

} // namespace csv
