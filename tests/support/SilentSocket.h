#pragma once
// A unix socket that takes connections and never says a word (a session bus
// that hangs), or, with answer set, one that replies to whatever it gets.

#include <QString>
#include <QTemporaryDir>

#include <atomic>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

class SilentSocket {
public:
    explicit SilentSocket(const char* answer = nullptr) : answer_(answer) {
        path_ = dir_.filePath(QStringLiteral("bus"));
        fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        const QByteArray p = path_.toLocal8Bit();
        std::memcpy(addr.sun_path, p.constData(), size_t(p.size()));
        ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
        ::listen(fd_, 16);
        thread_ = std::thread([this] {
            for (;;) {
                const int c = ::accept(fd_, nullptr, nullptr);
                if (c < 0 || stopping_) break;
                accepted_.push_back(c);
                if (answer_) {
                    char buffer[256];
                    if (::recv(c, buffer, sizeof(buffer), 0) > 0) ::send(c, answer_, std::strlen(answer_), MSG_NOSIGNAL);
                }
            }
        });
    }
    ~SilentSocket() {
        stopping_ = true;
        ::shutdown(fd_, SHUT_RDWR);
        ::close(fd_);
        thread_.join();
        for (int c : accepted_) ::close(c);
    }
    QString address() const { return QStringLiteral("unix:path=") + path_; }

private:
    QTemporaryDir dir_;
    QString path_;
    const char* answer_;
    int fd_ = -1;
    std::atomic<bool> stopping_{false};
    std::vector<int> accepted_;
    std::thread thread_;
};
