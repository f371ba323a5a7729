#include "store/HistoryWriter.h"

#include "store/WriteFailures.h"

#include <QMetaObject>

#include <chrono>

HistoryWriter& HistoryWriter::instance() {
    static HistoryWriter writer;
    return writer;
}

HistoryWriter::HistoryWriter() : thread_([this] { loop(); }) {}

HistoryWriter::~HistoryWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true; // write what is queued, then end; no more notices
    }
    wake_.notify_all();
    thread_.join();
}

void HistoryWriter::add(HistoryEntry entry, qint64 limit) {
    enqueue([store = HistoryStore(), entry = std::move(entry), limit] { return Status::of(store.add(entry, limit)); });
}

void HistoryWriter::remove(std::vector<qint64> ids) {
    enqueue([store = HistoryStore(), ids = std::move(ids)] { return store.remove(ids); });
}

void HistoryWriter::clear() {
    enqueue([store = HistoryStore()] { return store.clear(); });
}

void HistoryWriter::enqueue(std::function<Status()> job) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back({std::move(job), 0});
    }
    wake_.notify_one();
}

bool HistoryWriter::waitIdle(int timeoutMs) {
    std::unique_lock lock(mutex_);
    return idle_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return queue_.empty() && !busy_; });
}

QString HistoryWriter::lastError() const {
    std::lock_guard lock(mutex_);
    return lastError_;
}

void HistoryWriter::retryFailed() {
    while (!failed_.empty()) {
        queue_.push_front(std::move(failed_.back()));
        failed_.pop_back();
    }
}

void HistoryWriter::keepFailed(Job job) {
    if (++job.tries < kMaxTries && failed_.size() < kMaxFailed) failed_.push_back(std::move(job));
}

void HistoryWriter::loop() {
    std::unique_lock lock(mutex_);
    bool lastTry = false; // at exit, changes that failed are tried once more
    for (;;) {
        const auto work = [this] { return stopping_ || !queue_.empty(); };
        if (queue_.empty()) {
            if (stopping_) {
                if (failed_.empty() || lastTry) return; // everything written, or given up
                lastTry = true;
                retryFailed();
                continue;
            }
            if (failed_.empty())
                wake_.wait(lock, work);
            else if (!wake_.wait_for(lock, std::chrono::milliseconds(kRetryMs), work))
                retryFailed();
            continue;
        }
        Job job = std::move(queue_.front());
        queue_.pop_front();
        busy_ = true;
        lock.unlock();
        const Status written = job.write();
        WriteFailures::instance().record(WriteFailures::Store::History, written);
        lock.lock();
        busy_ = false;
        lastError_ = written.error();
        if (!written.ok()) {
            keepFailed(std::move(job)); // tried again later
        } else if (!failed_.empty()) {
            retryFailed(); // it can be written again: what waited goes first
        }
        if (queue_.empty()) {
            if (!stopping_) QMetaObject::invokeMethod(this, [this] { emit changed(); }, Qt::QueuedConnection);
            idle_.notify_all();
        }
    }
}
