#include "store/SeedingGate.h"

#include <condition_variable>
#include <mutex>

namespace seedinggate {
namespace {
std::mutex mutex;
std::condition_variable opened;
bool closed = false;
thread_local bool seeder = false;
} // namespace

void close() {
    std::lock_guard lock(mutex);
    closed = true;
}

void open() {
    {
        std::lock_guard lock(mutex);
        closed = false;
    }
    opened.notify_all();
}

void wait() {
    if (seeder) return;
    std::unique_lock lock(mutex);
    opened.wait(lock, [] { return !closed; });
}

void markSeeder() { seeder = true; }

bool isClosed() {
    std::lock_guard lock(mutex);
    return closed;
}

} // namespace seedinggate
