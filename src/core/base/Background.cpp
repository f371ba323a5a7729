#include "base/Background.h"

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace base {
namespace {

// Never destroyed: threads may still count down while static objects are torn down.
struct Counter {
    std::mutex mutex;
    std::condition_variable idle;
    int running = 0;
};

Counter& counter() {
    static Counter* c = new Counter;
    return *c;
}

constexpr std::chrono::seconds kExitWait{3};

} // namespace

BackgroundRunning::BackgroundRunning() {
    std::lock_guard lock(counter().mutex);
    ++counter().running;
}

BackgroundRunning::~BackgroundRunning() {
    Counter& c = counter();
    std::lock_guard lock(c.mutex);
    if (--c.running == 0) c.idle.notify_all();
}

bool drainBackground(std::chrono::milliseconds limit) {
    Counter& c = counter();
    std::unique_lock lock(c.mutex);
    return c.idle.wait_for(lock, limit, [&c] { return c.running == 0; });
}

int finishProcess(int status) {
    if (drainBackground(kExitWait)) return status;
    std::fflush(nullptr);
    std::quick_exit(status);
}

} // namespace base
