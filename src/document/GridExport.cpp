#include "GridExport.h"

namespace gridexport {

Format formatFor(const QString& fileName, const Format& chosenFilter) {
    if (fileName.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) return kCsv;
    if (fileName.endsWith(QLatin1String(".tab"), Qt::CaseInsensitive)) return kTab;
    return chosenFilter;
}

void appendCell(QByteArray& out, std::string_view text) {
    out += '"';
    size_t from = 0;
    for (size_t q; (q = text.find('"', from)) != std::string_view::npos; from = q + 1) {
        out.append(text.data() + from, qsizetype(q - from + 1));
        out += '"';
    }
    out.append(text.data() + from, qsizetype(text.size() - from));
    out += '"';
}

void appendHeader(QByteArray& out, const std::vector<db::Field>& fields, const Format& format) {
    appendCell(out, {});
    for (const auto& f : fields) {
        out += format.separator;
        const QByteArray name = f.name.toUtf8();
        appendCell(out, std::string_view(name.constData(), size_t(name.size())));
    }
    out += "\r\n";
}

void appendRow(QByteArray& out, qint64 recordNumber, const db::RowBlock& block, int row, const Format& format) {
    const QByteArray number = QByteArray::number(recordNumber);
    appendCell(out, std::string_view(number.constData(), size_t(number.size())));
    for (int c = 0; c < block.columnCount(); ++c) {
        out += format.separator;
        appendCell(out, block.isNull(row, c) ? std::string_view() : block.text(row, c));
    }
    out += "\r\n";
}

} // namespace gridexport
