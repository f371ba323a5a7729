// The desktop keyring store where no keyring can answer: it says so within
// its time-out, never hangs, and gives up on a silent keyring for good.
// Each case points the process at its own session bus address, so they run
// in this order (gtest keeps the order of a file): the silent bus last.
#include "store/KeyringSecretStore.h"

#include "support/SilentSocket.h"

#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(KeyringSecretStore, OffTheMainThreadItRefusesWithoutTouchingTheKeyring) {
    KeyringSecretStore store(QStringLiteral("sqlqe test"), 300ms);
    Status written;
    QThread* worker =
        QThread::create([&] { written = store.write(QStringLiteral("k"), QStringLiteral("v")); });
    worker->start();
    ASSERT_TRUE(worker->wait(5000));
    delete worker;
    ASSERT_FALSE(written.ok());
    EXPECT_TRUE(written.error().contains(QStringLiteral("main thread"))) << written.error().toStdString();
}

TEST(KeyringSecretStore, WithoutASessionBusItIsUnavailableAtOnceWithTheReason) {
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/sqlqe-test-bus");
    KeyringSecretStore store(QStringLiteral("sqlqe test"), 5000ms);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(store.isAvailable());
    EXPECT_TRUE(store.unavailableReason().startsWith(QStringLiteral("No usable desktop keyring: ")))
        << store.unavailableReason().toStdString();
    const auto read = store.read(QStringLiteral("k"));
    EXPECT_FALSE(read.ok());
    EXPECT_TRUE(read.error().contains(QStringLiteral("keyring"))) << read.error().toStdString();
    EXPECT_LT(clock.elapsed(), 4000); // answered by the failure, not by the time-out
}

TEST(KeyringSecretStore, ABusThatNeverAnswersEndsInTheTimeOutAndIsThenGivenUp) {
    const SilentSocket silent;
    qputenv("DBUS_SESSION_BUS_ADDRESS", silent.address().toUtf8());
    KeyringSecretStore store(QStringLiteral("sqlqe test"), 400ms);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(store.isAvailable());
    const qint64 first = clock.elapsed();
    EXPECT_GE(first, 350);
    EXPECT_LT(first, 3000);
    EXPECT_TRUE(store.unavailableReason().contains(QStringLiteral("did not answer within 0.4 seconds")))
        << store.unavailableReason().toStdString();
    // later calls fail at once instead of queueing behind the silent one
    clock.restart();
    EXPECT_FALSE(store.write(QStringLiteral("k"), QStringLiteral("v")).ok());
    EXPECT_FALSE(store.read(QStringLiteral("k")).ok());
    EXPECT_FALSE(store.remove(QStringLiteral("k")).ok());
    EXPECT_LT(clock.elapsed(), 100);
}
