#pragma once
// The desktop's secret service (gnome-keyring, KWallet, … through
// QtKeychain) as a SecretStore.
//
// QtKeychain's jobs finish through the event loop; each operation here starts
// one job and waits for it in a local event loop (user input held back) for
// at most the time-out. A keyring that does not answer in time is given up
// for the rest of the process: QtKeychain runs its jobs one after another,
// so every later job would wait behind the silent one.
//
// Used from the application's main thread only (QtKeychain's job queue lives
// there); any other thread gets a failure, never a call into the keyring.

#include "store/SecretStore.h"

#include <chrono>

namespace QKeychain {
class Job;
}

class KeyringSecretStore final : public SecretStore {
public:
    static constexpr std::chrono::milliseconds kDefaultTimeout{15000};
    // service names the entries' group in the keyring ("SQL Query Editor").
    explicit KeyringSecretStore(QString service = QStringLiteral("SQL Query Editor"),
                                std::chrono::milliseconds timeout = kDefaultTimeout);

    bool isAvailable() override;
    QString unavailableReason() const override { return reason_; }
    Status write(const QString& key, const QString& secret) override;
    Result<QString> read(const QString& key) override;
    Status remove(const QString& key) override;

private:
    struct JobEnd;
    JobEnd run(QKeychain::Job* job);
    // The failure for a job that did not succeed (and what it tells about
    // the keyring's availability).
    Failure failure(const JobEnd& end);
    // Non-empty when no job may be started now.
    QString refusal() const;
    Status probe();

    enum class State { Unknown, Available, Unavailable, Silent };
    QString service_;
    std::chrono::milliseconds timeout_;
    State state_ = State::Unknown;
    QString reason_;
    QString lastDetail_; // what the keyring said about the last failed job
};
