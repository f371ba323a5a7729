#include "export/CsvFormat.h"

#include "export/OutBuffer.h"

namespace exports {

CsvFormat::CsvFormat(const ExportOptions& options, char separator)
    : TextFormat(options), separator_(separator) {
    special_[static_cast<unsigned char>(separator)] = true;
    special_[static_cast<unsigned char>('"')] = true;
    special_[static_cast<unsigned char>('\r')] = true;
    special_[static_cast<unsigned char>('\n')] = true;
}

char* CsvFormat::putValue(char* p, std::string_view text) const {
    bool quote = text.empty() ||
                 (!null_.isEmpty() && text == std::string_view(null_.constData(), size_t(null_.size())));
    for (size_t i = 0; !quote && i < text.size(); ++i)
        quote = special_[static_cast<unsigned char>(text[i])];
    if (!quote) return put(p, text);
    *p++ = '"';
    for (char c : text) {
        *p++ = c;
        if (c == '"') *p++ = '"';
    }
    *p++ = '"';
    return p;
}

void CsvFormat::startSet(QByteArray& out, int setIndex) {
    if (setIndex > 0) out += eol_; // an empty line between result sets
    if (!options_.header) return;
    bool first = true;
    if (options_.rowNumbers) {
        out += '#';
        first = false;
    }
    for (const db::Field& f : fields_) {
        const QByteArray name = f.name.toUtf8();
        char* p = room(out, size_t(2 * name.size() + 3));
        if (!first) *p++ = separator_;
        first = false;
        done(out, putValue(p, std::string_view(name.constData(), size_t(name.size()))));
    }
    out += eol_;
}

void CsvFormat::appendRows(QByteArray& out, const db::RowBlock& rows) {
    const int columns = rows.columnCount();
    for (int r = 0; r < rows.rowCount(); ++r) {
        // Room for the worst case (every character a quote), trimmed afterwards.
        char* p = rowRoom(out, rows, r, 2, 3, 0);
        ++rowNumber_;
        if (options_.rowNumbers) {
            p = putNumber(p, rowNumber_);
            if (columns) *p++ = separator_;
        }
        for (int c = 0; c < columns; ++c) {
            if (c) *p++ = separator_;
            if (rows.isNull(r, c))
                p = put(p, null_);
            else
                p = putValue(p, rows.text(r, c));
        }
        done(out, put(p, eol_));
    }
}

} // namespace exports
