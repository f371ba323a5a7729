#pragma once
// The hand-over of a document's script to an external query tool: the
// command line of the chosen tool is shown in the message pane (passwords
// masked), the script is written to the tool's input file, the tool starts
// with its argument list, and what it produces comes into the text pane:
// its output file (reloaded by the output watch while it runs, and once more
// when it ends), or, without one, what it prints. The document stays usable
// meanwhile; Stop ends the tool.

#include "external/ToolCommand.h"

#include <QDateTime>
#include <QObject>

class ResultPanes;

namespace external {
class ToolProcess;
}

class ExternalToolRun : public QObject {
    Q_OBJECT
public:
    explicit ExternalToolRun(ResultPanes* panes, QObject* parent = nullptr);

    // Hands script (the document's whole script, or the statement at the
    // caret) to the tool the settings choose.
    void start(const settings::Snapshot& options, const QString& script);
    void stop();
    bool isRunning() const;

signals:
    void runningChanged(bool running);
    void resultsRatioWanted(double ratio);
    // Reload file into the text pane whenever the tool writes it into folder.
    void watchRequested(const QString& folder, const QString& file);

private:
    void showTextPanes();
    void report(const QString& line, bool bringForward);
    void onFinished(int exitCode, bool crashed, const QString& errors);

    ResultPanes* panes_;
    external::ToolProcess* process_;
    external::ToolCommand command_;
    bool stopped_ = false;          // ended by Stop
    bool printsToTextPane_ = false; // no output file: what the tool prints is the result
    QString printed_;               // what it printed beside its output file
    // The output file as it was before the start: one left from an earlier
    // run is not shown as this run's output.
    QDateTime outputWrittenBefore_;
    qint64 outputSizeBefore_ = -1;
};
