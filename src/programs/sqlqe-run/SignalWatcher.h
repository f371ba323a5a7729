#pragma once
// Ends sqlqe-run promptly on SIGINT or SIGTERM at any stage. The signals are
// taken by a thread of their own (blocked everywhere else, so construct this
// before any other thread starts). The first signal stops the running work
// through the stop function (cancelling the statement on the server) and
// gives the program a moment to report; without work to stop, or when that
// moment passes, or on a second signal, the process ends at once with
// 128 + the signal's number (130 for SIGINT, 143 for SIGTERM).
// SIGPIPE is ignored: a closed output shows up as a failed write instead.

#include <atomic>
#include <functional>
#include <mutex>

class SignalWatcher {
public:
    SignalWatcher();
    // What stops the current work; nullptr while there is nothing to stop.
    void setStop(std::function<void()> stop);
    // The signal that arrived, 0 when none.
    int caught() const { return caught_; }

private:
    void watch();
    std::atomic<int> caught_{0};
    std::mutex mutex_;
    std::function<void()> stop_;
};
