#pragma once
// The hand-over of a document's script to an external query tool: the
// command line of the chosen tool is shown in the message pane (passwords
// masked), the script is written to the tool's input file, the tool starts
// with its argument list, and what it produces comes into the text pane:
// its output file (reloaded by the output watch while it runs, and once more
// when it ends), or, without one, what it prints. Both go through the pane's
// ToolOutputView (long lines cut, the memory question). What a tool prints
// beside its output file comes to the message pane, cut short. The document
// stays usable meanwhile; Stop ends the tool and what it started.

#include "external/ToolCommand.h"

#include <QDateTime>
#include <QObject>

#include <memory>

class ResultPanes;
class ToolOutputView;

namespace external {
class OutputShaper;
class ToolProcess;
} // namespace external

class ExternalToolRun : public QObject {
    Q_OBJECT
public:
    explicit ExternalToolRun(ResultPanes* panes, QObject* parent = nullptr);
    ~ExternalToolRun() override;

    // Hands script (the document's whole script, or the statement at the
    // caret) to the tool the settings choose.
    void start(const settings::Snapshot& options, const QString& script);
    void stop();
    bool isRunning() const;

    // At most this much of what a tool prints beside its output file, in
    // lines of at most kMessageLineLimit, reaches the message pane.
    static constexpr qint64 kMessageLimit = 64 * 1024;
    static constexpr qint64 kMessageLineLimit = 2000;

signals:
    void runningChanged(bool running);
    void resultsRatioWanted(double ratio);
    // Reload file into the text pane whenever the tool writes it into folder.
    void watchRequested(const QString& folder, const QString& file);

private:
    // The text pane's tool output view, made with the pane when first wanted.
    ToolOutputView* view();
    void showTextPanes();
    void report(const QString& line, bool bringForward);
    void onOutput(const QByteArray& bytes, bool errorChannel);
    void onFinished(int exitCode, bool crashed);

    ResultPanes* panes_;
    ToolOutputView* view_ = nullptr;
    external::ToolProcess* process_;
    external::ToolCommand command_;
    bool stopped_ = false;          // ended by Stop
    bool printsToTextPane_ = false; // no output file: what the tool prints is the result
    // what it printed beside its output file, and on its error channel
    std::unique_ptr<external::OutputShaper> printed_, errors_;
    QString printedText_, errorText_;
    // The output file as it was before the start: one left from an earlier
    // run is not shown as this run's output.
    QDateTime outputWrittenBefore_;
    qint64 outputSizeBefore_ = -1;
};
