#include "run/Session.h"

Session::~Session() { close(); }

Session::Lease Session::connectionFor(const QString& connectionString, const db::OpenOptions& options, bool keptOnly) {
    if (conn_ && connectionString != connectionString_) {
        if (keptOnly) throw db::Error::usage(QStringLiteral("The window's connection has changed: its transaction is gone."));
        close();
    }
    bool lost = false;
    if (conn_ && !conn_->isAlive()) {
        const bool hadTransaction = inTransaction_.value_or(false);
        close();
        lost = true;
        // Going on would run the rest of the user's transaction outside it.
        if (hadTransaction)
            throw db::Error::usage(QStringLiteral(
                "The connection to the server was lost while a transaction was open: the server has rolled it "
                "back. Nothing of this run was sent; run it again to go on on a new connection."));
    }
    if (!conn_ && keptOnly)
        throw db::Error::usage(QStringLiteral("The window's connection is closed: there is no transaction to end."));
    const bool kept = conn_ != nullptr;
    if (!kept) {
        conn_ = db::Connection::open(connectionString, options);
        connectionString_ = connectionString;
    } else {
        conn_->clearPendingCancel(); // a Stop that came after the last run had ended
    }
    return {*conn_, kept, lost};
}

void Session::applyAutoCommit(bool autoCommit) {
    if (!conn_) return;
    if (autoCommit) {
        conn_->setAutoCommit(true);
        return;
    }
    const std::optional<bool> inTransaction = conn_->inTransaction();
    if (!inTransaction) conn_->setAutoCommit(false);
    else if (!*inTransaction)
        conn_->exec(conn_->serverFamily() == db::ServerFamily::MariaDB ? QStringLiteral("START TRANSACTION")
                                                                       : QStringLiteral("BEGIN"));
}

void Session::checkAfterFailure() {
    if (conn_ && !conn_->isAlive()) close();
}

void Session::noteState() {
    inTransaction_ = conn_ ? conn_->inTransaction() : std::nullopt;
    aborted_ = conn_ && conn_->transactionAborted();
}

void Session::close() {
    conn_.reset();
    connectionString_.clear();
    inTransaction_.reset();
    aborted_ = false;
}
