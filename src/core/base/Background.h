#pragma once
// Runs blocking work (a connection attempt, a catalogue read) on a thread of
// its own and hands the result to the UI thread, unless the context object
// is gone by then.
//
// The threads are detached: a connection attempt cannot be interrupted, and
// the window must not wait for it. They are counted, so that a program ending
// while one is still inside a database driver can wait for it a little, and
// otherwise end without running the libraries' exit-time cleanup under it
// (a driver's TLS library torn down beneath a running connect crashes).

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace base {

// Counts a running background thread for the lifetime of the object.
class BackgroundRunning {
public:
    BackgroundRunning();
    ~BackgroundRunning();
    BackgroundRunning(const BackgroundRunning&) = delete;
    BackgroundRunning& operator=(const BackgroundRunning&) = delete;
};

// Waits up to `limit` for every background thread to end; false when some still run.
bool drainBackground(std::chrono::milliseconds limit);

// The end of main(): returns `status` when no background work is left after a
// short wait; otherwise flushes standard output and ends the process with
// `status` at once, skipping exit-time library cleanup.
int finishProcess(int status);

} // namespace base

template <typename Result>
void runInBackground(QObject* context, std::function<Result()> work, std::function<void(Result)> done) {
    QPointer<QObject> guard(context);
    // counted from here, so that work asked for is never missed by drainBackground()
    auto counted = std::make_unique<base::BackgroundRunning>();
    std::thread([guard, counted = std::move(counted), work = std::move(work), done = std::move(done)]() mutable {
        Result r = work();
        QCoreApplication* app = QCoreApplication::instance();
        if (!app) return; // the program is ending: nobody is left to hand the result to
        QMetaObject::invokeMethod(
            app,
            [guard, done = std::move(done), r = std::move(r)]() mutable {
                if (guard) done(std::move(r));
            },
            Qt::QueuedConnection);
        counted.reset(); // only now: the result is posted while the application still exists
    }).detach();
}
