#include "db/RowBlock.h"

namespace db {

void RowBlock::reset(int columns) {
    columns_ = columns;
    bytes_.clear();
    ends_.clear();
}

void RowBlock::appendHex(const unsigned char* data, size_t size) {
    static constexpr char digits[] = "0123456789ABCDEF";
    const size_t start = bytes_.size();
    bytes_.resize(start + size * 2);
    char* p = bytes_.data() + start;
    for (size_t i = 0; i < size; ++i) {
        *p++ = digits[data[i] >> 4];
        *p++ = digits[data[i] & 15];
    }
}

void RowBlock::dropPartialRow() {
    if (!columns_) return;
    const size_t whole = ends_.size() / size_t(columns_) * size_t(columns_);
    ends_.resize(whole);
    bytes_.resize(whole ? size_t(ends_.back() & kOffsetMask) : 0);
}

} // namespace db
