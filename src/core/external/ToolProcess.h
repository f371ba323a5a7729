#pragma once
// Runs one external tool for a document: writes the script to the tool's
// input file (atomically, before the start), starts the program with its
// argument list (never through a shell), passes on what it prints, and
// reports how it ended. Nothing here waits: the tool runs on its own while
// the window stays usable.
//
// The tool runs in a process group of its own: Stop ends the group (TERM,
// then KILL after a grace period), so a tool that started programs of its
// own takes them along, and a tool still running when this object goes
// (its document closed) is ended with them. A password the command hands
// over in the environment is set there for the tool alone.

#include "base/Result.h"
#include "external/ToolCommand.h"

#include <QObject>

class QProcess;

namespace external {

class ToolProcess : public QObject {
    Q_OBJECT
public:
    static constexpr int kGraceMs = 3000; // between TERM and KILL

    explicit ToolProcess(QObject* parent = nullptr);
    ~ToolProcess() override;

    // Writes script to the input file and starts the tool. A failure before
    // the start (the input file cannot be written, the program is not there)
    // comes back at once; one the start itself reports comes as failed().
    Status start(const ToolCommand& command, const QString& script);
    // Ends the running tool and everything it started.
    void stop();
    // Holds the tool and its group where they are (SIGSTOP), and lets them go on.
    void pause(bool paused);
    bool isRunning() const;

signals:
    // Bytes the tool printed, as they arrive: its standard output (with its
    // errors, unless the output goes to a file), or, with errorChannel, its
    // error output while its standard output goes to a file.
    void output(const QByteArray& bytes, bool errorChannel);
    // The program could not be started; message says why.
    void failed(const QString& message);
    // The tool ended.
    void finished(int exitCode, bool crashed);

private:
    void readOutput();
    QString startFailure(int code) const;
    // Sends sig to the tool's group (while any member of it is left).
    void signalGroup(int sig) const;

    QProcess* process_ = nullptr;
    ToolCommand command_;
    qint64 group_ = 0; // the tool's process group (its own pid)
};

} // namespace external
