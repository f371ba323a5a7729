#pragma once
// A database server reached through an SSH jump host: a local port that the
// system's OpenSSH client forwards to the server ("ssh -N -L"), so the
// user's ~/.ssh/config, agent and known_hosts apply as they do in a shell.
//
// One tunnel runs per jump host and server, shared by every connection to
// that server through that host: acquire() gives the running one or starts
// it, and waits until its local port answers. It ends when nothing holds it
// any more: the connections that use it, and the documents that keep it
// (hold()) while they are connected through it, so a document's runs and
// catalogue reads do not start ssh again and again.
//
// ssh runs with BatchMode=yes and StrictHostKeyChecking=yes: it never asks
// on a terminal and never takes a host key on its own. A host key it does
// not know is shown to the user through SshPrompts (its fingerprint), and
// added to known_hosts only when the user trusts it; a changed host key is
// refused with ssh's own words. A key file that needs its passphrase is
// asked for through SshPrompts too, and handed to ssh by the askpass
// helper (SshAskpass.h). Without prompts (sqlqe-run) both are failures that
// say what to do.

#include "base/Result.h"

#include <QString>
#include <memory>

namespace net {

class SshProcess;

struct SshJump {
    QString host; // a host name or an alias of the ssh configuration; empty: no tunnel
    int port = 0; // 0: ssh's own (or the alias's)
    QString user;
    QString keyFile;
    QString configFile; // -F: instead of ~/.ssh/config
    bool isSet() const { return !host.isEmpty(); }
    bool operator==(const SshJump&) const = default;
};

struct TunnelTarget {
    SshJump jump;
    QString host; // the server as the jump host reaches it
    int port = 0;
    bool operator==(const TunnelTarget&) const = default;
};

class SshTunnel {
public:
    SshTunnel(const SshTunnel&) = delete;
    SshTunnel& operator=(const SshTunnel&) = delete;
    ~SshTunnel(); // ends ssh

    // The local end: connect to 127.0.0.1 on this port.
    int localPort() const { return localPort_; }
    bool isRunning() const;

    // The running tunnel to target, or a new one once its port answers
    // (within timeoutSeconds). Safe from any thread but the tunnels' own.
    static Result<std::shared_ptr<SshTunnel>> acquire(const TunnelTarget& target, int timeoutSeconds);
    // Keeps the tunnel to target running, once something has started it,
    // for as long as the returned hold lives.
    static std::shared_ptr<void> hold(const TunnelTarget& target);

    // Used by the tunnels' registry.
    SshTunnel(std::unique_ptr<SshProcess> process, int localPort);

private:
    std::unique_ptr<SshProcess> process_;
    int localPort_ = 0;
};

} // namespace net
