#pragma once
// The state of the call a server connection is running, shared by the
// backends that talk to a server (native PostgreSQL, native MariaDB, ODBC).
//
// - A cancel asked for from any thread is remembered until the call that
//   runs (or the next one) notices it; a connection kept for later runs
//   forgets a cancel that came after its call ended (clearCancel), so it
//   cannot cancel the next one.
// - One call at a time is open on a connection: a new statement, a ping or
//   closing the connection first ends the open one (its cursor then has no
//   further results). A cursor marks itself open when its call starts and
//   releases itself when it ends or is destroyed.

#include "db/DbError.h"

#include <atomic>

namespace db {

// A call whose cursor can be told to stop reading: the server stops sending
// and the connection is left ready for the next call.
class OpenCall {
public:
    virtual void abandon() = 0;

protected:
    ~OpenCall() = default;
};

class CallState {
public:
    // The cancel half; safe from any thread.
    void requestCancel() { cancelPending_ = true; }
    void clearCancel() { cancelPending_ = false; }
    bool cancelRequested() const { return cancelPending_; }
    // True (once) when a cancel was asked for.
    bool takeCancel() { return cancelPending_.exchange(false); }
    // Throws a cancelled Error with the backend's SQLSTATE when a cancel was
    // asked for (and forgets it).
    void throwIfCancelled(const char* sqlState) {
        if (takeCancel()) throw Error::cancelled(QStringLiteral("Operation cancelled."), QLatin1String(sqlState));
    }

    // The open-call half; used by the connection's own thread only.
    // Makes call the open one, ending the one before it.
    void open(OpenCall* call) {
        if (active_ && active_ != call) active_->abandon();
        active_ = call;
    }
    // Ends the open call, if any.
    void endOpenCall() {
        if (OpenCall* call = active_) {
            active_ = nullptr;
            call->abandon();
        }
    }
    // A call that ended by itself leaves the connection.
    void release(const OpenCall* call) {
        if (active_ == call) active_ = nullptr;
    }

private:
    std::atomic<bool> cancelPending_{false};
    OpenCall* active_ = nullptr;
};

} // namespace db
