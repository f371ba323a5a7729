#include "external/ToolProcess.h"

#include "external/LaunchFailure.h"
#include "script/ScriptFile.h"

#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QTimer>

#include <csignal>
#include <unistd.h>

namespace external {

ToolProcess::ToolProcess(QObject* parent) : QObject(parent) {}

ToolProcess::~ToolProcess() {
    if (!process_) return;
    process_->disconnect(this);
    signalGroup(SIGKILL);
    if (process_->state() != QProcess::NotRunning) {
        process_->kill();
        process_->waitForFinished(2000);
    }
}

bool ToolProcess::isRunning() const {
    return process_ && process_->state() != QProcess::NotRunning;
}

void ToolProcess::signalGroup(int sig) const {
    if (group_ <= 1) return;
    ::kill(-pid_t(group_), sig);
}

QString ToolProcess::startFailure(int code) const {
    const external::LaunchError e = external::errorFor(code);
    return QStringLiteral("The program \"%1\" could not be started: %2 (error %3).")
        .arg(command_.program, e.description)
        .arg(e.number);
}

Status ToolProcess::start(const ToolCommand& command, const QString& script) {
    if (isRunning()) return fail(QStringLiteral("The external tool of this document is still running."));
    command_ = command;
    if (!command.inputFile.isEmpty()) {
        const Status written = writeScriptFile(command.inputFile, script);
        if (!written) return fail(QStringLiteral("The script was not handed over: %1").arg(written.error()));
    }
    if (const int problem = external::programProblem(command.program, command.workingFolder)) {
        return fail(startFailure(problem));
    }
    if (!command.standardInputFile.isEmpty() && !QFileInfo(command.standardInputFile).isReadable()) {
        return fail(QStringLiteral("The input file %1 cannot be read.").arg(command.standardInputFile));
    }

    if (process_) process_->deleteLater();
    process_ = new QProcess(this);
    group_ = 0;
    process_->setProgram(command.program);
    process_->setArguments(command.arguments);
    process_->setWorkingDirectory(command.workingFolder);
    if (!command.environment.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (auto it = command.environment.cbegin(); it != command.environment.cend(); ++it)
            env.insert(it.key(), it.value());
        process_->setProcessEnvironment(env);
    }
    // a session (and so a process group) of its own, ended as a whole by Stop
    process_->setChildProcessModifier([] { ::setsid(); });
    if (!command.standardInputFile.isEmpty()) process_->setStandardInputFile(command.standardInputFile);
    if (!command.standardOutputFile.isEmpty()) {
        process_->setStandardOutputFile(command.standardOutputFile, QIODevice::Truncate);
    } else {
        process_->setProcessChannelMode(QProcess::MergedChannels);
    }
    QProcess* p = process_;
    connect(p, &QProcess::readyReadStandardOutput, this, &ToolProcess::readOutput);
    connect(p, &QProcess::readyReadStandardError, this, &ToolProcess::readOutput);
    connect(p, &QProcess::started, this, [this, p] {
        if (p == process_) group_ = p->processId();
        // Without an input file the tool sees the end of its input at once
        // rather than waiting for a terminal that is not there.
        if (command_.standardInputFile.isEmpty()) p->closeWriteChannel();
    });
    connect(p, &QProcess::errorOccurred, this, [this, p](QProcess::ProcessError error) {
        if (p != process_ || error != QProcess::FailedToStart) return;
        emit failed(startFailure(external::processFailure(error, command_.program, command_.workingFolder)));
    });
    connect(p, &QProcess::finished, this, [this, p](int exitCode, QProcess::ExitStatus status) {
        if (p != process_) return;
        readOutput();
        emit finished(exitCode, status == QProcess::CrashExit);
    });
    p->start(QIODevice::ReadWrite);
    return {};
}

void ToolProcess::readOutput() {
    if (!process_) return;
    const QByteArray out = process_->readAllStandardOutput();
    if (!out.isEmpty()) emit output(out, false);
    if (!process_ || process_->processChannelMode() == QProcess::MergedChannels) return;
    const QByteArray err = process_->readAllStandardError();
    if (!err.isEmpty()) emit output(err, true);
}

void ToolProcess::pause(bool paused) {
    if (isRunning()) signalGroup(paused ? SIGSTOP : SIGCONT);
}

void ToolProcess::stop() {
    if (!isRunning()) return;
    signalGroup(SIGCONT); // a held group could not act on TERM
    signalGroup(SIGTERM);
    process_->terminate();
    QPointer<QProcess> p = process_;
    const qint64 group = group_;
    QTimer::singleShot(kGraceMs, this, [p, group] {
        // whatever of the group is still there, the tool's children included
        if (group > 1) ::kill(-pid_t(group), SIGKILL);
        if (p && p->state() != QProcess::NotRunning) p->kill();
    });
}

} // namespace external
