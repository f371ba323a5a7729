#pragma once
// The order of a grid's rows by one column: a permutation of store rows,
// computed from value keys (see ValueKey), never by copying the cells.
// Equal values keep their fetched order, and descending is the exact
// reverse of ascending except that equal values still keep it.

#include <QtGlobal>

#include <atomic>
#include <cstdint>
#include <vector>

namespace grid {

class RowStore;

enum class SortDirection { Ascending, Descending };

// The rows (all of the store's, or those of subset in any order) sorted by
// column. cancel, when set during the sort, makes it return early (the
// result is then meaningless).
std::vector<uint32_t> sortRows(const RowStore& store, int column, SortDirection direction,
                               const std::vector<uint32_t>* subset = nullptr,
                               const std::atomic<bool>* cancel = nullptr);

} // namespace grid
