#include "store/HistoryWriter.h"

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
        queue_.push_back(std::move(job));
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

void HistoryWriter::loop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) return; // stopping, and everything is written
        std::function<Status()> job = std::move(queue_.front());
        queue_.pop_front();
        busy_ = true;
        lock.unlock();
        const Status written = job();
        lock.lock();
        busy_ = false;
        lastError_ = written.error();
        if (queue_.empty()) {
            if (!stopping_) QMetaObject::invokeMethod(this, [this] { emit changed(); }, Qt::QueuedConnection);
            idle_.notify_all();
        }
    }
}
