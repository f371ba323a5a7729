#include "document/ExternalToolRun.h"

#include "document/ResultPanes.h"
#include "document/ToolOutputView.h"
#include "editor/SqlEditor.h"
#include "external/OutputShaper.h"
#include "external/ToolProcess.h"
#include "settings/AppPaths.h"

#include <QFileInfo>

ExternalToolRun::ExternalToolRun(ResultPanes* panes, QObject* parent)
    : QObject(parent), panes_(panes), process_(new external::ToolProcess(this)) {
    connect(process_, &external::ToolProcess::output, this, &ExternalToolRun::onOutput);
    connect(process_, &external::ToolProcess::failed, this, [this](const QString& message) {
        report(QStringLiteral("Error: ") + message, true);
        emit runningChanged(false);
    });
    connect(process_, &external::ToolProcess::finished, this, &ExternalToolRun::onFinished);
}

ToolOutputView* ExternalToolRun::view() {
    if (!view_) { // the text pane is made when first wanted
        view_ = ToolOutputView::of(panes_->textPane());
        // the memory question holds the tool while it is open, and its Stop ends it
        connect(view_, &ToolOutputView::holdWanted, process_, &external::ToolProcess::pause);
        connect(view_, &ToolOutputView::stopWanted, this, &ExternalToolRun::stop);
    }
    return view_;
}

ExternalToolRun::~ExternalToolRun() = default;

bool ExternalToolRun::isRunning() const {
    return process_->isRunning();
}

void ExternalToolRun::stop() {
    if (!process_->isRunning()) return;
    stopped_ = true;
    process_->stop();
}

void ExternalToolRun::showTextPanes() {
    panes_->setTabVisible(ResultPanes::ResultsTab, true);
    panes_->setTabVisible(ResultPanes::MessagesTab, true);
    panes_->setCurrentIndex(ResultPanes::ResultsTab);
    panes_->setResultsInText(true);
    panes_->showResultsPane();
    emit resultsRatioWanted(0.7);
}

void ExternalToolRun::report(const QString& line, bool bringForward) {
    panes_->messagePane()->appendText(line + QStringLiteral("\r\n"));
    if (bringForward) panes_->setCurrentIndex(ResultPanes::MessagesTab);
}

void ExternalToolRun::start(const settings::Snapshot& options, const QString& script) {
    const std::optional<external::ToolCommand> command =
        external::buildToolCommand(options, AppPaths::toolFolder());
    if (!command) {
        // Nothing is started; say why instead of doing nothing silently.
        panes_->setMessage(QStringLiteral("No external tool was started: executionselected in the [OPTIONS] "
                                          "section of %1 is \"%2\"; it must be ISQLW, ISQL or Other.\r\n")
                               .arg(AppPaths::configFile(), options.text(settings::Key::ExecutionSelected)));
        panes_->setTabVisible(ResultPanes::MessagesTab, true);
        panes_->setCurrentIndex(ResultPanes::MessagesTab);
        emit resultsRatioWanted(0.7);
        return;
    }
    if (process_->isRunning()) {
        report(QStringLiteral(
                   "Error: %1 is still running for this document; stop it (F4) before starting it again.")
                   .arg(command_.program),
               true);
        return;
    }
    command_ = *command;
    stopped_ = false;
    printsToTextPane_ = command_.outputFile.isEmpty();
    using external::OutputShaper;
    printed_ = std::make_unique<OutputShaper>(kMessageLineLimit, kMessageLimit);
    errors_ = std::make_unique<OutputShaper>(kMessageLineLimit, kMessageLimit);
    printedText_.clear();
    errorText_.clear();
    const QFileInfo before(command_.outputFile);
    outputWrittenBefore_ = before.exists() ? before.lastModified() : QDateTime();
    outputSizeBefore_ = before.exists() ? before.size() : -1;
    view()->beginPrinted(QFileInfo(command_.program).fileName());
    panes_->setMessage(external::handOverMessage(command_));
    showTextPanes();
    const Status started = process_->start(command_, script);
    if (!started) {
        report(QStringLiteral("Error: ") + started.error(), true);
        return;
    }
    emit runningChanged(true);
    if (command_.watchOutput && !command_.outputFile.isEmpty())
        emit watchRequested(QFileInfo(command_.outputFile).absolutePath(), command_.outputFile);
}

void ExternalToolRun::onOutput(const QByteArray& bytes, bool errorChannel) {
    if (errorChannel)
        errorText_ += errors_->feed(bytes);
    else if (printsToTextPane_)
        view()->appendPrinted(bytes);
    else
        printedText_ += printed_->feed(bytes);
}

void ExternalToolRun::onFinished(int exitCode, bool crashed) {
    if (printsToTextPane_) view()->endPrinted();
    // The output file as the tool left it (the watch may have missed a tool
    // that ended quickly).
    const QFileInfo output(command_.outputFile);
    if (!command_.outputFile.isEmpty() && output.exists()) {
        if (output.lastModified() != outputWrittenBefore_ || output.size() != outputSizeBefore_) {
            QString error;
            if (!view()->showFile(command_.outputFile, QFileInfo(command_.program).fileName(), &error))
                report(QStringLiteral("Error: ") + error, false);
        } else {
            report(
                QStringLiteral("%1 did not write %2 this time.").arg(command_.program, command_.outputFile),
                false);
        }
    }
    printedText_ += printed_->finish();
    errorText_ += errors_->finish();
    for (QString* text : {&printedText_, &errorText_}) {
        if (text->trimmed().isEmpty()) continue;
        text->replace(QChar(0), QChar(0x2400)); // a NUL would end the message pane's text where it stands
        report(text->endsWith(QLatin1String("\r\n")) ? text->chopped(2) : *text, false);
    }
    printedText_.clear();
    errorText_.clear();
    if (stopped_)
        report(QStringLiteral("...%1 stopped by User...").arg(command_.program), false);
    else if (crashed)
        report(QStringLiteral("%1 ended abnormally.").arg(command_.program), false);
    else
        report(QStringLiteral("%1 ended with exit code %2.").arg(command_.program).arg(exitCode), false);
    emit runningChanged(false);
}
