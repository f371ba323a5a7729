#include "base/Memory.h"

#include <QByteArray>
#include <QFile>

#include <malloc.h>
#include <unistd.h>

namespace base {
namespace {

// A "Name:   1234 kB" line of /proc/self/status, in bytes.
qint64 statusValue(const char* name) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QByteArray key = QByteArray(name) + ':';
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong() * 1024;
    return 0;
}

} // namespace

qint64 physicalBytes() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long size = sysconf(_SC_PAGE_SIZE);
    return pages > 0 && size > 0 ? qint64(pages) * size : 0;
}

qint64 residentBytes() { return statusValue("VmRSS"); }
qint64 peakResidentBytes() { return statusValue("VmHWM"); }

void releaseFreed() { malloc_trim(0); }

void useOneHeap() { mallopt(M_ARENA_MAX, 1); }

} // namespace base
