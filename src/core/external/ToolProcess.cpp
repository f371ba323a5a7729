#include "external/ToolProcess.h"

#include "external/LaunchFailure.h"
#include "script/ScriptFile.h"

#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QTimer>

namespace external {

ToolProcess::ToolProcess(QObject* parent) : QObject(parent) {}

ToolProcess::~ToolProcess() {
    if (!process_) return;
    process_->disconnect(this);
    if (process_->state() != QProcess::NotRunning) {
        process_->kill();
        process_->waitForFinished(2000);
    }
}

bool ToolProcess::isRunning() const {
    return process_ && process_->state() != QProcess::NotRunning;
}

QString ToolProcess::startFailure(int code) const {
    const launch::LaunchError e = launch::errorFor(code);
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
    if (const int problem = launch::programProblem(command.program, command.workingFolder)) {
        return fail(startFailure(problem));
    }
    if (!command.standardInputFile.isEmpty() && !QFileInfo(command.standardInputFile).isReadable()) {
        return fail(QStringLiteral("The input file %1 cannot be read.").arg(command.standardInputFile));
    }

    if (process_) process_->deleteLater();
    process_ = new QProcess(this);
    decoder_ = QStringDecoder(QStringDecoder::Utf8);
    errorDecoder_ = QStringDecoder(QStringDecoder::Utf8);
    errors_.clear();
    passedOn_ = 0;
    process_->setProgram(command.program);
    process_->setArguments(command.arguments);
    process_->setWorkingDirectory(command.workingFolder);
    if (!command.standardInputFile.isEmpty()) process_->setStandardInputFile(command.standardInputFile);
    if (!command.standardOutputFile.isEmpty()) {
        process_->setStandardOutputFile(command.standardOutputFile, QIODevice::Truncate);
    } else {
        process_->setProcessChannelMode(QProcess::MergedChannels);
    }
    QProcess* p = process_;
    connect(p, &QProcess::readyReadStandardOutput, this, &ToolProcess::readOutput);
    connect(p, &QProcess::readyReadStandardError, this, &ToolProcess::readOutput);
    if (command.standardInputFile.isEmpty()) {
        // Without an input file the tool sees the end of its input at once
        // rather than waiting for a terminal that is not there.
        connect(p, &QProcess::started, this, [p] { p->closeWriteChannel(); });
    }
    connect(p, &QProcess::errorOccurred, this, [this, p](QProcess::ProcessError error) {
        if (p != process_ || error != QProcess::FailedToStart) return;
        emit failed(startFailure(launch::processFailure(error, command_.program, command_.workingFolder)));
    });
    connect(p, &QProcess::finished, this, [this, p](int exitCode, QProcess::ExitStatus status) {
        if (p != process_) return;
        readOutput();
        emit finished(exitCode, status == QProcess::CrashExit, errors_);
    });
    p->start(QIODevice::ReadWrite);
    return {};
}

void ToolProcess::readOutput() {
    if (!process_) return;
    auto pass = [this](const QString& text) {
        if (text.isEmpty() || passedOn_ > kOutputLimit) return;
        passedOn_ += text.size();
        emit output(passedOn_ > kOutputLimit
                        ? QStringLiteral("\n...output cut: the tool printed more than %1 MB...\n")
                              .arg(kOutputLimit / (1024 * 1024))
                        : text);
    };
    const QByteArray out = process_->readAllStandardOutput();
    if (!out.isEmpty()) pass(decoder_.decode(out));
    if (process_->processChannelMode() == QProcess::MergedChannels) return;
    const QByteArray err = process_->readAllStandardError();
    if (!err.isEmpty() && errors_.size() < kOutputLimit) errors_ += errorDecoder_.decode(err);
}

void ToolProcess::stop() {
    if (!isRunning()) return;
    process_->terminate();
    QPointer<QProcess> p = process_;
    QTimer::singleShot(3000, this, [p] {
        if (p && p->state() != QProcess::NotRunning) p->kill();
    });
}

} // namespace external
