#include "run/GridExport.h"

#include "run/ResultModel.h"

#include <QSaveFile>

#include <algorithm>
#include <charconv>
#include <cstring>

namespace run {

GridFormat gridFormatFor(const QString& fileName, const GridFormat& chosenFilter) {
    if (fileName.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) return kCsv;
    if (fileName.endsWith(QLatin1String(".tab"), Qt::CaseInsensitive)) return kTab;
    return chosenFilter;
}

namespace {

// Writes a quoted cell at p (room for 2 * size + 2 bytes); returns the end.
char* writeCell(char* p, std::string_view text) {
    *p++ = '"';
    const char* s = text.data();
    const char* const end = s + text.size();
    while (s < end) {
        const void* q = std::memchr(s, '"', size_t(end - s));
        const char* stop = q ? static_cast<const char*>(q) + 1 : end;
        std::memcpy(p, s, size_t(stop - s));
        p += stop - s;
        if (q) *p++ = '"'; // a quote inside a cell is doubled
        s = stop;
    }
    *p++ = '"';
    return p;
}

} // namespace

void appendGridCell(QByteArray& out, std::string_view text) {
    const qsizetype at = out.size();
    out.resize(at + qsizetype(2 * text.size() + 2));
    char* end = writeCell(out.data() + at, text);
    out.resize(end - out.constData());
}

void appendGridHeader(QByteArray& out, const std::vector<db::Field>& fields, const GridFormat& format) {
    appendGridCell(out, {});
    for (const auto& f : fields) {
        out += format.separator;
        const QByteArray name = f.name.toUtf8();
        appendGridCell(out, std::string_view(name.constData(), size_t(name.size())));
    }
    out += "\r\n";
}

void appendGridRow(QByteArray& out, qint64 recordNumber, const db::RowBlock& block, int row, const GridFormat& format) {
    // Room for the worst case (every character a quote), trimmed afterwards.
    size_t room = 24 + 2;
    for (int c = 0; c < block.columnCount(); ++c) room += 2 * block.text(row, c).size() + 3;
    const qsizetype at = out.size();
    if (out.capacity() < at + qsizetype(room)) out.reserve(std::max<qsizetype>(at + qsizetype(room), out.capacity() * 2));
    out.resize(at + qsizetype(room));
    char* p = out.data() + at;
    char number[24];
    const auto conv = std::to_chars(number, number + sizeof(number), recordNumber);
    p = writeCell(p, std::string_view(number, size_t(conv.ptr - number)));
    for (int c = 0; c < block.columnCount(); ++c) {
        *p++ = format.separator;
        p = writeCell(p, block.isNull(row, c) ? std::string_view() : block.text(row, c));
    }
    *p++ = '\r';
    *p++ = '\n';
    out.resize(p - out.constData());
}

Status writeGridFile(const ResultModel& grid, const QString& path, const GridFormat& format) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
    QByteArray buffer;
    appendGridHeader(buffer, grid.fields(), format);
    bool failed = false;
    grid.forEachRow([&](qint64 number, const db::RowBlock& block, int row) {
        if (failed) return;
        appendGridRow(buffer, number, block, row, format);
        if (buffer.size() > (1 << 20)) {
            failed = file.write(buffer) != buffer.size();
            buffer.clear();
        }
    });
    if (failed || file.write(buffer) != buffer.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit()) return fail(file.errorString());
    return {};
}

} // namespace run
