#pragma once
// Runs one script on a worker thread and reports what it produces through
// queued signals, in batches (about 30 a second at most), so the receiving
// thread never blocks on the database. The worker waits when the receiver
// falls behind, so a huge result cannot pile up in the event queue.
//
// Destroying an Executor during a run stops the run (cancelling the
// statement on the server) and lets the worker finish on its own; nothing is
// delivered afterwards. Executor::waitForAll() lets the application wait for
// such workers before it exits.

#include "run/RunEngine.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class Executor : public QObject {
    Q_OBJECT
public:
    explicit Executor(QObject* parent = nullptr);
    ~Executor() override;

    bool isRunning() const { return running_; }
    // Starts a run; ignored while one is running.
    void start(RunRequest request);
    // Requests the stop of the running run (flag + cancel on the server).
    void stop();
    // Asked on this object's thread when the rows of a run pass the
    // request's memory limit; the run waits (without blocking this thread)
    // until it answers. Without a question the run keeps fetching.
    void setMemoryQuestion(std::function<MemoryAnswer(qint64 heldBytes)> question) {
        memoryQuestion_ = std::move(question);
    }

    // Stops every run still going and waits up to timeoutMs for their workers.
    static void waitForAll(int timeoutMs);

signals:
    void gridStarted(const std::vector<db::Field>& fields);
    void gridRows(const std::shared_ptr<db::RowBlock>& rows);
    void textAppended(Pane pane, const QString& text);
    void textRows(Pane pane, const std::shared_ptr<db::RowBlock>& rows, const TextWidths& widths);
    void paneCleared(Pane pane);
    void progress(qint64 rowsFetched);
    void finished(const RunResult& result);

public:
    struct Shared; // worker state; public only for the file-local registry
private:
    struct Batch;
    void deliver(const std::shared_ptr<Batch>& batch);
    void askMemoryQuestion(const std::shared_ptr<Shared>& run, qint64 heldBytes);

    std::shared_ptr<Shared> shared_;
    bool running_ = false;
    std::function<MemoryAnswer(qint64)> memoryQuestion_;
};

Q_DECLARE_METATYPE(Pane)
Q_DECLARE_METATYPE(RunResult)
