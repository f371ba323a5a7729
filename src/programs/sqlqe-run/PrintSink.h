#pragma once
// Prints a run as it arrives: results on stdout (aligned text, or the grid's
// export format), everything else on stderr. Formatting and writing happen on
// a thread of their own, so the database is read while earlier rows are
// written. Every write and flush is checked: the first failure (a full disk,
// a closed or broken pipe) is remembered, reported through onWriteFailure so
// the run can be stopped on the server, and ends the output.

#include "run/GridExport.h"
#include "run/RunEngine.h"
#include "run/TextLayout.h"

#include <QByteArray>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

enum class OutputMode { Text, Csv, Tsv };

class PrintSink : public RunSink {
public:
    PrintSink(OutputMode mode, std::function<void()> onWriteFailure);
    ~PrintSink() override;

    void gridStarted(const std::vector<db::Field>& fields) override;
    void gridRows(std::shared_ptr<db::RowBlock> rows) override;
    void appendText(Pane pane, const QString& text) override;
    void textRows(Pane pane, std::shared_ptr<db::RowBlock> rows, const TextWidths& widths) override;
    void clearPane(Pane) override {}
    void progress(qint64) override {}

    // Writes everything still queued, flushes and closes stdout, and ends
    // the writer. Returns the first write failure ("" when all went out).
    QString finish();

private:
    using Task = std::function<void()>;
    void push(Task task, bool last = false);
    void writeLoop();
    void writePending();
    void failWith(int error);
    gridexport::Format format() const { return mode_ == OutputMode::Csv ? gridexport::kCsv : gridexport::kTab; }

    OutputMode mode_;
    std::function<void()> onWriteFailure_;
    QByteArray out_;
    qint64 record_ = 0;
    QString failure_; // written by the writer thread, read after it ends
    std::mutex mutex_;
    std::condition_variable ready_, room_;
    std::deque<std::pair<Task, bool>> queue_;
    std::thread writer_;
};

// Writes to stderr (failures there have nowhere to be reported).
void writeErr(const QString& text);
