#pragma once
// A long-running ssh process (a tunnel's) that may outlive the thread that
// started it: every QProcess of the tunnels lives on one thread of their
// own, with an event loop, and is started, watched and ended there. The
// process gets SIGTERM when that thread ends, so no ssh outlives the
// editor, even one that crashed.

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace net {

class SshProcess {
public:
    // Starts program; never on the tunnels' thread itself.
    SshProcess(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment);
    ~SshProcess(); // ends the process (SIGTERM, then SIGKILL)
    SshProcess(const SshProcess&) = delete;
    SshProcess& operator=(const SshProcess&) = delete;

    bool isRunning() const;
    // What the process wrote on stderr so far.
    QString errorOutput() const;
    // Why it could not start, when it could not.
    QString startError() const;

    struct State;

private:
    std::shared_ptr<State> state_;
};

} // namespace net
