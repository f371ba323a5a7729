#include "SshServer.h"

#include <QDir>
#include <QFile>
#include <QThread>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

bool writeText(const QString& path, const QString& text) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return f.write(text.toUtf8()) >= 0;
}

sockaddr_in loopback(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(quint16(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = loopback(0);
    socklen_t len = sizeof a;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    ::close(fd);
    return port;
}

bool answers(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in a = loopback(port);
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

// Whether a process has children, from /proc.
bool hasChildren(const QByteArray& pid) {
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!entry.at(0).isDigit() || !stat.open(QIODevice::ReadOnly)) continue;
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1] == pid && fields[0] != "Z") return true;
    }
    return false;
}

} // namespace

bool SshServer::run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (p.waitForFinished(20000) && p.exitCode() == 0) return true;
    failure_ = QStringLiteral("%1 failed: %2").arg(program, QString::fromLocal8Bit(p.readAllStandardError()));
    return false;
}

SshServer::SshServer() {
    const QString sshd = QStringLiteral("/usr/sbin/sshd");
    if (!QFile::exists(sshd)) {
        failure_ = QStringLiteral("%1 is not installed (openssh-server)").arg(sshd);
        return;
    }
    // sshd wants its privilege separation folder even for one user
    if (!QDir(QStringLiteral("/run/sshd")).exists() && !QDir().mkpath(QStringLiteral("/run/sshd"))) {
        failure_ = QStringLiteral("/run/sshd is missing and cannot be made");
        return;
    }
    const QString keygen = QStringLiteral("ssh-keygen");
    auto key = [&](const char* name, const QString& passphrase) {
        return run(keygen, {QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("ed25519"),
                            QStringLiteral("-N"), passphrase, QStringLiteral("-f"), file(name)});
    };
    if (!key("host_key", {}) || !key("other_host_key", {}) || !key("id_plain", {}) ||
        !key("id_locked", QLatin1String(kPassphrase)))
        return;
    QFile::remove(file("authorized_keys"));
    QByteArray authorized;
    for (const char* pub : {"id_plain.pub", "id_locked.pub"}) {
        QFile f(file(pub));
        if (f.open(QIODevice::ReadOnly)) authorized += f.readAll();
    }
    port_ = freePort();
    const QString user =
        QString::fromLocal8Bit(qgetenv("USER").isEmpty() ? QByteArray("root") : qgetenv("USER"));
    if (!writeText(file("authorized_keys"), QString::fromUtf8(authorized)) ||
        !writeText(file("sshd_config"),
                   QStringLiteral("ListenAddress 127.0.0.1\nHostKey %1\nPidFile %2\nAuthorizedKeysFile %3\n"
                                  "StrictModes no\nUsePAM no\nPasswordAuthentication no\n"
                                  "KbdInteractiveAuthentication no\nAllowTcpForwarding yes\nPermitTTY no\n")
                       .arg(file("host_key"), file("sshd.pid"), file("authorized_keys"))) ||
        !writeText(
            file("ssh_config"),
            QStringLiteral("Host %1\n  HostName 127.0.0.1\n  Port %2\n  User %3\n  IdentitiesOnly yes\n"
                           "  UserKnownHostsFile %4\n  GlobalKnownHostsFile /dev/null\n")
                .arg(QLatin1String(kAlias))
                .arg(port_)
                .arg(user, file("known_hosts")))) {
        failure_ = QStringLiteral("the server's files could not be written");
        return;
    }
    sshd_.setProcessChannelMode(QProcess::MergedChannels);
    sshd_.start(sshd, {QStringLiteral("-D"), QStringLiteral("-e"), QStringLiteral("-f"), file("sshd_config"),
                       QStringLiteral("-p"), QString::number(port_)});
    sshd_.waitForStarted(5000);
    for (int i = 0; i < 100; ++i) {
        if (sshd_.state() != QProcess::Running) break;
        if (answers(port_)) return;
        QThread::msleep(50);
    }
    failure_ = QStringLiteral("sshd did not start: ") + QString::fromLocal8Bit(sshd_.readAll());
}

SshServer::~SshServer() {
    if (sshd_.state() == QProcess::NotRunning) return;
    // Sessions end when their clients go; the server reaps them if it still
    // runs (else they would stay as zombies of a process that never waits).
    const QByteArray parent = QByteArray::number(sshd_.processId());
    for (int i = 0; i < 60 && hasChildren(parent); ++i)
        QThread::msleep(50);
    sshd_.terminate();
    if (!sshd_.waitForFinished(3000)) sshd_.kill();
    sshd_.waitForFinished(3000);
}

QString SshServer::otherHostKeyLine() const {
    QFile f(file("other_host_key.pub"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QStringList parts = QString::fromUtf8(f.readAll()).split(QLatin1Char(' '));
    return QStringLiteral("[127.0.0.1]:%1 %2 %3\n").arg(port_).arg(parts.value(0), parts.value(1).trimmed());
}

QString SshServer::jumpKeys(const QString& key) const {
    return QStringLiteral("SshHost=%1;SshConfig=%2;SshKey=%3;").arg(QLatin1String(kAlias), configFile(), key);
}
