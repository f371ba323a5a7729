#pragma once
// Memory for the grid's sealed row chunks: whole pages taken straight from
// the operating system, either anonymous (rows held in memory) or a window
// of the spill file (rows moved to disk). Freeing either gives the pages
// back at once, so closing a big result returns its memory even when the
// allocator would have kept freed heap memory for later.

#include "base/Result.h"

#include <QString>

#include <cstddef>
#include <memory>

namespace grid {

class PageMemory {
public:
    ~PageMemory();
    PageMemory(const PageMemory&) = delete;
    PageMemory& operator=(const PageMemory&) = delete;

    // size bytes of fresh zeroed memory; null when the system refuses.
    static std::unique_ptr<PageMemory> allocate(size_t size);
    // size bytes of file fd from offset (a multiple of the page size), read-only.
    static std::unique_ptr<PageMemory> map(int fd, qint64 offset, size_t size);

    char* data() const { return data_; }
    size_t size() const { return size_; }
    // Pages of the system's page size needed for size bytes.
    static size_t rounded(size_t size);

private:
    PageMemory(char* data, size_t size, size_t mapped) : data_(data), size_(size), mapped_(mapped) {}
    char* data_;
    size_t size_;
    size_t mapped_; // the length handed to munmap
};

// An unnamed temporary file that holds rows moved out of memory. It has no
// name in any folder (it cannot be left behind, even by a crash) and grows
// by whole pages; a chunk is written once and read back through map().
class SpillFile {
public:
    ~SpillFile();
    SpillFile(const SpillFile&) = delete;
    SpillFile& operator=(const SpillFile&) = delete;

    // A new spill file in folder (the system's temporary folder when empty).
    static Result<std::unique_ptr<SpillFile>> create(const QString& folder = QString());

    // Appends size bytes at a page boundary; returns where they start.
    Result<qint64> append(const char* data, size_t size);
    std::unique_ptr<PageMemory> map(qint64 offset, size_t size) const;
    qint64 size() const { return end_; }

private:
    explicit SpillFile(int fd) : fd_(fd) {}
    int fd_;
    qint64 end_ = 0;
};

} // namespace grid
