#include "run/TextLayout.h"

#include "script/ScriptText.h"

#include <algorithm>

namespace textlayout {

int columnWidth(const db::Field& field) { return field.precision + 5; }

std::vector<int> columnWidths(const std::vector<db::Field>& fields) {
    std::vector<int> w;
    w.reserve(fields.size());
    for (const auto& f : fields) w.push_back(columnWidth(f));
    return w;
}

QString headerBlock(const std::vector<db::Field>& fields) { return headerBlock(fields, columnWidths(fields)); }

QString headerBlock(const std::vector<db::Field>& fields, const std::vector<int>& widths) {
    QString names, dashes;
    for (size_t i = 0; i < fields.size(); ++i) {
        const auto& f = fields[i];
        const int w = widths[i];
        names += scripttext::padText(f.name, QStringLiteral("L"), w, QStringLiteral(" "));
        dashes += scripttext::padText(QStringLiteral("-"), QStringLiteral("L"), w, QStringLiteral("-"));
    }
    return names + QStringLiteral("\r\n") + dashes + QStringLiteral("\r\n");
}

namespace {

// Appends UTF-8 text as UTF-16 (the text is known to be valid UTF-8 or is
// decoded leniently by Qt for the rare odd byte).
bool isAscii(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

void appendUtf8(QString& out, std::string_view s) {
    if (isAscii(s))
        out.append(QLatin1StringView(s.data(), qsizetype(s.size())));
    else
        out.append(QString::fromUtf8(s.data(), qsizetype(s.size())));
}

// UTF-16 length of valid UTF-8 text.
qsizetype utf16Length(std::string_view s) {
    qsizetype n = 0;
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c & 0xC0) != 0x80) ++n;  // a character starts here
        if (c >= 0xF0) ++n;           // outside the BMP: a surrogate pair
    }
    return n;
}

// A cell as the layout shows it: the value without leading and trailing blanks.
std::string_view trimmedCell(const db::RowBlock& block, int row, int column) {
    std::string_view v = block.isNull(row, column) ? std::string_view() : block.text(row, column);
    while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
    while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
    return v;
}

} // namespace

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
            widest = std::max(widest, utf16Length(trimmedCell(firstRows, r, int(c))));
        w[c] = int(std::clamp<qsizetype>(widest, 1, 255)) + 5;
    }
    return w;
}

void appendLine(QString& out, const db::RowBlock& block, int row, const std::vector<int>& widths) {
    for (int c = 0; c < block.columnCount(); ++c) {
        const int w = widths[size_t(c)];
        const std::string_view v = trimmedCell(block, row, c);
        const qsizetype len = utf16Length(v);
        if (len > w) {
            out += QLatin1String("...");
            continue;
        }
        appendUtf8(out, v);
        const qsizetype at = out.size();
        out.resize(at + (w - len));
        std::fill(out.begin() + at, out.end(), QLatin1Char(' '));
    }
}

void appendRow(QString& out, const db::RowBlock& block, int row, const std::vector<int>& widths) {
    appendLine(out, block, row, widths);
    out += QLatin1String("\r\n");
}

void appendRowUtf8(QByteArray& out, const db::RowBlock& block, int row, const std::vector<int>& widths) {
    for (int c = 0; c < block.columnCount(); ++c) {
        const int w = widths[size_t(c)];
        const std::string_view v = trimmedCell(block, row, c);
        const qsizetype len = utf16Length(v);
        if (len > w) {
            out += "...";
            continue;
        }
        if (isAscii(v))
            out.append(v.data(), qsizetype(v.size()));
        else // the odd invalid byte turns into U+FFFD here as it does in the text pane
            out += QString::fromUtf8(v.data(), qsizetype(v.size())).toUtf8();
        out.append(w - len, ' ');
    }
    out += "\r\n";
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

} // namespace textlayout
