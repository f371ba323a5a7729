#include "grid/RowFilter.h"

#include "grid/Collation.h"
#include "grid/RowStore.h"
#include "grid/TextMatch.h"
#include "grid/ValueKey.h"

#include <memory>
#include <string>

namespace grid {
namespace {

// Marks in hits the rows (from `from` on) of column that contain match.
void markContaining(const ChunkCells& cells, int column, int from, const TextMatch& match, std::vector<char>& hits) {
    if (!match.bytewise()) {
        for (int r = from; r < cells.rowCount(); ++r)
            if (!hits[size_t(r)] && !cells.isNull(r, column) && match.in(cells.text(r, column))) hits[size_t(r)] = 1;
        return;
    }
    // one search over the column's bytes; a hit counts when it lies inside one cell
    const std::string_view bytes = cells.columnBytes(column);
    size_t at = from > 0 ? cells.cellEnd(from - 1, column) : 0;
    for (;;) {
        const size_t found = match.find(bytes, at);
        if (found == std::string_view::npos) return;
        const int row = cells.rowAt(column, found);
        if (row >= cells.rowCount()) return;
        const size_t end = cells.cellEnd(row, column);
        if (found + match.length() <= end) {
            hits[size_t(row)] = 1;
            at = end; // the next cell
        } else {
            at = found + 1;
        }
    }
}

// A condition comparing values, ready to test cells.
class Comparison {
public:
    Comparison(const RowStore& store, const ColumnCondition& c, const Collation& collation)
        : condition_(c), order_(valueOrder(store.fields()[size_t(c.column)])), keys_(order_, collation),
          collation_(collation), literal_(c.value.toUtf8().toStdString()) {
        keys_.append(literal_, false, literalKey_);
    }
    bool test(std::string_view text) const {
        if (order_ == ValueOrder::Text) {
            if (condition_.op == FilterOp::Equals) return text == literal_;
            const int c = collation_.compare(text, literal_);
            return condition_.op == FilterOp::Less ? c < 0 : c > 0;
        }
        scratch_.clear();
        keys_.append(text, false, scratch_);
        // a value of another class (a word in a number column) never compares with a number
        if (scratch_[0] != literalKey_[0]) return false;
        const int c = scratch_.compare(literalKey_);
        switch (condition_.op) {
        case FilterOp::Equals: return c == 0;
        case FilterOp::Less: return c < 0;
        default: return c > 0;
        }
    }

private:
    const ColumnCondition condition_;
    const ValueOrder order_;
    const ValueKey keys_;
    const Collation& collation_;
    const std::string literal_;
    std::string literalKey_;
    mutable std::string scratch_;
};

} // namespace

std::vector<uint32_t> filterRows(const RowStore& store, const RowFilter& filter, qint64 fromRow,
                                 const std::atomic<bool>* cancel) {
    const Collation collation;
    std::vector<std::unique_ptr<Comparison>> comparisons;
    std::vector<std::unique_ptr<TextMatch>> contains;
    for (const ColumnCondition& c : filter.conditions) {
        const bool compares = c.op == FilterOp::Equals || c.op == FilterOp::Less || c.op == FilterOp::Greater;
        comparisons.push_back(compares ? std::make_unique<Comparison>(store, c, collation) : nullptr);
        contains.push_back(c.op == FilterOp::Contains ? std::make_unique<TextMatch>(c.value) : nullptr);
    }
    const TextMatch quick(filter.quick);
    std::vector<uint32_t> rows;
    std::vector<char> pass, hits;
    store.forEachChunk([&](qint64 first, const ChunkCells& cells) {
        if ((cancel && *cancel) || first + cells.rowCount() <= fromRow) return;
        const int from = int(std::max<qint64>(0, fromRow - first));
        const int n = cells.rowCount();
        pass.assign(size_t(n), 1);
        for (size_t i = 0; i < filter.conditions.size(); ++i) {
            const ColumnCondition& c = filter.conditions[i];
            if (c.column < 0 || c.column >= store.columnCount()) continue;
            if (c.op == FilterOp::Contains) {
                if (contains[i]->empty()) continue;
                hits.assign(size_t(n), 0);
                markContaining(cells, c.column, from, *contains[i], hits);
                for (int r = from; r < n; ++r) pass[size_t(r)] &= hits[size_t(r)];
                continue;
            }
            for (int r = from; r < n; ++r) {
                if (!pass[size_t(r)]) continue;
                const bool isNull = cells.isNull(r, c.column);
                bool ok = false;
                switch (c.op) {
                case FilterOp::IsNull: ok = isNull; break;
                case FilterOp::IsNotNull: ok = !isNull; break;
                default: ok = !isNull && comparisons[i]->test(cells.text(r, c.column)); break;
                }
                pass[size_t(r)] = ok;
            }
        }
        if (!quick.empty()) {
            hits.assign(size_t(n), 0);
            for (int col = 0; col < store.columnCount(); ++col) markContaining(cells, col, from, quick, hits);
            for (int r = from; r < n; ++r) pass[size_t(r)] &= hits[size_t(r)];
        }
        for (int r = from; r < n; ++r)
            if (pass[size_t(r)]) rows.push_back(uint32_t(first + r));
    });
    return rows;
}

} // namespace grid
