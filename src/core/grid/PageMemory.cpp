#include "grid/PageMemory.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace grid {
namespace {

size_t pageSize() {
    static const size_t page = size_t(sysconf(_SC_PAGESIZE));
    return page;
}

QString systemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

} // namespace

size_t PageMemory::rounded(size_t size) { return (size + pageSize() - 1) / pageSize() * pageSize(); }

PageMemory::~PageMemory() {
    if (data_) munmap(data_, mapped_);
}

std::unique_ptr<PageMemory> PageMemory::allocate(size_t size) {
    const size_t length = rounded(std::max<size_t>(size, 1));
    void* p = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return nullptr;
    return std::unique_ptr<PageMemory>(new PageMemory(static_cast<char*>(p), size, length));
}

std::unique_ptr<PageMemory> PageMemory::map(int fd, qint64 offset, size_t size) {
    const size_t length = rounded(std::max<size_t>(size, 1));
    void* p = mmap(nullptr, length, PROT_READ, MAP_SHARED, fd, off_t(offset));
    if (p == MAP_FAILED) return nullptr;
    return std::unique_ptr<PageMemory>(new PageMemory(static_cast<char*>(p), size, length));
}

SpillFile::~SpillFile() { ::close(fd_); }

Result<std::unique_ptr<SpillFile>> SpillFile::create(const QString& folder) {
    const QByteArray dir = QFile::encodeName(folder.isEmpty() ? QDir::tempPath() : folder);
    int fd = ::open(dir.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) { // a file system without unnamed files: a named one, removed at once
        QByteArray name = dir + "/sqlqe-grid-XXXXXX";
        fd = mkostemp(name.data(), O_CLOEXEC);
        if (fd >= 0) ::unlink(name.constData());
    }
    if (fd < 0)
        return fail(QStringLiteral("No temporary file for the grid's rows in %1: %2")
                        .arg(QFile::decodeName(dir), systemError()));
    return std::unique_ptr<SpillFile>(new SpillFile(fd));
}

Result<qint64> SpillFile::append(const char* data, size_t size) {
    const qint64 at = end_;
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd_, data + done, size - done, off_t(at + qint64(done)));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const QString why = n < 0 ? systemError() : QStringLiteral("nothing was written");
            if (ftruncate(fd_, off_t(end_)) != 0) { // give back what this chunk took
            }
            return fail(QStringLiteral("The grid could not move rows to its temporary file: %1").arg(why));
        }
        done += size_t(n);
    }
    end_ = at + qint64(PageMemory::rounded(size));
    return at;
}

std::unique_ptr<PageMemory> SpillFile::map(qint64 offset, size_t size) const {
    return PageMemory::map(fd_, offset, size);
}

} // namespace grid
