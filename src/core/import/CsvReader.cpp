#include "import/CsvReader.h"

#include <cstring>

namespace csv {
namespace {

constexpr qint64 kPiece = qint64(1) << 20;
const QByteArray kUtf8Bom("\xEF\xBB\xBF");

QStringConverter::Encoding qtEncoding(Encoding e) {
    switch (e) {
    case Encoding::Utf16LE: return QStringConverter::Utf16LE;
    case Encoding::Utf16BE: return QStringConverter::Utf16BE;
    case Encoding::Latin1: return QStringConverter::Latin1;
    case Encoding::Utf8: break;
    }
    return QStringConverter::Utf8;
}

// Line breaks in [from, to): CR LF counts once.
qint64 lineBreaks(const char* from, const char* to) {
    qint64 n = 0;
    for (const char* c = from; c < to; ++c)
        if (*c == '\n' || (*c == '\r' && (c + 1 >= to || c[1] != '\n'))) ++n;
    return n;
}

} // namespace

QByteArray toUtf8(const QByteArray& bytes, Encoding encoding) {
    if (encoding == Encoding::Utf8) return bytes.startsWith(kUtf8Bom) ? bytes.mid(kUtf8Bom.size()) : bytes;
    QStringDecoder decode(qtEncoding(encoding));
    return QString(decode(bytes)).toUtf8();
}

CsvReader::CsvReader(QIODevice& in, const Format& format) : in_(in), format_(format) {
    if (format.encoding != Encoding::Utf8) decoder_ = std::make_unique<QStringDecoder>(qtEncoding(format.encoding));
}

CsvReader::~CsvReader() = default;

bool CsvReader::fill() {
    const QByteArray piece = in_.read(kPiece);
    if (piece.isEmpty()) return false;
    bytesRead_ += piece.size();
    if (decoder_) {
        buf_ += QString((*decoder_)(piece)).toUtf8();
    } else if (first_ && piece.startsWith(kUtf8Bom)) {
        buf_.append(piece.constData() + kUtf8Bom.size(), piece.size() - kUtf8Bom.size());
    } else {
        buf_ += piece;
    }
    first_ = false;
    return true;
}

bool CsvReader::next(Record& record) {
    for (;;) {
        const bool blankLine = pos_ < buf_.size() && (buf_[pos_] == '\n' || buf_[pos_] == '\r');
        if (parse(record, eof_)) {
            if (blankLine && record.size() == 1 && !record.quoted(0)) continue; // blank lines hold no record
            return true;
        }
        if (!error_.isEmpty() || (eof_ && pos_ >= buf_.size())) return false;
        buf_.remove(0, pos_);
        pos_ = 0;
        if (!fill()) eof_ = true;
    }
}

bool CsvReader::parse(Record& record, bool atEnd) {
    const char* p = buf_.constData();
    const qsizetype n = buf_.size();
    qsizetype i = pos_;
    qint64 line = line_;
    if (i >= n) return false;
    const char d = format_.delimiter;
    const char q = format_.quote;
    record.line = line;
    record.bytes.clear();
    record.fields.clear();
    for (;;) {
        const size_t begin = record.bytes.size();
        bool quoted = false;
        if (q && i < n && p[i] == q) {
            quoted = true;
            ++i;
            for (;;) {
                const char* hit = static_cast<const char*>(memchr(p + i, q, size_t(n - i)));
                if (!hit) {
                    if (atEnd)
                        error_ = QStringLiteral("Line %1: a quoted field starts here and never ends.").arg(record.line);
                    return false;
                }
                line += lineBreaks(p + i, hit);
                record.bytes.insert(record.bytes.end(), p + i, hit);
                i = hit - p + 1;
                if (i >= n && !atEnd) return false; // a doubled quote may follow in the next piece
                if (i < n && p[i] == q) {
                    record.bytes.push_back(q);
                    ++i;
                    continue;
                }
                break;
            }
        }
        qsizetype j = i;
        while (j < n && p[j] != d && p[j] != '\n' && p[j] != '\r') ++j;
        if (j >= n && !atEnd) return false;
        record.bytes.insert(record.bytes.end(), p + i, p + j);
        record.fields.push_back({begin, record.bytes.size(), quoted});
        i = j;
        if (i >= n) break; // the file's end ends the record
        if (p[i] == d) {
            ++i;
            continue;
        }
        if (p[i] == '\r') {
            if (i + 1 >= n && !atEnd) return false; // its LF may be in the next piece
            ++i;
            if (i < n && p[i] == '\n') ++i;
        } else {
            ++i;
        }
        ++line;
        break;
    }
    pos_ = i;
    line_ = line;
    return true;
}

} // namespace csv
