#pragma once
// Which rows of a grid the user wants to see: conditions on columns (all
// must hold) and a quick filter text that any column may contain. NULL
// meets only "is null"; "contains" ignores case; "=", "<" and ">" compare
// by the column's kind (numbers as numbers, dates as dates, text by the
// locale's collation; "=" on text is exact).

#include <QString>

#include <atomic>
#include <cstdint>
#include <vector>

namespace grid {

class RowStore;

enum class FilterOp { Contains, Equals, Less, Greater, IsNull, IsNotNull };

struct ColumnCondition {
    int column = 0;
    FilterOp op = FilterOp::Contains;
    QString value;
    bool operator==(const ColumnCondition&) const = default;
};

struct RowFilter {
    std::vector<ColumnCondition> conditions;
    QString quick; // any column contains it
    bool isEmpty() const { return conditions.empty() && quick.isEmpty(); }
    bool operator==(const RowFilter&) const = default;
};

// The store's rows from fromRow on that pass filter, in store order.
std::vector<uint32_t> filterRows(const RowStore& store, const RowFilter& filter, qint64 fromRow = 0,
                                 const std::atomic<bool>* cancel = nullptr);

} // namespace grid
