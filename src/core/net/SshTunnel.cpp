#include "net/SshTunnel.h"

#include "net/SshProcess.h"
#include "net/TunnelStart.h"

#include <mutex>
#include <vector>

namespace net {
namespace {

// The tunnels by target: the running one (weak: its users own it), the
// holds on it, and a lock that lets one start at a time per target.
struct Entry {
    TunnelTarget target;
    std::weak_ptr<SshTunnel> tunnel;
    std::shared_ptr<SshTunnel> kept; // while holds > 0
    int holds = 0;
    std::shared_ptr<std::mutex> starting = std::make_shared<std::mutex>();
};

std::mutex g_mutex;
std::vector<Entry>& entries() {
    static std::vector<Entry> e;
    return e;
}

Entry& entryFor(const TunnelTarget& target) { // with g_mutex held
    for (Entry& e : entries())
        if (e.target == target) return e;
    Entry e;
    e.target = target;
    entries().push_back(std::move(e));
    return entries().back();
}

std::shared_ptr<SshTunnel> running(Entry& e) {
    std::shared_ptr<SshTunnel> t = e.tunnel.lock();
    return t && t->isRunning() ? t : nullptr;
}

} // namespace

SshTunnel::SshTunnel(std::unique_ptr<SshProcess> process, int localPort)
    : process_(std::move(process)), localPort_(localPort) {}

SshTunnel::~SshTunnel() = default;

bool SshTunnel::isRunning() const {
    return process_ && process_->isRunning();
}

Result<std::shared_ptr<SshTunnel>> SshTunnel::acquire(const TunnelTarget& target, int timeoutSeconds) {
    std::shared_ptr<std::mutex> starting;
    {
        std::lock_guard lock(g_mutex);
        Entry& e = entryFor(target);
        if (auto t = running(e)) return t;
        starting = e.starting;
    }
    std::lock_guard startLock(*starting); // a second caller waits for the first's tunnel
    {
        std::lock_guard lock(g_mutex);
        if (auto t = running(entryFor(target))) return t;
    }
    Result<std::shared_ptr<SshTunnel>> made = startTunnel(target, timeoutSeconds);
    if (!made) return made;
    std::lock_guard lock(g_mutex);
    Entry& e = entryFor(target);
    e.tunnel = *made;
    if (e.holds > 0) e.kept = *made;
    return made;
}

std::shared_ptr<void> SshTunnel::hold(const TunnelTarget& target) {
    {
        std::lock_guard lock(g_mutex);
        Entry& e = entryFor(target);
        if (e.holds++ == 0) e.kept = running(e);
    }
    return std::shared_ptr<void>(nullptr, [target](void*) {
        std::shared_ptr<SshTunnel> last; // ends ssh outside the lock
        std::lock_guard lock(g_mutex);
        Entry& e = entryFor(target);
        if (--e.holds == 0) last = std::move(e.kept);
    });
}

} // namespace net
