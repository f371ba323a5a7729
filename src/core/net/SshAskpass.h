#pragma once
// Hands a key's passphrase to ssh without a terminal. ssh runs the askpass
// helper program (SSH_ASKPASS, with SSH_ASKPASS_REQUIRE=force), and the
// helper reads the passphrase from a socket in a private folder (0700) of
// this process, never from the command line or the environment.
//
// The helper: $SQLQE_ASKPASS when set, else sqlqe-askpass beside the running
// program, else sqlqe-askpass on the PATH.

#include "base/Result.h"

#include <QProcessEnvironment>
#include <QString>
#include <memory>

namespace net {

class AskpassChannel {
public:
    // Serves passphrase once, to whoever connects first (ssh is told to ask
    // once), until the channel is destroyed.
    static Result<std::unique_ptr<AskpassChannel>> open(const QString& passphrase);
    ~AskpassChannel();
    AskpassChannel(const AskpassChannel&) = delete;
    AskpassChannel& operator=(const AskpassChannel&) = delete;

    // Adds what ssh and the helper need to the environment.
    void addTo(QProcessEnvironment& environment) const;
    // The helper program's path.
    static QString helperProgram();
    // The variable naming the socket, for the helper.
    static constexpr const char* kSocketVariable = "SQLQE_ASKPASS_SOCKET";

    struct Server;

private:
    explicit AskpassChannel(std::unique_ptr<Server> server);
    std::unique_ptr<Server> server_;
};

} // namespace net
