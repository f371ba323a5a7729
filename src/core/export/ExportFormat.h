#pragma once
// The formats results can be saved, copied and printed in, in one table:
// the name the runner's --format takes, the caption, the file extension and
// the file dialog's filter text. Everything that offers a choice of format
// (menus, the save dialog, the runner's help) reads this table.

#include <QString>
#include <optional>
#include <vector>

namespace exports {

enum class Format {
    Csv,       // RFC 4180: quotes only where a value needs them
    Tsv,       // the same rules with a tab between values
    Json,      // one array of objects per result set
    JsonLines, // one object per line
    SqlInsert, // one INSERT statement per row
    Markdown,  // a pipe table
    Html,      // a document with one table per result set
    Xlsx,      // a workbook with one sheet per result set (files only)
    GridCsv,   // the grid's own export: record numbers, every cell quoted, CR LF
    GridTab,   // the same with tabs
};

struct FormatInfo {
    Format format;
    QString name;      // as --format takes it: "csv", "sql-insert", …
    QString caption;   // for menus: "CSV", "SQL INSERT statements", …
    QString extension; // without the dot
    QString filter;    // a file dialog filter: "CSV (*.csv)"
    bool text;         // bytes that can go to a stream (not a workbook)
    bool copyable;     // offered for copying a selection
};

// Every format, in menu order (the grid's own two last).
const std::vector<FormatInfo>& formats();
const FormatInfo& info(Format format);
// The format named name (as --format takes it); nullopt when there is none.
std::optional<Format> formatNamed(const QString& name);
// The format a file name's extension asks for (any case; ".tab" is the
// grid's tab format); nullopt for an extension no format has.
std::optional<Format> formatForFileName(const QString& fileName);
// The filters of the formats a file can be saved in, for a save dialog
// (separated by ";;").
QString fileDialogFilters();

} // namespace exports
