#pragma once
// Reads the records of a CSV file one at a time, as UTF-8, from any
// encoding the format names. RFC 4180 and what spreadsheets write: quoted
// fields may hold delimiters, doubled quotes and line breaks (CR LF, LF or
// CR end a record); a quote inside an unquoted field, or text after a
// closing quote, is kept as it is. A quoted field left open at the end of
// the file is an error naming the line it starts on.
//
// Reads in large pieces and copies each field once; memory holds a piece
// and one record, whatever the file's size.

#include "import/CsvFormat.h"

#include <QIODevice>
#include <QStringDecoder>

#include <memory>
#include <string_view>
#include <vector>

namespace csv {

struct Record {
    qint64 line = 0; // where the record starts in the file, from 1
    std::vector<char> bytes;
    struct Field {
        size_t begin, end;
        bool quoted;
    };
    std::vector<Field> fields;

    int size() const { return int(fields.size()); }
    std::string_view text(int i) const {
        return {bytes.data() + fields[size_t(i)].begin, fields[size_t(i)].end - fields[size_t(i)].begin};
    }
    bool quoted(int i) const { return fields[size_t(i)].quoted; }
    QString string(int i) const {
        const auto t = text(i);
        return QString::fromUtf8(t.data(), qsizetype(t.size()));
    }
};

class CsvReader {
public:
    CsvReader(QIODevice& in, const Format& format);
    ~CsvReader();

    // The next record; false at the end of the file or on an error.
    bool next(Record& record);
    // Why reading stopped early (empty at the end of the file).
    const QString& error() const { return error_; }
    // Bytes of the file read so far (for progress).
    qint64 bytesRead() const { return bytesRead_; }

private:
    // Parses one record from buf_ at pos_; false when the piece ends first.
    bool parse(Record& record, bool atEnd);
    bool fill();

    QIODevice& in_;
    Format format_;
    std::unique_ptr<QStringDecoder> decoder_; // null for UTF-8
    QByteArray buf_;
    qsizetype pos_ = 0;
    qint64 line_ = 1;
    qint64 bytesRead_ = 0;
    bool eof_ = false;
    bool first_ = true;
    QString error_;
};

// Decodes bytes of the file's start as UTF-8, dropping a byte-order mark.
QByteArray toUtf8(const QByteArray& bytes, Encoding encoding);

} // namespace csv
