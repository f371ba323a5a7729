#include "export/ExportFormat.h"

#include <QFileInfo>
#include <QStringList>

namespace exports {

const std::vector<FormatInfo>& formats() {
    static const std::vector<FormatInfo> all = {
        {Format::Csv, "csv", "CSV", "csv", "CSV (*.csv)", true, true},
        {Format::Tsv, "tsv", "Tab-separated values", "tsv", "Tab-separated values (*.tsv)", true, true},
        {Format::Json, "json", "JSON", "json", "JSON (*.json)", true, true},
        {Format::JsonLines, "jsonl", "JSON Lines", "jsonl", "JSON Lines (*.jsonl)", true, false},
        {Format::SqlInsert, "sql-insert", "SQL INSERT statements", "sql", "SQL INSERT statements (*.sql)",
         true, true},
        {Format::Markdown, "markdown", "Markdown table", "md", "Markdown (*.md)", true, true},
        {Format::Html, "html", "HTML", "html", "HTML (*.html)", true, false},
        {Format::Xlsx, "xlsx", "Excel workbook", "xlsx", "Excel workbook (*.xlsx)", false, false},
        {Format::GridCsv, "grid-csv", "Comma Separated", "csv", "Comma Separated (*.csv)", true, false},
        {Format::GridTab, "grid-tab", "Tab Separated", "tab", "Tab Separated (*.tab)", true, false},
    };
    return all;
}

const FormatInfo& info(Format format) {
    for (const FormatInfo& f : formats())
        if (f.format == format) return f;
    return formats().front();
}

std::optional<Format> formatNamed(const QString& name) {
    for (const FormatInfo& f : formats())
        if (f.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0) return f.format;
    return std::nullopt;
}

std::optional<Format> formatForFileName(const QString& fileName) {
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == QLatin1String("tab")) return Format::GridTab;
    if (ext == QLatin1String("ndjson")) return Format::JsonLines;
    if (ext == QLatin1String("markdown")) return Format::Markdown;
    if (ext == QLatin1String("htm")) return Format::Html;
    for (const FormatInfo& f : formats())
        if (f.extension == ext) return f.format; // ".csv" finds the plain CSV before the grid's
    return std::nullopt;
}

QString fileDialogFilters() {
    QStringList filters;
    for (const FormatInfo& f : formats())
        filters << f.filter;
    return filters.join(QStringLiteral(";;"));
}

} // namespace exports
