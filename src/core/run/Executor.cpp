#include "run/Executor.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QPointer>

#include <condition_variable>
#include <list>
#include <mutex>
#include <optional>
#include <thread>

namespace {
constexpr int kFlushIntervalMs = 33;    // at most about 30 deliveries a second
constexpr int kMaxDeliveriesInFlight = 2;
} // namespace

// One piece of a run's output, in the order the run produced it.
struct Executor::Batch {
    enum Kind { Grid, Rows, Text, TextRows, Clear, Finished } kind = Text;
    std::vector<db::Field> fields;
    std::shared_ptr<db::RowBlock> rows;
    TextWidths widths;
    Pane pane = Pane::Results;
    QString text;
    RunResult result;
};

// State shared by an Executor and its worker thread. It outlives the
// Executor when the worker is still finishing a stopped run.
struct Executor::Shared : RunSink, std::enable_shared_from_this<Executor::Shared> {
    std::mutex mutex;
    std::condition_variable cv;
    Executor* owner = nullptr; // guarded by mutex; null once the Executor is gone
    int inFlight = 0;          // deliveries posted but not yet handled
    bool done = false;         // the worker has finished
    std::unique_ptr<RunEngine> engine;

    // Output collected by the worker since the last delivery.
    std::vector<std::shared_ptr<Batch>> pending;
    QElapsedTimer sinceDelivery;
    qint64 lastProgress = -1;

    void add(Batch::Kind kind, Pane pane = Pane::Results) {
        auto b = std::make_shared<Batch>();
        b->kind = kind;
        b->pane = pane;
        pending.push_back(std::move(b));
    }
    void gridStarted(const std::vector<db::Field>& fields) override {
        add(Batch::Grid);
        pending.back()->fields = fields;
    }
    void gridRows(std::shared_ptr<db::RowBlock> rows) override {
        add(Batch::Rows);
        pending.back()->rows = std::move(rows);
    }
    void appendText(Pane pane, const QString& text) override {
        if (pending.empty() || pending.back()->kind != Batch::Text || pending.back()->pane != pane)
            add(Batch::Text, pane);
        pending.back()->text += text;
    }
    void textRows(Pane pane, std::shared_ptr<db::RowBlock> rows, const TextWidths& widths) override {
        add(Batch::TextRows, pane);
        pending.back()->rows = std::move(rows);
        pending.back()->widths = widths;
    }
    void clearPane(Pane pane) override { add(Batch::Clear, pane); }

    // The run waits here for the owner's answer; a stop, or the owner going
    // away, ends the wait (the stop then ends the run).
    std::optional<MemoryAnswer> answer; // guarded by mutex
    MemoryAnswer memoryLimitReached(qint64 heldBytes) override {
        deliverPending(); // the rows fetched so far are on screen while the question is asked
        std::unique_lock lock(mutex);
        if (!owner) return MemoryAnswer::Stop;
        answer.reset();
        Executor* target = owner;
        auto self = shared_from_this();
        QMetaObject::invokeMethod(
            target, [target, self, heldBytes] { target->askMemoryQuestion(self, heldBytes); }, Qt::QueuedConnection);
        cv.wait(lock, [&] { return answer || !owner || engine->stopRequested(); });
        if (answer) return *answer;
        return MemoryAnswer::StopAndKeep; // stopped (or closed) while the question was open
    }
    void progress(qint64 rows) override { lastProgress = rows; }
    void flush() override {
        if (sinceDelivery.isValid() && sinceDelivery.elapsed() < kFlushIntervalMs) return;
        deliverPending();
    }

    // Posts what is pending to the Executor's thread as one delivery; waits
    // while the receiver still has deliveries to work through.
    void deliverPending(std::shared_ptr<Batch> last = nullptr) {
        sinceDelivery.restart();
        if (last) pending.push_back(std::move(last));
        if (pending.empty() && lastProgress < 0) return;
        std::vector<std::shared_ptr<Batch>> parts;
        parts.swap(pending);
        const qint64 prog = lastProgress;
        lastProgress = -1;
        std::unique_lock lock(mutex);
        cv.wait(lock, [&] { return !owner || inFlight < kMaxDeliveriesInFlight; });
        if (!owner) return; // nobody listens any more
        ++inFlight;
        Executor* target = owner;
        auto self = shared_from_this();
        QMetaObject::invokeMethod(
            target,
            [target, self, parts = std::move(parts), prog] {
                {
                    std::lock_guard l(self->mutex);
                    --self->inFlight;
                    self->cv.notify_all();
                }
                if (prog >= 0) emit target->progress(prog);
                for (const auto& p : parts) target->deliver(p);
            },
            Qt::QueuedConnection);
    }
};

namespace {
std::mutex registryMutex;
std::condition_variable registryChanged;
std::list<std::shared_ptr<Executor::Shared>> running;
} // namespace

Executor::Executor(QObject* parent) : QObject(parent) {
    qRegisterMetaType<Pane>();
    qRegisterMetaType<RunResult>();
}

Executor::~Executor() {
    if (!shared_) return;
    std::lock_guard lock(shared_->mutex);
    shared_->owner = nullptr;
    shared_->engine->stop();
    shared_->cv.notify_all();
}

void Executor::stop() {
    if (!shared_ || !running_) return;
    shared_->engine->stop();
    std::lock_guard lock(shared_->mutex);
    shared_->cv.notify_all(); // ends a wait for the memory question's answer
}

void Executor::askMemoryQuestion(const std::shared_ptr<Shared>& run, qint64 heldBytes) {
    // The question may run a nested event loop (a dialog): this object may be
    // gone when it returns.
    QPointer<Executor> self(this);
    const MemoryAnswer a = memoryQuestion_ ? memoryQuestion_(heldBytes) : MemoryAnswer::KeepFetching;
    std::lock_guard lock(run->mutex);
    if (self) run->answer = a;
    run->cv.notify_all();
}

void Executor::start(RunRequest request) {
    if (running_) return;
    running_ = true;
    shared_ = std::make_shared<Shared>();
    shared_->owner = this;
    shared_->engine = std::make_unique<RunEngine>(std::move(request), *shared_);
    {
        std::lock_guard lock(registryMutex);
        running.push_back(shared_);
    }
    std::thread([s = shared_] {
        auto done = std::make_shared<Batch>();
        done->kind = Batch::Finished;
        done->result = s->engine->run();
        s->deliverPending(done);
        std::lock_guard lock(registryMutex);
        s->done = true;
        running.remove(s);
        registryChanged.notify_all();
    }).detach();
}

void Executor::deliver(const std::shared_ptr<Batch>& b) {
    switch (b->kind) {
    case Batch::Grid: emit gridStarted(b->fields); break;
    case Batch::Rows: emit gridRows(b->rows); break;
    case Batch::Text: emit textAppended(b->pane, b->text); break;
    case Batch::TextRows: emit textRows(b->pane, b->rows, b->widths); break;
    case Batch::Clear: emit paneCleared(b->pane); break;
    case Batch::Finished:
        running_ = false;
        emit finished(b->result);
        break;
    }
}

void Executor::waitForAll(int timeoutMs) {
    std::unique_lock lock(registryMutex);
    for (auto& s : running) {
        std::lock_guard l(s->mutex);
        s->owner = nullptr;
        s->engine->stop();
        s->cv.notify_all();
    }
    registryChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs), [] { return running.empty(); });
}
