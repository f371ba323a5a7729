#pragma once
// How much memory the rows of every grid in the program may hold before
// the oldest of them move to a temporary file (gridmemory in config.ini).
// Each row store reports what it holds; a store that takes in rows past the
// limit moves its own older chunks out until the total is back under it.

#include <QtGlobal>

#include <atomic>

namespace grid {

class MemoryBudget {
public:
    static MemoryBudget& instance();

    // Bytes the grids may hold in memory; 0: no limit (rows never leave memory).
    void setLimit(qint64 bytes) { limit_ = bytes; }
    qint64 limit() const { return limit_; }
    qint64 held() const { return held_; }
    // The stores keep their rows within three quarters of the limit: the
    // rest is room for the rows on their way in and the orders shown.
    bool over() const { return limit_ > 0 && held_ > limit_ / 4 * 3; }
    void add(qint64 bytes) { held_ += bytes; }

    // The limit of a new budget: 256 MB.
    static constexpr qint64 kDefaultLimit = qint64(256) << 20;

private:
    std::atomic<qint64> limit_{kDefaultLimit};
    std::atomic<qint64> held_{0};
};

} // namespace grid
