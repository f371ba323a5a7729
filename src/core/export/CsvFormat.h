#pragma once
// CSV (RFC 4180) and TSV: a header row of column names, then one line per
// row. A value is put in double quotes (with quotes inside doubled) only
// when it holds the separator, a quote or a line break, when it is empty
// text (so it reads apart from NULL, which is written as nothing or as
// the NULL text), or when it equals the NULL text. Line breaks inside
// values are kept as they are.

#include "export/TextFormat.h"

namespace exports {

class CsvFormat : public TextFormat {
public:
    CsvFormat(const ExportOptions& options, char separator);
    void appendRows(QByteArray& out, const db::RowBlock& rows) override;

protected:
    void startSet(QByteArray& out, int setIndex) override;

private:
    char* putValue(char* p, std::string_view text) const;
    const char separator_;
    bool special_[256] = {}; // bytes that make a value need quotes
};

} // namespace exports
