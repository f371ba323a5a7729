#pragma once
// Where saved passwords can live outside vsql.db: a small interface over the
// desktop's secret service, so the connection store and its tests do not
// depend on a running keyring (tests install an in-memory store).
//
// Every operation answers within a bounded time: a missing, locked or
// silent keyring is a failure with a message, never a hang.

#include "base/Result.h"

#include <QString>
#include <memory>

class SecretStore {
public:
    virtual ~SecretStore() = default;

    // True when passwords can be stored here now. The first call may ask the
    // service (bounded by a time-out); the answer is kept for the process.
    virtual bool isAvailable() = 0;
    // Why isAvailable() is false, fit to show (empty while it is true).
    virtual QString unavailableReason() const = 0;

    // Stores secret under key, replacing any earlier secret of that key.
    virtual Status write(const QString& key, const QString& secret) = 0;
    // The secret stored under key; a missing key or an unreachable store is
    // a failure whose message says which.
    virtual Result<QString> read(const QString& key) = 0;
    // Removes key's secret; a key that is not there counts as removed.
    virtual Status remove(const QString& key) = 0;
};

namespace store {

// The process's store: the desktop keyring unless replaced.
SecretStore& currentSecretStore();
// Makes store the process's store and returns the one it replaces (tests
// put it back when they are done). A null store means the desktop keyring.
std::unique_ptr<SecretStore> replaceSecretStore(std::unique_ptr<SecretStore> store);

} // namespace store
