#include "grid/RowOrder.h"

#include "grid/Collation.h"
#include "grid/RowStore.h"
#include "grid/ValueKey.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace grid {
namespace {

// A row's key: its first 16 bytes inline (most keys end there), the rest in
// the shared tail buffer.
struct Entry {
    quint64 head0 = 0, head1 = 0;
    uint32_t tail = 0;    // offset of the bytes after the 16th in the tail buffer
    uint32_t tailLength = 0;
    uint32_t row = 0;
    uint32_t length = 0;  // the whole key's length
};

quint64 bigEndian(const char* p, size_t n) {
    quint64 v = 0;
    for (size_t i = 0; i < 8; ++i) v = (v << 8) | (i < n ? quint64(static_cast<unsigned char>(p[i])) : 0);
    return v;
}

class KeyTable {
public:
    void add(uint32_t row, const std::string& key) {
        Entry e;
        e.row = row;
        e.length = uint32_t(key.size());
        e.head0 = bigEndian(key.data(), key.size());
        e.head1 = key.size() > 8 ? bigEndian(key.data() + 8, key.size() - 8) : 0;
        if (key.size() > 16) {
            e.tail = uint32_t(tails.size());
            e.tailLength = uint32_t(key.size() - 16);
            tails.append(key, 16);
        }
        entries.push_back(e);
    }
    // Compares the keys only (<0, 0, >0).
    int compare(const Entry& a, const Entry& b) const {
        if (a.head0 != b.head0) return a.head0 < b.head0 ? -1 : 1;
        if (a.head1 != b.head1) return a.head1 < b.head1 ? -1 : 1;
        if (a.length <= 16 || b.length <= 16) return int(a.length) - int(b.length);
        const int r = std::memcmp(tails.data() + a.tail, tails.data() + b.tail, std::min(a.tailLength, b.tailLength));
        return r ? r : int(a.tailLength) - int(b.tailLength);
    }
    std::vector<Entry> entries;
    std::string tails;
};

} // namespace

std::vector<uint32_t> sortRows(const RowStore& store, int column, SortDirection direction,
                               const std::vector<uint32_t>* subset, const std::atomic<bool>* cancel) {
    const Collation collation;
    const ValueKey keys(valueOrder(store.fields()[size_t(column)]), collation);
    KeyTable table;
    table.entries.reserve(subset ? subset->size() : size_t(store.rowCount()));
    std::string key;
    auto addRow = [&](const ChunkCells& cells, int r, uint32_t row) {
        key.clear();
        keys.append(cells.text(r, column), cells.isNull(r, column), key);
        table.add(row, key);
    };
    if (subset) {
        ChunkPin chunk;
        qint64 first = 0;
        for (uint32_t row : *subset) {
            if (!chunk || row < first || row >= first + chunk->rowCount()) {
                if (cancel && *cancel) return {};
                auto at = store.locate(row);
                chunk = at.first;
                first = qint64(row) - at.second;
            }
            addRow(*chunk, int(row - first), row);
        }
    } else {
        store.forEachChunk([&](qint64 first, const ChunkCells& cells) {
            if (cancel && *cancel) return;
            for (int r = 0; r < cells.rowCount(); ++r) addRow(cells, r, uint32_t(first + r));
        });
    }
    if (cancel && *cancel) return {};
    const bool descending = direction == SortDirection::Descending;
    std::sort(table.entries.begin(), table.entries.end(), [&](const Entry& a, const Entry& b) {
        const int c = table.compare(a, b);
        if (c != 0) return descending ? c > 0 : c < 0;
        return a.row < b.row;
    });
    std::vector<uint32_t> order;
    order.reserve(table.entries.size());
    for (const Entry& e : table.entries) order.push_back(e.row);
    return order;
}

} // namespace grid
