#include "shell/SessionBusProbe.h"

#include <QByteArray>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <future>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace shell {

namespace {

// The socket of the first unix address ("unix:path=…" or "unix:abstract=…"),
// filled into addr; false for any other kind.
bool unixSocketOf(const QString& address, sockaddr_un& addr, socklen_t& length) {
    for (const QString& entry : address.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (!entry.startsWith(QLatin1String("unix:"))) continue;
        for (const QString& part : entry.mid(5).split(QLatin1Char(','))) {
            const bool abstract = part.startsWith(QLatin1String("abstract="));
            if (!abstract && !part.startsWith(QLatin1String("path="))) continue;
            const QByteArray name = QByteArray::fromPercentEncoding(part.section(QLatin1Char('='), 1).toLocal8Bit());
            std::memset(&addr, 0, sizeof(addr));
            addr.sun_family = AF_UNIX;
            const size_t offset = abstract ? 1 : 0; // an abstract name starts with a NUL
            if (name.isEmpty() || size_t(name.size()) + offset >= sizeof(addr.sun_path)) return false;
            std::memcpy(addr.sun_path + offset, name.constData(), size_t(name.size()));
            length = socklen_t(offsetof(sockaddr_un, sun_path) + offset + size_t(name.size()) + (abstract ? 0 : 1));
            return true;
        }
    }
    return false;
}

SessionBusState probeSocket(const sockaddr_un& addr, socklen_t length, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    const auto left = [deadline] {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        return int(std::max<std::chrono::milliseconds::rep>(0, ms.count()));
    };
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return SessionBusState::Unreachable;
    const auto finish = [fd](SessionBusState s) {
        ::close(fd);
        return s;
    };
    pollfd p{fd, POLLOUT, 0};
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), length) != 0) {
        if (errno != EINPROGRESS && errno != EAGAIN) return finish(SessionBusState::Unreachable);
        if (::poll(&p, 1, left()) <= 0) return finish(SessionBusState::Silent);
        int error = 0;
        socklen_t size = sizeof(error);
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size);
        if (error != 0) return finish(SessionBusState::Unreachable);
    }
    // the greeting every bus client sends first; any answer (OK or REJECTED) will do
    const QByteArray uid = QByteArray::number(::getuid()).toHex();
    const QByteArray greeting = QByteArray(1, '\0') + "AUTH EXTERNAL " + uid + "\r\n";
    if (::send(fd, greeting.constData(), size_t(greeting.size()), MSG_NOSIGNAL) != greeting.size())
        return finish(SessionBusState::Unreachable);
    p = {fd, POLLIN, 0};
    if (::poll(&p, 1, left()) <= 0) return finish(SessionBusState::Silent);
    char reply[64];
    return finish(::recv(fd, reply, sizeof(reply), 0) > 0 ? SessionBusState::Answers : SessionBusState::Unreachable);
}

} // namespace

SessionBusState probeSessionBus(const QString& address, int timeoutMs) {
    sockaddr_un addr;
    socklen_t length = 0;
    if (address.isEmpty() || !unixSocketOf(address, addr, length)) return SessionBusState::NotConfigured;
    return probeSocket(addr, length, timeoutMs);
}

QString disableWhenSilent(int timeoutMs) {
    const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    // on a thread of its own: the UI thread only waits for a bounded time
    std::future<SessionBusState> probing = std::async(std::launch::async, [address, timeoutMs] { return probeSessionBus(address, timeoutMs); });
    const bool done = probing.wait_for(std::chrono::milliseconds(timeoutMs + 1000)) == std::future_status::ready;
    if (done && probing.get() != SessionBusState::Silent) return {};
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/sqlqe-session-bus-did-not-answer");
    return QStringLiteral("The desktop session bus (%1) did not answer within %2 seconds, so the editor runs without "
                          "it: no screen-reader support and no desktop keyring (saved passwords stay in vsql.db).")
        .arg(address)
        .arg(timeoutMs / 1000);
}

} // namespace shell
