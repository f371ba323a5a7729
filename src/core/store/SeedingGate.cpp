#include "store/SeedingGate.h"

#include <condition_variable>
#include <mutex>

namespace store {
namespace {
std::mutex mutex;
std::condition_variable opened;
bool closed = false;
thread_local bool seeder = false;
} // namespace

void closeSeedingGate() {
    std::lock_guard lock(mutex);
    closed = true;
}

void openSeedingGate() {
    {
        std::lock_guard lock(mutex);
        closed = false;
    }
    opened.notify_all();
}

void waitForSeeding() {
    if (seeder) return;
    std::unique_lock lock(mutex);
    opened.wait(lock, [] { return !closed; });
}

void markSeeder() { seeder = true; }

bool isSeedingGateClosed() {
    std::lock_guard lock(mutex);
    return closed;
}

} // namespace store
