#pragma once
// Export tests: rows to export, the values that make exports go wrong, and
// what a standard parser reads back from an exported file (Python's csv,
// json, html.parser, sqlite3 and openpyxl, through read_export.py).

#include "db/Field.h"
#include "db/RowBlock.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// A cell as a test writes it and reads it back: nullopt is NULL.
using Cell = std::optional<QString>;
using Rows = std::vector<std::vector<Cell>>;

// A block holding rows (every row as wide as the first).
db::RowBlock blockOf(const Rows& rows);

// Texts that break careless writers: quotes of both kinds, separators, tabs,
// line breaks of every kind, emoji and accents, markup, backslashes, the
// word NULL, blanks around a value, and the empty text.
const QStringList& hostileTexts();

// A NUMERIC of 1,000 digits (with a fraction), which no double holds.
QString longNumber();

struct ReadSet {
    QStringList header;
    Rows rows;
};

// The result sets a parser reads from the file at path in format (the
// runner's --format name, or "xlsx"); createTable: for "sql-insert", the
// CREATE TABLE statement of the in-memory SQLite table the INSERTs go into.
// An empty list and a gtest failure when the parser fails.
std::vector<ReadSet> readBack(const QString& format, const QString& path, const QString& createTable = {});

// True when the parsers can run here (Debian's python3 with openpyxl).
bool canReadBack();

// Reads the file at path back (as readBack) and expects one result set
// with the fields' names and the rows, as far as the format can say them:
// NULL reads as the empty text where the format has no NULL (CSV, TSV,
// HTML, Markdown), the empty text as an empty cell in a workbook, every
// line break as LF in Markdown, and numbers of number columns from SQL and
// workbooks as doubles (compared by value where a double holds them).
void expectReadsBack(const QString& format, const QString& path, const std::vector<db::Field>& fields,
                     const Rows& rows, const QString& createTable = {});
