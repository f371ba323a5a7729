#include "SignalWatcher.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <pthread.h>
#include <thread>

namespace {
constexpr auto kGrace = std::chrono::seconds(3); // time to cancel and report after the first signal

sigset_t endingSignals() {
    sigset_t s;
    sigemptyset(&s);
    sigaddset(&s, SIGINT);
    sigaddset(&s, SIGTERM);
    return s;
}
} // namespace

SignalWatcher::SignalWatcher() {
    std::signal(SIGPIPE, SIG_IGN);
    const sigset_t s = endingSignals();
    pthread_sigmask(SIG_BLOCK, &s, nullptr);
    std::thread([this] { watch(); }).detach();
}

void SignalWatcher::setStop(std::function<void()> stop) {
    std::lock_guard lock(mutex_);
    stop_ = std::move(stop);
}

void SignalWatcher::watch() {
    const sigset_t s = endingSignals();
    int sig = 0;
    sigwait(&s, &sig);
    caught_ = sig;
    std::function<void()> stop;
    {
        std::lock_guard lock(mutex_);
        stop = stop_;
    }
    if (!stop) {
        std::fputs("sqlqe-run: interrupted\n", stderr);
        std::_Exit(128 + sig);
    }
    stop();
    // A second signal, or the grace period, ends the process whatever it is doing.
    std::thread([sig] {
        std::this_thread::sleep_for(kGrace);
        std::fputs("sqlqe-run: interrupted\n", stderr);
        std::_Exit(128 + sig);
    }).detach();
    int again = 0;
    sigwait(&s, &again);
    std::_Exit(128 + again);
}
