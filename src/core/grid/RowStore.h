#pragma once
// The rows of one grid result, stored by column: rows come in chunks of up
// to 65,536; inside a chunk every column is one arena of UTF-8 text with one
// 32-bit end offset per cell (top bit: NULL, kept apart from empty text).
// No object per cell: a cell costs its text and four bytes.
//
// Sealed chunks live in pages of their own. When the grids of the program
// hold more than the MemoryBudget allows, the oldest sealed chunks of the
// store taking in rows are written to an unnamed temporary file and read
// back through a small cache of mapped windows, so a result of any length
// scrolls, sorts and exports with memory under the limit. A chunk that
// cannot be written out (a full disk) stays in memory: no row is lost, and
// spillError() says why.
//
// Threads: rows are appended on one thread, which may also read the chunk
// still being filled. Other threads may read the sealed chunks at any time
// (pins keep a chunk's memory alive while it is read); everything is sealed
// once seal() has been called.

#include "base/Result.h"
#include "db/Field.h"
#include "db/RowBlock.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

namespace grid {

class PageMemory;
class SpillFile;

// The cells of one chunk, valid while its pin is held.
class ChunkCells {
public:
    struct Column {
        const uint32_t* ends;
        const char* bytes;
    };
    int rowCount() const { return rows_; }
    std::string_view text(int row, int column) const {
        const Column& c = columns_[size_t(column)];
        const uint32_t begin = row ? (c.ends[row - 1] & kOffsetMask) : 0;
        return {c.bytes + begin, size_t((c.ends[row] & kOffsetMask) - begin)};
    }
    bool isNull(int row, int column) const { return columns_[size_t(column)].ends[row] & kNullBit; }
    // A column's text back to back, for searching a whole column at once.
    std::string_view columnBytes(int column) const {
        const Column& c = columns_[size_t(column)];
        return {c.bytes, rows_ ? size_t(c.ends[rows_ - 1] & kOffsetMask) : 0};
    }
    // The cell of column holding byte offset at (the first cell ending after it).
    int rowAt(int column, size_t at) const;
    // The end offset of a cell in its column's bytes.
    size_t cellEnd(int row, int column) const { return columns_[size_t(column)].ends[row] & kOffsetMask; }

    static constexpr uint32_t kNullBit = uint32_t(1) << 31;
    static constexpr uint32_t kOffsetMask = kNullBit - 1;

private:
    friend class RowStore;
    int rows_ = 0;
    std::vector<Column> columns_;
    std::shared_ptr<PageMemory> memory_; // null for the chunk being filled
};
using ChunkPin = std::shared_ptr<const ChunkCells>;

class RowStore {
public:
    struct Limits {
        int chunkRows = 65536;
        // A chunk is sealed once its text reaches this many bytes; 0 takes a
        // sixteenth of the budget's limit, between 64 KB and 8 MB.
        size_t chunkBytes = 0;
        QString spillFolder; // empty: the system's temporary folder
    };

    explicit RowStore(std::vector<db::Field> fields);
    RowStore(std::vector<db::Field> fields, Limits limits);
    ~RowStore();
    RowStore(const RowStore&) = delete;
    RowStore& operator=(const RowStore&) = delete;

    const std::vector<db::Field>& fields() const { return fields_; }
    int columnCount() const { return int(fields_.size()); }
    qint64 rowCount() const { return rows_; }

    void append(const db::RowBlock& rows);
    // No more rows: the chunk being filled is sealed.
    void seal();
    bool sealed() const { return sealed_; }

    // The chunk holding row, pinned, and the row's index inside it. Rows of
    // the chunk being filled are read on the appending thread only.
    std::pair<ChunkPin, int> locate(qint64 row) const;
    std::string_view text(const std::pair<ChunkPin, int>& at, int column) const { return at.first->text(at.second, column); }
    QString cellText(qint64 row, int column) const; // empty for NULL
    bool isNull(qint64 row, int column) const;

    int chunkCount() const;
    qint64 chunkStart(int chunk) const;
    ChunkPin pin(int chunk) const;
    // Visits every chunk in order: f(firstRow, cells).
    template <typename F> void forEachChunk(F&& f) const {
        const int n = chunkCount();
        for (int i = 0; i < n; ++i) {
            const ChunkPin p = pin(i);
            f(chunkStart(i), *p);
        }
    }
    // Rows by index, in the order given, as a block for the exports.
    void copyRows(const uint32_t* rows, size_t count, db::RowBlock& out) const;

    // Bytes of this store in memory (sealed chunks, mapped windows, the
    // chunk being filled), and in the temporary file.
    qint64 residentBytes() const { return resident_; }
    qint64 spilledBytes() const;
    // Why rows could not be moved to disk (empty while they could).
    QString spillError() const;

private:
    struct Chunk;
    void sealOpenChunk();
    void keepWithinBudget();
    bool spillOne();
    ChunkPin mapSpilled(size_t index) const;
    void account(qint64 delta) const;
    ChunkPin openPin() const;
    size_t openBytes() const;
    size_t openFootprint() const;

    std::vector<db::Field> fields_;
    Limits limits_;
    std::atomic<qint64> rows_{0};
    bool sealed_ = false;

    mutable std::mutex mutex_; // guards chunks_, cache_, spill_ and the counters below
    std::vector<Chunk> chunks_;
    std::vector<qint64> starts_;
    size_t nextToSpill_ = 0;
    std::unique_ptr<SpillFile> spill_;
    QString spillError_;
    mutable std::deque<std::pair<size_t, ChunkPin>> cache_; // mapped spilled chunks, most recent last
    mutable size_t cacheBytes_ = 0;
    mutable std::atomic<qint64> resident_{0};

    // The chunk being filled.
    std::vector<std::vector<char>> openBytes_;
    std::vector<std::vector<uint32_t>> openEnds_;
    int openRows_ = 0;
    size_t openCounted_ = 0; // its footprint as counted in the budget
};

} // namespace grid
