#pragma once
// Prints a run as it arrives: results on stdout (aligned text, or every
// result set in an export format), everything else on stderr. Formatting
// and writing happen on a thread of their own, so the database is read
// while earlier rows are written. Every write and flush is checked: the
// first failure (a full disk, a closed or broken pipe) is remembered,
// reported through onWriteFailure so the run can be stopped on the server,
// and ends the output.

#include "export/RowSink.h"
#include "run/RunEngine.h"
#include "run/TextLayout.h"

#include <QByteArray>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

class PrintSink : public RunSink {
public:
    // format: an export format for the result sets; nullopt: the text pane's
    // layout. options: the export's (the SQL dialect comes from the connection).
    PrintSink(std::optional<exports::Format> format, const exports::ExportOptions& options,
              std::function<void()> onWriteFailure);
    ~PrintSink() override;

    void connected(db::ServerFamily server, const QString& identifierQuote) override;
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
    // The export's sink, made when the first result set starts.
    exports::RowSink& rows();
    void check(const Status& status);
    void failWith(const QString& why);

    const std::optional<exports::Format> format_;
    exports::ExportOptions options_;
    std::function<void()> onWriteFailure_;
    std::unique_ptr<exports::RowSink> rows_;
    QByteArray out_;  // text mode's pending output
    QString failure_; // written by the writer thread, read after it ends
    std::mutex mutex_;
    std::condition_variable ready_, room_;
    std::deque<std::pair<Task, bool>> queue_;
    std::thread writer_;
};

// Writes to stderr (failures there have nowhere to be reported).
void writeErr(const QString& text);
