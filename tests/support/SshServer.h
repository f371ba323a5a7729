#pragma once
// A throwaway OpenSSH server on loopback for the tunnel tests: its own host
// key, a free port, keys for the current user (one plain, one behind a
// passphrase) in its authorized_keys, and a client configuration file
// whose host alias "testjump" reaches it with a known_hosts file of its own
// (empty at first). Started as a process of the test, ended with it.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

class SshServer {
public:
    static constexpr const char* kAlias = "testjump";
    static constexpr const char* kPassphrase = "open sesame 9";

    SshServer();
    ~SshServer();
    // Why it could not start (empty when it runs).
    QString failure() const { return failure_; }
    int port() const { return port_; }

    QString configFile() const { return file("ssh_config"); }
    QString knownHostsFile() const { return file("known_hosts"); }
    QString plainKey() const { return file("id_plain"); }
    QString lockedKey() const { return file("id_locked"); }
    // A host key of another server, for known_hosts that name this one wrongly.
    QString otherHostKeyLine() const;
    // The connection-string keys that go through this server's alias with key.
    QString jumpKeys(const QString& key) const;

private:
    QString file(const char* name) const { return dir_.filePath(QLatin1String(name)); }
    bool run(const QString& program, const QStringList& args);
    QTemporaryDir dir_;
    QProcess sshd_;
    int port_ = 0;
    QString failure_;
};

// Skips the test when no sshd could be started.
#define SQLQE_REQUIRE_SSHD(server)                                                                           \
    do {                                                                                                     \
        if (!(server).failure().isEmpty()) GTEST_SKIP() << "no sshd: " << (server).failure().toStdString();  \
    } while (0)
