#pragma once
// A block of fetched rows in compact form: every cell is UTF-8 text stored
// back to back in one byte buffer, with one 32-bit end offset per cell whose
// top bit marks NULL (kept apart from empty text). Readers stop filling a
// block once it holds kFullBytes of text, far below the 2 GB the offsets allow. Blocks are reused between
// fetches, so reading a result allocates nothing per row once the buffers
// have grown.

#include <QString>

#include <cstdint>
#include <string_view>
#include <vector>

namespace db {

class RowBlock {
public:
    void reset(int columns);
    void clear() { reset(columns_); }

    int columnCount() const { return columns_; }
    int rowCount() const { return columns_ ? int(ends_.size() / size_t(columns_)) : 0; }
    size_t byteSize() const { return bytes_.size(); }
    // Memory held for the cells (text and offsets).
    size_t memoryUse() const { return bytes_.capacity() + ends_.capacity() * sizeof(uint32_t); }
    // Readers start a new block once this much text is in one.
    static constexpr size_t kFullBytes = size_t(1) << 30;
    // Room for about this much text and this many cells.
    void reserve(size_t bytes, size_t cells) {
        bytes_.reserve(bytes);
        ends_.reserve(cells);
    }
    void shrinkToFit() {
        bytes_.shrink_to_fit();
        ends_.shrink_to_fit();
    }

    std::string_view text(int row, int column) const {
        const size_t i = size_t(row) * size_t(columns_) + size_t(column);
        const uint32_t begin = i ? (ends_[i - 1] & kOffsetMask) : 0;
        return {bytes_.data() + begin, size_t((ends_[i] & kOffsetMask) - begin)};
    }
    bool isNull(int row, int column) const {
        return ends_[size_t(row) * size_t(columns_) + size_t(column)] & kNullBit;
    }
    QString string(int row, int column) const {
        const auto t = text(row, column);
        return QString::fromUtf8(t.data(), qsizetype(t.size()));
    }

    // Building: cells are appended in row order, columnCount() per row.
    void appendCell(const char* data, size_t size) {
        bytes_.insert(bytes_.end(), data, data + size);
        ends_.push_back(uint32_t(bytes_.size()));
    }
    void appendCell(std::string_view s) { appendCell(s.data(), s.size()); }
    void appendNull() { ends_.push_back(uint32_t(bytes_.size()) | kNullBit); }
    // For writers that fill the byte buffer themselves: append the bytes with
    // bytes(), then close the cell.
    std::vector<char>& bytes() { return bytes_; }
    void closeCell() { ends_.push_back(uint32_t(bytes_.size())); }
    // Appends binary data as upper-case hex digits to the open cell.
    void appendHex(const unsigned char* data, size_t size);
    // Drops the cells of an unfinished row (used when a fetch fails mid-row).
    void dropPartialRow();

private:
    static constexpr uint32_t kNullBit = uint32_t(1) << 31;
    static constexpr uint32_t kOffsetMask = kNullBit - 1;
    int columns_ = 0;
    std::vector<char> bytes_;
    std::vector<uint32_t> ends_;
};

} // namespace db
