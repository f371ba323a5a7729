#include "export/TextFormat.h"

#include "export/CsvFormat.h"
#include "export/JsonFormat.h"
#include "export/MarkupFormat.h"
#include "export/OutBuffer.h"
#include "export/SqlInsertFormat.h"
#include "run/GridExport.h"

namespace exports {

TextFormat::TextFormat(const ExportOptions& options)
    : options_(options), eol_(options.lineEnd == LineEnd::CrLf ? "\r\n" : "\n"),
      null_(options.nullText.toUtf8()) {}

char* TextFormat::rowRoom(QByteArray& out, const db::RowBlock& rows, int row, size_t perByte, size_t perCell,
                          size_t fixed) const {
    size_t need = fixed + 24 + size_t(eol_.size()); // 24: a row number
    for (int c = 0; c < rows.columnCount(); ++c)
        need += perByte * std::max(rows.text(row, c).size(), size_t(null_.size())) + perCell;
    return room(out, need);
}

void TextFormat::beginSet(QByteArray& out, const std::vector<db::Field>& fields) {
    fields_ = fields;
    rowNumber_ = 0;
    startSet(out, sets_++);
}

namespace {

// The grid's own export (run/GridExport): record numbers, every cell in
// quotes, CR LF, each set with its header row. It has no options.
class GridFormat : public TextFormat {
public:
    GridFormat(const ExportOptions& options, const run::GridFormat& format)
        : TextFormat(options), format_(format) {}
    void appendRows(QByteArray& out, const db::RowBlock& rows) override {
        for (int r = 0; r < rows.rowCount(); ++r)
            run::appendGridRow(out, ++rowNumber_, rows, r, format_);
    }

protected:
    void startSet(QByteArray& out, int) override { run::appendGridHeader(out, fields_, format_); }

private:
    const run::GridFormat format_;
};

} // namespace

std::unique_ptr<TextFormat> makeTextFormat(Format format, const ExportOptions& options) {
    switch (format) {
    case Format::Csv:
        return std::make_unique<CsvFormat>(options, ',');
    case Format::Tsv:
        return std::make_unique<CsvFormat>(options, '\t');
    case Format::Json:
        return std::make_unique<JsonFormat>(options, false);
    case Format::JsonLines:
        return std::make_unique<JsonFormat>(options, true);
    case Format::SqlInsert:
        return std::make_unique<SqlInsertFormat>(options);
    case Format::Markdown:
        return std::make_unique<MarkdownFormat>(options);
    case Format::Html:
        return std::make_unique<HtmlFormat>(options);
    case Format::GridCsv:
        return std::make_unique<GridFormat>(options, run::kCsv);
    case Format::GridTab:
        return std::make_unique<GridFormat>(options, run::kTab);
    case Format::Xlsx:
        return nullptr;
    }
    return nullptr;
}

} // namespace exports
