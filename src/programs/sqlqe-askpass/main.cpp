// The askpass helper of the editor's SSH tunnels: ssh runs it (SSH_ASKPASS)
// to get a key's passphrase, and it prints what the editor serves on the
// socket named by SQLQE_ASKPASS_SOCKET (see core/net/SshAskpass.h). Plain
// C++ without Qt: it starts in milliseconds and holds the secret briefly.
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

int main() {
    const char* path = std::getenv("SQLQE_ASKPASS_SOCKET");
    sockaddr_un address{};
    if (!path || std::strlen(path) >= sizeof address.sun_path) return 1;
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return 1;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        if (::write(STDOUT_FILENO, buffer, size_t(n)) != n) return 1;
    ::close(fd);
    return n == 0 ? 0 : 1;
}
