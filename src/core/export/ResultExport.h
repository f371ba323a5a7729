#pragma once
// Exports of the rows a grid holds (run/ResultModel): the whole result to a
// file ("Save as…") and a selection of cells as text for the clipboard
// ("Copy as…"). Both go through the same formats as the runner.

#include "base/Result.h"
#include "export/ExportFormat.h"
#include "export/ExportOptions.h"

#include <QString>
#include <functional>
#include <vector>

class ResultModel;

namespace exports {

// Called now and then with the rows written so far; false stops the export
// (nothing is saved).
using Progress = std::function<bool(qint64 rowsWritten)>;

// Writes every row of grid to path in format, straight from the grid's own
// row blocks (no copy of the rows is made), atomically: on any failure, or
// when stopped, an existing file stays as it was and no partial file is left.
Status writeResultFile(const ResultModel& grid, const QString& path, Format format,
                       const ExportOptions& options, const Progress& progress = {});

// Cells of the grid by model row and column, each list in the order wanted.
struct CellSelection {
    std::vector<int> rows;
    std::vector<int> columns;
    // Rows r1..r2 and columns c1..c2 (either way round).
    static CellSelection rectangle(int r1, int r2, int c1, int c2);
};

// The selected cells as text in a copyable format (empty for a format that
// is not text). Indexes outside the grid are left out.
QString selectionText(const ResultModel& grid, const CellSelection& cells, Format format,
                      const ExportOptions& options);

} // namespace exports
