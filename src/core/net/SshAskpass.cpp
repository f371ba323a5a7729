#include "net/SshAskpass.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace net {

constexpr int kServings = 1; // ssh asks once (NumberOfPasswordPrompts=1)

struct AskpassChannel::Server {
    QTemporaryDir dir; // 0700
    QString path;
    int fd = -1;
    QByteArray answer;
    std::thread thread;

    ~Server() {
        if (fd >= 0) {
            ::shutdown(fd, SHUT_RDWR); // wakes accept()
            if (thread.joinable()) thread.join();
            ::close(fd);
        }
    }

    void serve() {
        for (int i = 0; i < kServings; ++i) {
            const int c = ::accept(fd, nullptr, nullptr);
            if (c < 0) return;
            qsizetype sent = 0;
            while (sent < answer.size()) {
                const ssize_t n = ::write(c, answer.constData() + sent, size_t(answer.size() - sent));
                if (n <= 0) break;
                sent += n;
            }
            ::close(c);
        }
    }
};

AskpassChannel::AskpassChannel(std::unique_ptr<Server> server) : server_(std::move(server)) {}

AskpassChannel::~AskpassChannel() = default;

Result<std::unique_ptr<AskpassChannel>> AskpassChannel::open(const QString& passphrase) {
    auto s = std::make_unique<Server>();
    if (!s->dir.isValid())
        return fail(QStringLiteral("A private folder for the passphrase could not be made."));
    s->path = s->dir.filePath(QStringLiteral("askpass"));
    const QByteArray path = QFile::encodeName(s->path);
    sockaddr_un address{};
    if (size_t(path.size()) >= sizeof address.sun_path)
        return fail(QStringLiteral("The temporary folder's path is too long for a socket: %1").arg(s->path));
    address.sun_family = AF_UNIX;
    std::copy(path.begin(), path.end(), address.sun_path);
    s->fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s->fd < 0 || ::bind(s->fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(s->fd, 2) != 0)
        return fail(QStringLiteral("The passphrase socket could not be opened: %1")
                        .arg(QString::fromLocal8Bit(strerror(errno))));
    s->answer = passphrase.toUtf8() + '\n';
    Server* raw = s.get();
    s->thread = std::thread([raw] { raw->serve(); });
    return std::unique_ptr<AskpassChannel>(new AskpassChannel(std::move(s)));
}

void AskpassChannel::addTo(QProcessEnvironment& environment) const {
    environment.insert(QStringLiteral("SSH_ASKPASS"), helperProgram());
    environment.insert(QStringLiteral("SSH_ASKPASS_REQUIRE"), QStringLiteral("force"));
    environment.insert(QLatin1String(kSocketVariable), server_->path);
}

QString AskpassChannel::helperProgram() {
    if (const QString own = qEnvironmentVariable("SQLQE_ASKPASS"); !own.isEmpty()) return own;
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/sqlqe-askpass");
    return QFileInfo(beside).isExecutable() ? beside : QStringLiteral("sqlqe-askpass");
}

} // namespace net
