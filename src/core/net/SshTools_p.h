#pragma once
// The OpenSSH tools a tunnel asks before and after starting ssh, each run to
// its end with an argument list: what ssh makes of the jump host (ssh -G,
// so aliases and ~/.ssh/config count), the host's keys (ssh-keyscan) and
// their fingerprints (ssh-keygen -l), and whether a key file needs its
// passphrase (ssh-keygen -y).

#include "base/Result.h"
#include "net/SshTunnel.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace net {

// The options naming the jump host's port, user, key and configuration
// file, as ssh and ssh -G take them (the host itself not included).
QStringList jumpOptions(const SshJump& jump);

// The jump host as ssh would reach it.
struct ResolvedJump {
    QString host;     // as known_hosts names it: "name", or "[name]:port" off port 22
    QString hostName; // the address ssh connects to
    int port = 22;
    QStringList knownHostsFiles; // the user's, first the one ssh adds to
    QStringList identityFiles;   // key files ssh would try, that exist
};
Result<ResolvedJump> resolveJump(const SshJump& jump);

// The host's keys as known_hosts lines (ssh-keyscan).
Result<QByteArray> scanHostKeys(const ResolvedJump& host);
// One line per key: "ED25519 SHA256:…".
QString fingerprints(const QByteArray& knownHostsLines);
// Adds the lines to the user's known_hosts (made, mode 0600, in a 0700
// folder, when missing).
Status trustHostKeys(const ResolvedJump& host, const QByteArray& knownHostsLines);

// Whether the key file is encrypted: ssh can use it only with its passphrase.
bool needsPassphrase(const QString& keyFile);

} // namespace net
