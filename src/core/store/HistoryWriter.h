#pragma once
// Writes the query history off the UI thread: changes are queued and
// written in order by one thread of their own, so a busy or slow vsql.db
// never holds up the editor. changed() tells the history panes (of every
// document) when there is something new to read.
//
// Each change goes to the history of the home that was current when it was
// queued. Pending changes are written before the writer goes away at exit.
//
// A change that cannot be written (a full disk, a locked file) is kept and
// tried again every few seconds, and at once after any later change was
// written; the failure and the recovery are told through WriteFailures.

#include "store/HistoryStore.h"

#include <QObject>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class HistoryWriter : public QObject {
    Q_OBJECT
public:
    // The program's writer, made on first use (from the UI thread).
    static HistoryWriter& instance();
    ~HistoryWriter() override;

    // Queues the entry; the history then keeps the newest limit entries.
    void add(HistoryEntry entry, qint64 limit);
    void remove(std::vector<qint64> ids);
    void clear();

    // Blocks until every queued change is written; false when timeoutMs passed first.
    bool waitIdle(int timeoutMs);
    // Why the last change could not be written; empty after a change that was.
    QString lastError() const;

    static constexpr int kRetryMs = 2000;
    static constexpr size_t kMaxFailed = 1000; // changes kept for another try
    static constexpr int kMaxTries = 300;      // ten minutes of tries, then a change is given up

signals:
    // The queue ran empty after changes were written (or failed: lastError()).
    // Emitted on the thread that made the writer.
    void changed();

private:
    HistoryWriter();
    void enqueue(std::function<Status()> job);
    void loop();
    struct Job {
        std::function<Status()> write;
        int tries = 0;
    };
    // Puts the failed changes back in front of the queue, in their order.
    void retryFailed();
    void keepFailed(Job job);

    mutable std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::deque<Job> queue_;
    std::deque<Job> failed_; // to be tried again
    bool busy_ = false;
    bool stopping_ = false;
    QString lastError_;
    std::thread thread_;
};
