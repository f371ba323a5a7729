#include "run/TextLayout.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace run {

int columnWidth(const db::Field& field) { return field.precision + 5; }

std::vector<int> columnWidths(const std::vector<db::Field>& fields) {
    std::vector<int> w;
    w.reserve(fields.size());
    for (const auto& f : fields) w.push_back(columnWidth(f));
    return w;
}

namespace {

// What a cell's value is made of: its length in UTF-16 units (as the text
// pane counts), and whether it is plain ASCII or valid UTF-8 (whose bytes
// are then the bytes of its text as they are).
struct Measure {
    qsizetype units = 0;
    bool ascii = true;
    bool valid = true;
};

// The length of a valid UTF-8 sequence starting with lead byte c (0 if c
// cannot lead one).
int sequenceLength(unsigned char c) {
    if (c < 0x80) return 1;
    if (c < 0xC2) return 0;
    if (c < 0xE0) return 2;
    if (c < 0xF0) return 3;
    if (c < 0xF5) return 4;
    return 0;
}

// Strict UTF-8, as Qt decodes it: no overlong forms, no surrogates, nothing
// past U+10FFFF (any of those would become U+FFFD in the text pane).
bool isAscii(std::string_view s) {
    // eight bytes at a time: the common cell is short and plain
    std::uint64_t any = 0;
    size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, s.data() + i, 8);
        any |= word;
    }
    for (; i < s.size(); ++i) any |= static_cast<unsigned char>(s[i]);
    return (any & 0x8080808080808080ULL) == 0;
}

Measure measure(std::string_view s) {
    Measure m;
    if (isAscii(s)) {
        m.units = qsizetype(s.size());
        return m;
    }
    m.ascii = false;
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const size_t n = s.size();
    for (size_t i = 0; i < n;) {
        const unsigned char c = p[i];
        const int len = sequenceLength(c);
        bool ok = len > 0 && i + size_t(len) <= n;
        for (int k = 1; ok && k < len; ++k) ok = (p[i + size_t(k)] & 0xC0) == 0x80;
        if (ok && len >= 3) {
            const unsigned char d = p[i + 1];
            ok = !(c == 0xE0 && d < 0xA0) && !(c == 0xED && d >= 0xA0) && !(c == 0xF0 && d < 0x90) &&
                 !(c == 0xF4 && d >= 0x90);
        }
        if (!ok) {
            m.valid = false;
            ++m.units; // Qt's U+FFFD for the byte; measured exactly below when it matters
            ++i;
            continue;
        }
        m.units += len == 4 ? 2 : 1;
        i += size_t(len);
    }
    return m;
}

std::string_view trimBlanks(std::string_view v) {
    while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
    while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
    return v;
}

// A cell as the layout shows it: the value without leading and trailing blanks.
std::string_view trimmedCell(const db::RowBlock& block, int row, int column) {
    return trimBlanks(block.isNull(row, column) ? std::string_view() : block.text(row, column));
}

constexpr std::string_view kCut = "... "; // after the part of a value that fits, then the next column

// How many bytes of valid UTF-8 text make at most `units` UTF-16 units
// (never half a character).
size_t bytesForUnits(std::string_view s, qsizetype units) {
    size_t i = 0;
    while (i < s.size()) {
        const int len = std::max(1, sequenceLength(static_cast<unsigned char>(s[i])));
        const qsizetype u = len == 4 ? 2 : 1;
        if (units < u) break;
        units -= u;
        i += size_t(len);
    }
    return std::min(i, s.size());
}

// The units of a cut value that fit before the "..." of a column w wide.
qsizetype keptUnits(int w) { return std::max<qsizetype>(0, w - qsizetype(kCut.size())); }

void appendBlanks(QString& out, qsizetype n) {
    if (n <= 0) return;
    const qsizetype at = out.size();
    out.resize(at + n);
    std::fill(out.begin() + at, out.end(), QLatin1Char(' '));
}

// Lays out one cell of width w into UTF-16 text: the value padded with
// blanks, or as much of it as fits and "...".
void appendCell(QString& out, std::string_view v, int w) {
    const Measure m = measure(v);
    if (m.ascii) {
        const qsizetype shown = std::min<qsizetype>(m.units, m.units > w ? keptUnits(w) : w);
        out.append(QLatin1StringView(v.data(), shown));
        if (m.units > w) {
            out.append(QLatin1StringView(kCut.data(), qsizetype(kCut.size())));
            appendBlanks(out, w - shown - qsizetype(kCut.size()));
            return;
        }
        appendBlanks(out, w - m.units);
        return;
    }
    QString text = QString::fromUtf8(v.data(), qsizetype(v.size()));
    if (text.size() > w) {
        qsizetype keep = keptUnits(w);
        if (keep > 0 && text[keep - 1].isHighSurrogate()) --keep; // never half a character
        text.truncate(keep);
        text += QLatin1StringView(kCut.data(), qsizetype(kCut.size()));
    }
    out += text;
    appendBlanks(out, w - text.size());
}

// The same cell as UTF-8, written at p (room for v.size() + w + kCut.size()
// bytes of valid text); returns the end. Text that is not valid UTF-8 goes
// the way of the UTF-16 text, so both read the same.
char* writeCellUtf8(char* p, std::string_view v, int w, const Measure& m) {
    size_t shownBytes = v.size();
    qsizetype units = m.units;
    const bool cut = units > w;
    if (cut) {
        const qsizetype keep = keptUnits(w);
        shownBytes = m.ascii ? size_t(keep) : bytesForUnits(v, keep);
        units = m.ascii ? keep : measure(v.substr(0, shownBytes)).units;
    }
    std::memcpy(p, v.data(), shownBytes);
    p += shownBytes;
    if (cut) {
        std::memcpy(p, kCut.data(), kCut.size());
        p += kCut.size();
        units += qsizetype(kCut.size());
    }
    if (units < w) {
        std::memset(p, ' ', size_t(w - units));
        p += w - units;
    }
    return p;
}

} // namespace

QString headerBlock(const std::vector<db::Field>& fields) { return headerBlock(fields, columnWidths(fields)); }

QString headerBlock(const std::vector<db::Field>& fields, const std::vector<int>& widths) {
    QString names, dashes;
    for (size_t i = 0; i < fields.size(); ++i) {
        const auto& f = fields[i];
        const int w = widths[i];
        const QByteArray name = f.name.toUtf8();
        appendCell(names, trimBlanks(std::string_view(name.constData(), size_t(name.size()))), w);
        dashes += QString(w, QLatin1Char('-'));
    }
    return names + QStringLiteral("\r\n") + dashes + QStringLiteral("\r\n");
}

std::vector<int> columnWidths(const std::vector<db::Field>& fields, const db::RowBlock& firstRows) {
    std::vector<int> w = columnWidths(fields);
    for (size_t c = 0; c < fields.size(); ++c) {
        if (!fields[c].unsized) continue;
        const QString& name = fields[c].name;
        qsizetype b = 0, e = name.size(); // blanks trimmed as padText trims them
        while (b < e && name[b] == QLatin1Char(' ')) ++b;
        while (e > b && name[e - 1] == QLatin1Char(' ')) --e;
        qsizetype widest = e - b;
        for (int r = 0; r < firstRows.rowCount() && widest < 255; ++r)
            widest = std::max(widest, measure(trimmedCell(firstRows, r, int(c))).units);
        w[c] = int(std::clamp<qsizetype>(widest, 1, 255)) + 5;
    }
    return w;
}

void appendLine(QString& out, const db::RowBlock& block, int row, const std::vector<int>& widths) {
    for (int c = 0; c < block.columnCount(); ++c) appendCell(out, trimmedCell(block, row, c), widths[size_t(c)]);
}

void appendRow(QString& out, const db::RowBlock& block, int row, const std::vector<int>& widths) {
    appendLine(out, block, row, widths);
    out += QLatin1String("\r\n");
}

void appendRowUtf8(QByteArray& out, const db::RowBlock& block, int row, const std::vector<int>& widths) {
    // Every cell is written in place into room made once for the row: the
    // room is an upper bound, and the array keeps its capacity, so a long
    // result allocates nothing per row.
    const int columns = block.columnCount();
    qsizetype room = 2;
    for (int c = 0; c < columns; ++c)
        room += qsizetype(block.isNull(row, c) ? 0 : block.text(row, c).size()) + widths[size_t(c)] +
                qsizetype(kCut.size());
    qsizetype at = out.size();
    out.resize(at + room);
    char* p = out.data() + at;
    for (int c = 0; c < columns; ++c) {
        const int w = widths[size_t(c)];
        const std::string_view v = trimmedCell(block, row, c);
        const Measure m = measure(v);
        if (m.valid) {
            p = writeCellUtf8(p, v, w, m);
            continue;
        }
        // the odd invalid byte turns into U+FFFD here as it does in the text pane
        QString cell;
        appendCell(cell, v, w);
        const QByteArray bytes = cell.toUtf8();
        at = p - out.data();
        out.resize(out.size() + bytes.size()); // the original bytes' room may be too small
        p = std::copy(bytes.begin(), bytes.end(), out.data() + at);
    }
    *p++ = '\r';
    *p++ = '\n';
    out.resize(p - out.data());
}

void appendRowsUtf8(QByteArray& out, const db::RowBlock& block, const std::vector<int>& widths) {
    for (int r = 0; r < block.rowCount(); ++r) appendRowUtf8(out, block, r, widths);
}

qsizetype maxLineLength(const std::vector<int>& widths) {
    qsizetype n = 0;
    for (int w : widths) n += w;
    return n;
}

QString rowLimitNotice(qint64 limit) { return QStringLiteral("\r\n...Rowcount = %1...").arg(limit); }
QString cancelNotice() { return QStringLiteral("\r\n...Query cancelled by User...\r\n"); }
QString setTrailer(qint64 rows) { return QStringLiteral("\r\n\r\n%1  Row(s) affected\r\n\r\n").arg(rows); }
QString successMessage(qint64 rows) { return QStringLiteral("Success\r\n\r\n%1  Row(s) affected").arg(rows); }
QString cancelledMessage(qint64 rows) {
    return QStringLiteral("\r\n...Query cancelled by User...\r\n\r\n%1  Row(s) affected").arg(rows);
}
QString affectedMessage(qint64 count) { return QStringLiteral("%1 Row(s) affected.").arg(count); }
QString errorMessage(int number, const QString& description) {
    return QStringLiteral("Error: #%1\r\n%2").arg(number).arg(description);
}
QString noConnectionMessage() { return QStringLiteral("Error: No Connection..."); }
QString nothingToDoMessage() { return QStringLiteral("Nothing to do but wait for something to execute :/"); }
QString rowsStatus(qint64 rows) { return QStringLiteral("%1 Rows").arg(rows); }

QString elapsedText(qint64 ms) {
    const qint64 s = ms / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg((s / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

} // namespace run
