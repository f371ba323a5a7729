#pragma once
// The connection a query document keeps open between its runs, so that
// temporary tables, SET, session variables and open transactions live on
// from one run to the next.
//
// Threads: one run at a time uses it, on that run's thread; close() and the
// destructor are for when no run uses it. The state the window shows
// (open, in a transaction) reaches it through the RunResult.

#include "db/Connection.h"

#include <QString>

#include <memory>
#include <optional>

class Session {
public:
    Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session();

    // The connection for a run on connectionString: the kept one when it was
    // opened with the same string and still answers, else a new one. When a
    // kept connection no longer answers, a new one is opened once and the
    // lease says so (the caller tells the user). Throws db::Error when opening fails (the
    // session is then closed).
    struct Lease {
        db::Connection& connection;
        bool kept = false; // the connection was open before this run
        bool lost = false; // the kept one no longer answered: this is a new one
    };
    // With keptOnly (the program's own COMMIT or ROLLBACK of the kept
    // transaction) no new connection is opened: the lease fails instead.
    // A kept connection that was inside a transaction when it was lost fails
    // the lease too (the rest of the transaction must not run outside it).
    Lease connectionFor(const QString& connectionString, const db::OpenOptions& options, bool keptOnly = false);
    // Before a run's first statement, on the leased connection: with
    // auto-commit off a transaction is opened when none is (BEGIN, or the
    // driver's own auto-commit turned off where the backend cannot tell);
    // with it on, the driver's auto-commit is turned back on.
    void applyAutoCommit(bool autoCommit);
    // After a run that failed: forgets the connection when it no longer
    // reaches its server, so the next run opens a new one (and never
    // re-sends the failed statement on its own).
    void checkAfterFailure();
    // Closes the connection; the next run opens a new one.
    void close();
    bool isOpen() const { return conn_ != nullptr; }
    // Reads the transaction state after a run (on the run's thread).
    void noteState();
    // The state noteState() read: inside a transaction (nullopt: no
    // connection, or the backend cannot tell), and whether it failed.
    std::optional<bool> inTransaction() const { return inTransaction_; }
    bool transactionAborted() const { return aborted_; }

private:
    std::unique_ptr<db::Connection> conn_;
    QString connectionString_;
    std::optional<bool> inTransaction_;
    bool aborted_ = false;
};
