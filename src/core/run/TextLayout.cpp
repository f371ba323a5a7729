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

QString headerBlock(const std::vector<db::Field>& fields) {
    QString names, dashes;
    for (const auto& f : fields) {
        const int w = columnWidth(f);
        names += scripttext::padText(f.name, QStringLiteral("L"), w, QStringLiteral(" "));
        dashes += scripttext::padText(QStringLiteral("-"), QStringLiteral("L"), w, QStringLiteral("-"));
    }
    return names + QStringLiteral("\r\n") + dashes + QStringLiteral("\r\n");
}

namespace {

// Appends UTF-8 text as UTF-16 (the text is known to be valid UTF-8 or is
// decoded leniently by Qt for the rare odd byte).
void appendUtf8(QString& out, std::string_view s) {
    bool ascii = true;
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii)
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

} // namespace

void appendRow(QString& out, const db::RowBlock& block, int row, const std::vector<int>& widths) {
    for (int c = 0; c < block.columnCount(); ++c) {
        const int w = widths[size_t(c)];
        std::string_view v = block.isNull(row, c) ? std::string_view() : block.text(row, c);
        while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
        while (!v.empty() && v.back() == ' ') v.remove_suffix(1);
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
    out += QLatin1String("\r\n");
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
