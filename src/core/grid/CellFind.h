#pragma once
// Find in a grid: the next (or previous) cell, in the order the user sees
// the rows and columns, whose text contains the words looked for (ignoring
// case). The search starts after the current cell and wraps around once.

#include <QString>

#include <functional>
#include <optional>

namespace grid {

class RowStore;

struct CellPosition {
    qint64 row = 0; // a row as shown (after sorting and filtering)
    int column = 0;
    bool operator==(const CellPosition&) const = default;
};

// storeRow maps a shown row to the store's row; rows is how many are shown.
// A current cell outside the grid starts the search at its first (or last)
// cell; fromCurrent looks at the current cell itself first.
std::optional<CellPosition> findCell(const RowStore& store, const std::function<qint64(qint64)>& storeRow,
                                     qint64 rows, CellPosition current, const QString& text, bool forward,
                                     bool fromCurrent = false);

} // namespace grid
