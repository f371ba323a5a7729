// Connections through an SSH jump host: a real sshd on loopback (started by
// the test) in front of the real PostgreSQL and MariaDB servers.
#include "net/SshTunnel.h"

#include "db/Connection.h"
#include "net/SshPrompts.h"
#include "support/SshServer.h"
#include "support/TestServers.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

// The user's answers, scripted; counts the questions.
struct ScriptedPrompts : net::SshPrompts {
    bool trust = true;
    std::optional<QString> phrase;
    int hostKeyQuestions = 0, passphraseQuestions = 0;
    QString shownFingerprints, askedKey;
    bool trustHostKey(const QString&, const QString& fingerprints) override {
        ++hostKeyQuestions;
        shownFingerprints = fingerprints;
        return trust;
    }
    std::optional<QString> passphrase(const QString& keyFile) override {
        ++passphraseQuestions;
        askedKey = keyFile;
        return phrase;
    }
};

class SshTunnelTest : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("SQLQE_ASKPASS", SQLQE_ASKPASS_PATH);
        qunsetenv("SSH_AUTH_SOCK"); // the user's agent stays out of it
        net::SshPrompts::install(&prompts);
    }
    void TearDown() override { net::SshPrompts::install(nullptr); }

    QString knownHosts() const {
        QFile f(sshd.knownHostsFile());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    SshServer sshd;
    ScriptedPrompts prompts;
};

QString answer(db::Connection& c) {
    const db::Table t = c.query(QStringLiteral("SELECT 40 + 2"));
    return t.rows.empty() ? QString() : t.rows[0][0].value_or(QString());
}

} // namespace

// An unknown host key is shown, and trusted only on the user's word; then
// both servers answer through the tunnel.
TEST_F(SshTunnelTest, AnUnknownHostKeyIsAskedAboutThenTheServersAnswerThroughIt) {
    SQLQE_REQUIRE_SSHD(sshd);
    QString pg, maria;
    SQLQE_REQUIRE_SERVER(kPostgres, pg);
    SQLQE_REQUIRE_SERVER(kMariaDb, maria);
    const QString through = sshd.jumpKeys(sshd.plainKey());

    prompts.trust = false;
    const QString declined = openError(pg + through);
    EXPECT_TRUE(declined.contains(QStringLiteral("not trusted"))) << declined.toStdString();
    EXPECT_EQ(prompts.hostKeyQuestions, 1);
    EXPECT_TRUE(prompts.shownFingerprints.contains(QStringLiteral("ED25519 SHA256:")))
        << prompts.shownFingerprints.toStdString();
    EXPECT_TRUE(knownHosts().isEmpty());

    prompts.trust = true;
    for (const QString& server : {pg, maria}) {
        auto conn = db::Connection::open(server + through, {10, false});
        EXPECT_EQ(answer(*conn), QStringLiteral("42"));
    }
    EXPECT_EQ(prompts.hostKeyQuestions, 2); // once more, then known
    EXPECT_TRUE(knownHosts().contains(QStringLiteral("[127.0.0.1]:%1 ssh-ed25519").arg(sshd.port())));
    EXPECT_EQ(prompts.passphraseQuestions, 0);
}

TEST_F(SshTunnelTest, WithoutPromptsAnUnknownHostKeyFailsSayingWhatToDo) {
    SQLQE_REQUIRE_SSHD(sshd);
    QString pg;
    SQLQE_REQUIRE_SERVER(kPostgres, pg);
    net::SshPrompts::install(nullptr); // as in sqlqe-run
    const QString error = openError(pg + sshd.jumpKeys(sshd.plainKey()));
    EXPECT_TRUE(error.contains(QStringLiteral("is not known"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("SHA256:"))) << error.toStdString();
    EXPECT_TRUE(knownHosts().isEmpty());
}

TEST_F(SshTunnelTest, AChangedHostKeyIsRefusedWithoutAQuestion) {
    SQLQE_REQUIRE_SSHD(sshd);
    QString pg;
    SQLQE_REQUIRE_SERVER(kPostgres, pg);
    {
        QFile f(sshd.knownHostsFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(sshd.otherHostKeyLine().toUtf8());
    }
    const QString before = knownHosts();
    const QString error = openError(pg + sshd.jumpKeys(sshd.plainKey()));
    EXPECT_TRUE(error.contains(QStringLiteral("CHANGED"))) << error.toStdString();
    EXPECT_EQ(prompts.hostKeyQuestions, 0);
    EXPECT_EQ(knownHosts(), before);
}

TEST_F(SshTunnelTest, AKeyBehindAPassphraseIsAskedForAndHandedToSsh) {
    SQLQE_REQUIRE_SSHD(sshd);
    QString pg;
    SQLQE_REQUIRE_SERVER(kPostgres, pg);
    const QString through = sshd.jumpKeys(sshd.lockedKey());
    prompts.phrase = QStringLiteral("wrong one");
    const QString wrong = openError(pg + through);
    EXPECT_FALSE(wrong.isEmpty());
    EXPECT_EQ(prompts.askedKey, sshd.lockedKey());
    EXPECT_FALSE(wrong.contains(QStringLiteral("wrong one")));

    prompts.phrase = QLatin1String(SshServer::kPassphrase);
    auto conn = db::Connection::open(pg + through, {10, false});
    EXPECT_EQ(answer(*conn), QStringLiteral("42"));

    prompts.phrase.reset(); // Cancel
    conn.reset();
    const QString cancelled = openError(pg + through);
    EXPECT_TRUE(cancelled.contains(QStringLiteral("no passphrase"))) << cancelled.toStdString();
}

// Connections to one server through one jump host share a tunnel; it ends
// with the last one, unless a document holds it.
TEST_F(SshTunnelTest, ATunnelIsSharedAndEndsWithItsLastHolder) {
    SQLQE_REQUIRE_SSHD(sshd);
    QString pg;
    SQLQE_REQUIRE_SERVER(kPostgres, pg);
    const net::TunnelTarget target{
        {QLatin1String(SshServer::kAlias), 0, {}, sshd.plainKey(), sshd.configFile()},
        QStringLiteral("127.0.0.1"),
        5432};
    auto first = net::SshTunnel::acquire(target, 10);
    ASSERT_TRUE(first) << first.error().toStdString();
    auto second = net::SshTunnel::acquire(target, 10);
    ASSERT_TRUE(second);
    EXPECT_EQ(first->get(), second->get());
    std::weak_ptr<net::SshTunnel> watch = *first;
    first = fail(QString());
    second = fail(QString());
    EXPECT_TRUE(watch.expired()); // ssh ended with its last user

    {
        const auto hold = net::SshTunnel::hold(target);
        auto third = net::SshTunnel::acquire(target, 10);
        ASSERT_TRUE(third);
        watch = *third;
        const int port = (*third)->localPort();
        third = fail(QString());
        ASSERT_FALSE(watch.expired()); // the hold keeps it
        auto fourth = net::SshTunnel::acquire(target, 10);
        ASSERT_TRUE(fourth);
        EXPECT_EQ((*fourth)->localPort(), port);
    }
    EXPECT_TRUE(watch.expired()); // the document let go
}
