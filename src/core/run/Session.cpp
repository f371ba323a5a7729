#include "run/Session.h"

Session::~Session() { close(); }

Session::Lease Session::connectionFor(const QString& connectionString, const db::OpenOptions& options) {
    if (conn_ && connectionString != connectionString_) close();
    bool lost = false;
    if (conn_ && !conn_->isAlive()) {
        close();
        lost = true;
    }
    const bool kept = conn_ != nullptr;
    if (!kept) {
        conn_ = db::Connection::open(connectionString, options);
        connectionString_ = connectionString;
    }
    return {*conn_, kept, lost};
}

void Session::checkAfterFailure() {
    if (conn_ && !conn_->isAlive()) close();
}

void Session::close() {
    conn_.reset();
    connectionString_.clear();
    database_.clear();
}

std::optional<bool> Session::inTransaction() const {
    if (!conn_) return std::nullopt;
    return conn_->inTransaction();
}
