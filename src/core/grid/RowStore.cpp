#include "grid/RowStore.h"

#include "grid/MemoryBudget.h"
#include "grid/PageMemory.h"

#include <algorithm>
#include <cstring>

namespace grid {
namespace {

constexpr size_t kMinChunkBytes = size_t(64) << 10;
constexpr size_t kMaxChunkBytes = size_t(8) << 20;
constexpr size_t kMinCachedChunks = 4; // mapped windows kept however small the limit

size_t padded(size_t n) { return (n + 3) & ~size_t(3); }

} // namespace

struct RowStore::Chunk {
    int rows = 0;
    size_t size = 0;                     // bytes of its memory
    std::vector<size_t> endsAt, bytesAt; // where each column's offsets and text start
    ChunkPin resident;                   // null once written to the temporary file
    qint64 fileOffset = -1;
};

int ChunkCells::rowAt(int column, size_t at) const {
    const Column& c = columns_[size_t(column)];
    const uint32_t* end = std::upper_bound(c.ends, c.ends + rows_, uint32_t(at),
                                           [](uint32_t v, uint32_t e) { return v < (e & kOffsetMask); });
    return int(end - c.ends);
}

RowStore::RowStore(std::vector<db::Field> fields) : RowStore(std::move(fields), Limits{}) {}

RowStore::RowStore(std::vector<db::Field> fields, Limits limits) : fields_(std::move(fields)), limits_(limits) {
    if (limits_.chunkBytes == 0) {
        const qint64 limit = MemoryBudget::instance().limit();
        limits_.chunkBytes = limit > 0 ? std::clamp(size_t(limit / 16), kMinChunkBytes, kMaxChunkBytes) : kMaxChunkBytes;
    }
    limits_.chunkRows = std::max(1, limits_.chunkRows);
    openBytes_.resize(fields_.size());
    openEnds_.resize(fields_.size());
}

RowStore::~RowStore() { MemoryBudget::instance().add(-resident_); }

void RowStore::account(qint64 delta) const {
    resident_ += delta;
    MemoryBudget::instance().add(delta);
}

size_t RowStore::openBytes() const {
    size_t n = 0;
    for (const auto& b : openBytes_) n += b.size();
    return n;
}

size_t RowStore::openFootprint() const {
    size_t n = 0;
    for (size_t c = 0; c < openBytes_.size(); ++c)
        n += openBytes_[c].capacity() + openEnds_[c].capacity() * sizeof(uint32_t);
    return n;
}

void RowStore::append(const db::RowBlock& rows) {
    const int columns = columnCount();
    if (sealed_ || rows.columnCount() != columns || columns == 0) return;
    int from = 0;
    while (from < rows.rowCount()) {
        const int n = std::min(rows.rowCount() - from, limits_.chunkRows - openRows_);
        for (int c = 0; c < columns; ++c) {
            std::vector<char>& bytes = openBytes_[size_t(c)];
            std::vector<uint32_t>& ends = openEnds_[size_t(c)];
            for (int r = from; r < from + n; ++r) {
                const std::string_view t = rows.text(r, c);
                bytes.insert(bytes.end(), t.begin(), t.end());
                ends.push_back(uint32_t(bytes.size()) | (rows.isNull(r, c) ? ChunkCells::kNullBit : 0));
            }
        }
        openRows_ += n;
        from += n;
        rows_ += n;
        if (openRows_ >= limits_.chunkRows || openBytes() >= limits_.chunkBytes) sealOpenChunk();
    }
    const size_t footprint = openFootprint();
    account(qint64(footprint) - qint64(openCounted_));
    openCounted_ = footprint;
    keepWithinBudget();
}

void RowStore::seal() {
    if (sealed_) return;
    if (openRows_ > 0) sealOpenChunk();
    // the buffers of the chunk being filled are not needed again
    openBytes_.assign(fields_.size(), {});
    openEnds_.assign(fields_.size(), {});
    account(-qint64(openCounted_));
    openCounted_ = 0;
    sealed_ = true;
    keepWithinBudget();
}

void RowStore::sealOpenChunk() {
    const size_t columns = fields_.size();
    Chunk chunk;
    chunk.rows = openRows_;
    chunk.endsAt.resize(columns);
    chunk.bytesAt.resize(columns);
    for (size_t c = 0; c < columns; ++c) {
        chunk.endsAt[c] = chunk.size;
        chunk.size += size_t(openRows_) * sizeof(uint32_t);
        chunk.bytesAt[c] = chunk.size;
        chunk.size += padded(openBytes_[c].size());
    }
    std::shared_ptr<PageMemory> memory = PageMemory::allocate(chunk.size);
    if (!memory) throw std::bad_alloc();
    for (size_t c = 0; c < columns; ++c) {
        std::memcpy(memory->data() + chunk.endsAt[c], openEnds_[c].data(), openEnds_[c].size() * sizeof(uint32_t));
        if (!openBytes_[c].empty())
            std::memcpy(memory->data() + chunk.bytesAt[c], openBytes_[c].data(), openBytes_[c].size());
        openBytes_[c].clear();
        openEnds_[c].clear();
    }
    auto cells = std::make_shared<ChunkCells>();
    cells->rows_ = chunk.rows;
    for (size_t c = 0; c < columns; ++c)
        cells->columns_.push_back({reinterpret_cast<const uint32_t*>(memory->data() + chunk.endsAt[c]),
                                   memory->data() + chunk.bytesAt[c]});
    cells->memory_ = std::move(memory);
    chunk.resident = std::move(cells);
    account(qint64(PageMemory::rounded(chunk.size)));
    std::lock_guard lock(mutex_);
    starts_.push_back(rows_ - openRows_);
    chunks_.push_back(std::move(chunk));
    openRows_ = 0;
}

void RowStore::keepWithinBudget() {
    while (MemoryBudget::instance().over() && spillOne()) {
    }
}

bool RowStore::spillOne() {
    std::lock_guard lock(mutex_);
    if (!spillError_.isEmpty() || nextToSpill_ >= chunks_.size()) return false;
    if (!spill_) {
        auto file = SpillFile::create(limits_.spillFolder);
        if (!file) {
            spillError_ = file.error();
            return false;
        }
        spill_ = std::move(file).value();
    }
    Chunk& chunk = chunks_[nextToSpill_];
    const auto at = spill_->append(chunk.resident->memory_->data(), chunk.size);
    if (!at) {
        spillError_ = at.error();
        return false;
    }
    chunk.fileOffset = *at;
    chunk.resident.reset();
    account(-qint64(PageMemory::rounded(chunk.size)));
    ++nextToSpill_;
    return true;
}

ChunkPin RowStore::mapSpilled(size_t index) const {
    for (auto it = cache_.begin(); it != cache_.end(); ++it)
        if (it->first == index) {
            auto hit = *it;
            cache_.erase(it);
            cache_.push_back(hit); // now the most recent
            return hit.second;
        }
    const Chunk& chunk = chunks_[index];
    std::shared_ptr<PageMemory> memory = spill_->map(chunk.fileOffset, chunk.size);
    if (!memory) throw std::bad_alloc();
    auto cells = std::make_shared<ChunkCells>();
    cells->rows_ = chunk.rows;
    for (size_t c = 0; c < fields_.size(); ++c)
        cells->columns_.push_back({reinterpret_cast<const uint32_t*>(memory->data() + chunk.endsAt[c]),
                                   memory->data() + chunk.bytesAt[c]});
    cells->memory_ = std::move(memory);
    const size_t size = PageMemory::rounded(chunk.size);
    const qint64 limit = MemoryBudget::instance().limit();
    const size_t room = std::max(kMinCachedChunks * size, size_t(limit > 0 ? limit / 8 : qint64(64) << 20));
    while (!cache_.empty() && cacheBytes_ + size > room) {
        const size_t gone = PageMemory::rounded(chunks_[cache_.front().first].size);
        cacheBytes_ -= gone;
        account(-qint64(gone));
        cache_.pop_front();
    }
    cache_.emplace_back(index, cells);
    cacheBytes_ += size;
    account(qint64(size));
    return cells;
}

ChunkPin RowStore::openPin() const {
    auto cells = std::make_shared<ChunkCells>();
    cells->rows_ = openRows_;
    for (size_t c = 0; c < fields_.size(); ++c)
        cells->columns_.push_back({openEnds_[c].data(), openBytes_[c].data()});
    return cells;
}

int RowStore::chunkCount() const {
    std::lock_guard lock(mutex_);
    return int(chunks_.size()) + (openRows_ > 0 ? 1 : 0);
}

qint64 RowStore::chunkStart(int chunk) const {
    std::lock_guard lock(mutex_);
    return size_t(chunk) < starts_.size() ? starts_[size_t(chunk)] : rows_ - openRows_;
}

ChunkPin RowStore::pin(int index) const {
    std::lock_guard lock(mutex_);
    if (size_t(index) >= chunks_.size()) return openPin();
    const Chunk& chunk = chunks_[size_t(index)];
    return chunk.resident ? chunk.resident : mapSpilled(size_t(index));
}

std::pair<ChunkPin, int> RowStore::locate(qint64 row) const {
    int index = 0;
    qint64 start = 0;
    {
        std::lock_guard lock(mutex_);
        const auto it = std::upper_bound(starts_.begin(), starts_.end(), row);
        index = int(it - starts_.begin()) - 1;
        if (index < 0 || (size_t(index) == chunks_.size() - 1 && row >= starts_.back() + chunks_.back().rows))
            index = int(chunks_.size()); // the chunk being filled
        start = size_t(index) < starts_.size() ? starts_[size_t(index)] : rows_ - openRows_;
    }
    return {pin(index), int(row - start)};
}

QString RowStore::cellText(qint64 row, int column) const {
    if (row < 0 || row >= rows_ || column < 0 || column >= columnCount()) return {};
    const auto at = locate(row);
    if (at.first->isNull(at.second, column)) return {};
    const std::string_view t = at.first->text(at.second, column);
    return QString::fromUtf8(t.data(), qsizetype(t.size()));
}

bool RowStore::isNull(qint64 row, int column) const {
    if (row < 0 || row >= rows_ || column < 0 || column >= columnCount()) return false;
    const auto at = locate(row);
    return at.first->isNull(at.second, column);
}

void RowStore::copyRows(const uint32_t* rows, size_t count, db::RowBlock& out) const {
    out.reset(columnCount());
    ChunkPin chunk;
    qint64 first = 0, end = 0;
    for (size_t i = 0; i < count; ++i) {
        const qint64 row = rows[i];
        if (!chunk || row < first || row >= end) {
            const auto at = locate(row);
            chunk = at.first;
            first = row - at.second;
            end = first + chunk->rowCount();
        }
        const int r = int(row - first);
        for (int c = 0; c < columnCount(); ++c) {
            if (chunk->isNull(r, c)) out.appendNull();
            else out.appendCell(chunk->text(r, c));
        }
    }
}

qint64 RowStore::spilledBytes() const {
    std::lock_guard lock(mutex_);
    return spill_ ? spill_->size() : 0;
}

QString RowStore::spillError() const {
    std::lock_guard lock(mutex_);
    return spillError_;
}

} // namespace grid
