#include "net/TunnelStart.h"

#include "net/SshAskpass.h"
#include "net/SshProcess.h"
#include "net/SshPrompts.h"
#include "net/SshTools_p.h"

#include <QDeadlineTimer>
#include <QThread>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace net {
namespace {

constexpr int kPollMs = 50;

// A port of 127.0.0.1 nobody listens on now.
int freeLocalPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    if (fd >= 0) ::close(fd);
    return port;
}

// Whether something accepts connections on the local port.
bool answers(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(quint16(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

enum class Outcome { Ready, HostKeyUnknown, HostKeyChanged, Denied, Failed };

struct Attempt {
    Outcome outcome = Outcome::Failed;
    std::shared_ptr<SshTunnel> tunnel;
    QString said; // ssh's stderr, when it gave up
};

Attempt attempt(const TunnelTarget& t, int timeoutSeconds, const AskpassChannel* askpass) {
    const int port = freeLocalPort();
    QStringList args{QStringLiteral("-N"),
                     QStringLiteral("-L"),
                     QStringLiteral("127.0.0.1:%1:%2:%3").arg(port).arg(t.host).arg(t.port),
                     QStringLiteral("-o"),
                     QStringLiteral("ExitOnForwardFailure=yes"),
                     QStringLiteral("-o"),
                     QStringLiteral("StrictHostKeyChecking=yes"),
                     QStringLiteral("-o"),
                     QStringLiteral("ConnectTimeout=%1").arg(std::max(1, timeoutSeconds)),
                     QStringLiteral("-o"),
                     QStringLiteral("ServerAliveInterval=30")};
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (askpass) {
        // only the key's passphrase goes through the helper, no password
        args << QStringLiteral("-o") << QStringLiteral("BatchMode=no") << QStringLiteral("-o")
             << QStringLiteral("PasswordAuthentication=no") << QStringLiteral("-o")
             << QStringLiteral("KbdInteractiveAuthentication=no") << QStringLiteral("-o")
             << QStringLiteral("NumberOfPasswordPrompts=1");
        askpass->addTo(env);
    } else {
        args << QStringLiteral("-o") << QStringLiteral("BatchMode=yes");
    }
    args << net::jumpOptions(t.jump) << t.jump.host;
    auto process = std::make_unique<SshProcess>(QStringLiteral("ssh"), args, env);
    Attempt a;
    const QDeadlineTimer deadline(std::chrono::seconds(std::max(1, timeoutSeconds) + 2));
    while (process->isRunning() && !deadline.hasExpired()) {
        if (answers(port)) {
            a.outcome = Outcome::Ready;
            a.tunnel = std::make_shared<SshTunnel>(std::move(process), port);
            return a;
        }
        QThread::msleep(kPollMs);
    }
    a.said = process->startError().isEmpty() ? process->errorOutput().trimmed() : process->startError();
    if (process->isRunning()) a.said = QStringLiteral("no answer within %1 seconds").arg(timeoutSeconds);
    if (a.said.contains(QLatin1String("REMOTE HOST IDENTIFICATION HAS CHANGED")) ||
        (a.said.contains(QLatin1String("Host key for")) && a.said.contains(QLatin1String("has changed"))))
        a.outcome = Outcome::HostKeyChanged;
    else if (a.said.contains(QLatin1String("Host key verification failed")))
        a.outcome = Outcome::HostKeyUnknown;
    else if (a.said.contains(QLatin1String("Permission denied")))
        a.outcome = Outcome::Denied;
    return a;
}

QString failed(const TunnelTarget& t, const QString& why) {
    return QStringLiteral("The SSH tunnel through %1 could not be opened: %2").arg(t.jump.host, why);
}

} // namespace

Result<std::shared_ptr<SshTunnel>> startTunnel(const TunnelTarget& t, int timeoutSeconds) {
    Attempt a = attempt(t, timeoutSeconds, nullptr);
    SshPrompts* prompts = SshPrompts::installed();
    if (a.outcome == Outcome::HostKeyUnknown) {
        const Result<net::ResolvedJump> host = net::resolveJump(t.jump);
        if (!host) return fail(failed(t, host.error()));
        const Result<QByteArray> keys = net::scanHostKeys(*host);
        if (!keys) return fail(failed(t, keys.error()));
        const QString prints = net::fingerprints(*keys);
        if (!prompts)
            return fail(failed(
                t, QStringLiteral("the host key of %1 is not known (%2). Check it and connect once with "
                                  "ssh in a terminal to add it to known_hosts.")
                       .arg(host->host, prints)));
        if (!prompts->trustHostKey(host->host, prints))
            return fail(failed(t, QStringLiteral("the host key of %1 was not trusted.").arg(host->host)));
        if (const Status added = net::trustHostKeys(*host, *keys); !added)
            return fail(failed(t, added.error()));
        a = attempt(t, timeoutSeconds, nullptr); // the key the user saw, or ssh refuses again
    }
    if (a.outcome == Outcome::Denied && prompts) {
        const Result<net::ResolvedJump> host = net::resolveJump(t.jump);
        QString keyFile;
        for (const QString& f : host ? host->identityFiles : QStringList{t.jump.keyFile})
            if (net::needsPassphrase(f)) {
                keyFile = f;
                break;
            }
        if (!keyFile.isEmpty()) {
            const std::optional<QString> phrase = prompts->passphrase(keyFile);
            if (!phrase)
                return fail(failed(t, QStringLiteral("no passphrase was given for %1.").arg(keyFile)));
            const auto channel = AskpassChannel::open(*phrase);
            if (!channel) return fail(failed(t, channel.error()));
            a = attempt(t, timeoutSeconds, channel->get());
        }
    }
    switch (a.outcome) {
    case Outcome::Ready:
        return a.tunnel;
    case Outcome::HostKeyChanged:
        return fail(
            failed(t, QStringLiteral("the host key of %1 has CHANGED since it was trusted; it was not "
                                     "accepted. If you know why, remove the old key (ssh-keygen -R) and "
                                     "connect again. ssh said: %2")
                          .arg(t.jump.host, a.said)));
    default:
        return fail(failed(t, a.said.isEmpty() ? QStringLiteral("ssh ended without saying why.") : a.said));
    }
}

} // namespace net
