#pragma once
// Runs one external tool for a document: writes the script to the tool's
// input file (atomically, before the start), starts the program with its
// argument list (never through a shell), passes on what it prints, and
// reports how it ended. Nothing here waits: the tool runs on its own while
// the window stays usable. A tool still running when this object goes
// (its document closed) is ended.

#include "base/Result.h"
#include "external/ToolCommand.h"

#include <QObject>
#include <QStringDecoder>

class QProcess;

namespace external {

class ToolProcess : public QObject {
    Q_OBJECT
public:
    explicit ToolProcess(QObject* parent = nullptr);
    ~ToolProcess() override;

    // Writes script to the input file and starts the tool. A failure before
    // the start (the input file cannot be written, the program is not there)
    // comes back at once; one the start itself reports comes as failed().
    Status start(const ToolCommand& command, const QString& script);
    // Ends the running tool (asks first, then forces it after a moment).
    void stop();
    bool isRunning() const;

    // At most this much printed text is passed on per run; the rest is
    // dropped with a note (a tool printing without end must not fill memory).
    static constexpr qint64 kOutputLimit = 64 * 1024 * 1024;

signals:
    // Text the tool printed: its standard output (with its errors, unless
    // the output goes to a file), as it arrives.
    void output(const QString& text);
    // The program could not be started; message says why.
    void failed(const QString& message);
    // The tool ended. errors: what it printed on its error channel while its
    // standard output went to a file.
    void finished(int exitCode, bool crashed, const QString& errors);

private:
    void readOutput();
    QString startFailure(int code) const;

    QProcess* process_ = nullptr;
    ToolCommand command_;
    QStringDecoder decoder_;
    QStringDecoder errorDecoder_;
    QString errors_;
    qint64 passedOn_ = 0;
};

} // namespace external
