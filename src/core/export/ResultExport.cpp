#include "export/ResultExport.h"

#include "export/RowSink.h"
#include "export/TextFormat.h"
#include "run/ResultModel.h"

#include <algorithm>

namespace exports {

Status writeResultFile(const ResultModel& grid, const QString& path, Format format,
                       const ExportOptions& options, const Progress& progress) {
    auto sink = openFile(format, path, options);
    if (!sink) return fail(sink.error());
    RowSink& out = **sink;
    Status status = out.beginSet(grid.fields());
    qint64 written = 0;
    bool stopped = false;
    grid.forEachBlock([&](const db::RowBlock& block) {
        if (!status || stopped) return;
        status = out.writeRows(block);
        written += block.rowCount();
        if (progress && !progress(written)) stopped = true;
    });
    if (stopped) return fail(QStringLiteral("The export was stopped; %1 was not written.").arg(path));
    if (!status) return status;
    return out.finish(); // the sink removes its temporary file whenever this is not reached
}

CellSelection CellSelection::rectangle(int r1, int r2, int c1, int c2) {
    CellSelection s;
    for (int r = std::min(r1, r2); r <= std::max(r1, r2); ++r)
        s.rows.push_back(r);
    for (int c = std::min(c1, c2); c <= std::max(c1, c2); ++c)
        s.columns.push_back(c);
    return s;
}

QString selectionText(const ResultModel& grid, const CellSelection& cells, Format format,
                      const ExportOptions& options) {
    auto textFormat = makeTextFormat(format, options);
    if (!textFormat) return {};
    std::vector<int> columns;
    std::vector<db::Field> fields;
    for (int c : cells.columns)
        if (c >= 0 && c < int(grid.fields().size())) {
            columns.push_back(c);
            fields.push_back(grid.fields()[size_t(c)]);
        }
    // The selected cells as a block of their own, in the order asked for.
    db::RowBlock block;
    block.reset(int(columns.size()));
    for (int r : cells.rows) {
        if (r < 0 || r >= grid.rowCount()) continue;
        for (int c : columns) {
            if (grid.isNull(r, c)) {
                block.appendNull();
            } else {
                const QByteArray text = grid.cellText(r, c).toUtf8();
                block.appendCell(text.constData(), size_t(text.size()));
            }
        }
    }
    QByteArray out;
    textFormat->beginSet(out, fields);
    textFormat->appendRows(out, block);
    textFormat->endSet(out);
    textFormat->endDocument(out);
    return QString::fromUtf8(out);
}

} // namespace exports
