#include "grid/CellFind.h"

#include "grid/RowStore.h"
#include "grid/TextMatch.h"

namespace grid {

std::optional<CellPosition> findCell(const RowStore& store, const std::function<qint64(qint64)>& storeRow,
                                     qint64 rows, CellPosition current, const QString& text, bool forward,
                                     bool fromCurrent) {
    const int columns = store.columnCount();
    if (text.isEmpty() || rows <= 0 || columns <= 0) return std::nullopt;
    const TextMatch match(text);
    const qint64 cells = rows * columns;
    qint64 at = current.row * columns + current.column;
    qint64 first = fromCurrent ? 0 : 1;
    if (current.row < 0 || current.row >= rows || current.column < 0 || current.column >= columns) {
        at = forward ? -1 : cells;
        first = 1;
    }
    for (qint64 step = first; step < first + cells; ++step) {
        const qint64 i = ((forward ? at + step : at - step) % cells + cells) % cells;
        const qint64 row = i / columns;
        const int column = int(i % columns);
        const auto cell = store.locate(storeRow(row));
        if (!cell.first->isNull(cell.second, column) && match.in(cell.first->text(cell.second, column)))
            return CellPosition{row, column};
    }
    return std::nullopt;
}

} // namespace grid
