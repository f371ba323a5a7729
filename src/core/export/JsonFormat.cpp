#include "export/JsonFormat.h"

#include "export/OutBuffer.h"

#include <QSet>

namespace exports {

namespace {

// The length of the valid UTF-8 sequence at s (of n bytes), 0 when it is not one.
size_t utf8Sequence(const unsigned char* s, size_t n) {
    const unsigned char c = s[0];
    size_t len;
    unsigned min;
    unsigned cp;
    if (c >= 0xC2 && c <= 0xDF)
        len = 2, min = 0x80, cp = c & 0x1F;
    else if (c >= 0xE0 && c <= 0xEF)
        len = 3, min = 0x800, cp = c & 0x0F;
    else if (c >= 0xF0 && c <= 0xF4)
        len = 4, min = 0x10000, cp = c & 0x07;
    else
        return 0;
    if (n < len) return 0;
    for (size_t i = 1; i < len; ++i) {
        if ((s[i] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (s[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

// Writes text as a JSON string at p (room for 6 * size + 2 bytes).
char* putString(char* p, std::string_view text) {
    static constexpr char hex[] = "0123456789abcdef";
    *p++ = '"';
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        const unsigned char c = s[i];
        if (c >= 0x20 && c < 0x80 && c != '"' && c != '\\') {
            *p++ = char(c);
            ++i;
            continue;
        }
        if (c >= 0x80) {
            const size_t len = utf8Sequence(s + i, n - i);
            if (len) {
                std::memcpy(p, s + i, len);
                p += len;
                i += len;
            } else {
                p = put(p, "\xEF\xBF\xBD"); // U+FFFD for a byte that is not UTF-8
                ++i;
            }
            continue;
        }
        *p++ = '\\';
        switch (c) {
        case '"':
            *p++ = '"';
            break;
        case '\\':
            *p++ = '\\';
            break;
        case '\n':
            *p++ = 'n';
            break;
        case '\r':
            *p++ = 'r';
            break;
        case '\t':
            *p++ = 't';
            break;
        case '\b':
            *p++ = 'b';
            break;
        case '\f':
            *p++ = 'f';
            break;
        default:
            p = put(p, "u00");
            *p++ = hex[c >> 4];
            *p++ = hex[c & 15];
        }
        ++i;
    }
    *p++ = '"';
    return p;
}

char* putValue(char* p, ValueKind kind, std::string_view text) {
    switch (kind) {
    case ValueKind::Number:
        if (isPlainNumber(text)) return put(p, text);
        break;
    case ValueKind::Boolean:
        if (const auto b = booleanValue(text))
            return put(p, *b ? std::string_view("true") : std::string_view("false"));
        if (isPlainNumber(text)) return put(p, text);
        break;
    default:
        break;
    }
    return putString(p, text);
}

} // namespace

void appendJsonString(QByteArray& out, std::string_view text) {
    done(out, putString(room(out, 6 * text.size() + 2), text));
}

JsonFormat::JsonFormat(const ExportOptions& options, bool lines) : TextFormat(options), lines_(lines) {}

void JsonFormat::startSet(QByteArray& out, int) {
    keys_.clear();
    keyRoom_ = 0;
    kinds_.clear();
    QSet<QString> used;
    if (options_.rowNumbers) used.insert(QStringLiteral("#"));
    for (const db::Field& f : fields_) {
        kinds_.push_back(valueKind(f));
        if (!options_.header) continue;
        QString key = f.name;
        for (int n = 2; used.contains(key); ++n)
            key = f.name + QLatin1Char('_') + QString::number(n);
        used.insert(key);
        QByteArray quoted;
        const QByteArray utf8 = key.toUtf8();
        appendJsonString(quoted, std::string_view(utf8.constData(), size_t(utf8.size())));
        keys_.push_back(quoted + ':');
        keyRoom_ = std::max(keyRoom_, size_t(keys_.back().size()));
    }
    if (!lines_) out += '[';
}

void JsonFormat::appendRows(QByteArray& out, const db::RowBlock& rows) {
    const int columns = rows.columnCount();
    const bool objects = options_.header;
    for (int r = 0; r < rows.rowCount(); ++r) {
        char* p = rowRoom(out, rows, r, 6, 8 + keyRoom_, 16);
        if (!lines_) { // "[" and each row's "," end their line
            if (rowNumber_ > 0) *p++ = ',';
            p = put(p, eol_);
        }
        ++rowNumber_;
        *p++ = objects ? '{' : '[';
        if (options_.rowNumbers) {
            if (objects) p = put(p, "\"#\":");
            p = putNumber(p, rowNumber_);
            if (columns) *p++ = ',';
        }
        for (int c = 0; c < columns; ++c) {
            if (c) *p++ = ',';
            if (objects) p = put(p, keys_[size_t(c)]);
            p = rows.isNull(r, c) ? put(p, "null") : putValue(p, kinds_[size_t(c)], rows.text(r, c));
        }
        *p++ = objects ? '}' : ']';
        if (lines_) p = put(p, eol_);
        done(out, p);
    }
}

void JsonFormat::endSet(QByteArray& out) {
    if (lines_) return;
    if (rowNumber_ > 0) out += eol_;
    out += ']';
    out += eol_;
}

} // namespace exports
