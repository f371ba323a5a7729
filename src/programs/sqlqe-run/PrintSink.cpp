#include "PrintSink.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

void writeErr(const QString& text) {
    const QByteArray b = text.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stderr);
    std::fflush(stderr);
}

PrintSink::PrintSink(std::optional<exports::Format> format, const exports::ExportOptions& options,
                     std::function<void()> onWriteFailure)
    : format_(format), options_(options), onWriteFailure_(std::move(onWriteFailure)),
      writer_([this] { writeLoop(); }) {}

PrintSink::~PrintSink() { finish(); }

void PrintSink::connected(db::ServerFamily server, const QString& identifierQuote) {
    push([this, server, identifierQuote] { options_.dialect = SqlDialect::forServer(server, identifierQuote); });
}

exports::RowSink& PrintSink::rows() {
    if (!rows_) rows_ = exports::openStream(*format_, stdout, options_);
    return *rows_;
}

void PrintSink::gridStarted(const std::vector<db::Field>& fields) {
    push([this, fields] {
        if (failure_.isEmpty()) check(rows().beginSet(fields));
    });
}

void PrintSink::gridRows(std::shared_ptr<db::RowBlock> block) {
    push([this, block] {
        if (failure_.isEmpty()) check(rows().writeRows(*block));
    });
}

void PrintSink::appendText(Pane pane, const QString& text) {
    // The messages of statements without rows and the server's notices go to
    // stderr, and so does the row-limit notice in the export modes (the editor
    // keeps it behind the grid).
    const bool toStderr =
        pane == Pane::Messages || pane == Pane::Notices || (format_ && pane == Pane::Results);
    push([this, text, toStderr] {
        if (toStderr) {
            writePending();
            writeErr(text.trimmed() + QLatin1Char('\n'));
            return;
        }
        out_ += text.toUtf8();
        if (out_.size() > (1 << 20)) writePending();
    });
}

void PrintSink::textRows(Pane, std::shared_ptr<db::RowBlock> rows, const TextWidths& widths) {
    push([this, rows, widths] {
        run::appendRowsUtf8(out_, *rows, *widths);
        if (out_.size() > (1 << 20)) writePending();
    });
}

QString PrintSink::finish() {
    if (writer_.joinable()) {
        push(
            [this] {
                writePending();
                if (format_ && failure_.isEmpty()) check(rows().finish());
                if (failure_.isEmpty() && std::fclose(stdout) != 0)
                    failWith(QString::fromLocal8Bit(std::strerror(errno)));
            },
            true);
        writer_.join();
    }
    return failure_;
}

void PrintSink::push(Task task, bool last) {
    std::unique_lock lock(mutex_);
    room_.wait(lock, [this] { return queue_.size() < 8; });
    queue_.push_back({std::move(task), last});
    ready_.notify_one();
}

void PrintSink::writeLoop() {
    for (;;) {
        std::pair<Task, bool> item;
        {
            std::unique_lock lock(mutex_);
            ready_.wait(lock, [this] { return !queue_.empty(); });
            item = std::move(queue_.front());
            queue_.pop_front();
            room_.notify_one();
        }
        item.first();
        if (item.second) return;
        // Caught up with the run: what is formatted goes out now, so the first
        // rows of a slow or long result are seen at once.
        bool idle;
        {
            std::lock_guard lock(mutex_);
            idle = queue_.empty();
        }
        if (idle) writePending();
    }
}

void PrintSink::writePending() {
    if (!failure_.isEmpty()) { // the output is gone: drop what comes
        out_.resize(0);
        return;
    }
    if (rows_) check(rows_->flush());
    if (out_.isEmpty()) return;
    if (std::fwrite(out_.constData(), 1, size_t(out_.size()), stdout) != size_t(out_.size()) ||
        std::fflush(stdout) != 0) {
        failWith(QString::fromLocal8Bit(std::strerror(errno ? errno : EIO)));
        return;
    }
    out_.resize(0); // keeps the capacity: clear() would free it and the next megabyte regrow it
}

void PrintSink::check(const Status& status) {
    if (!status && failure_.isEmpty()) failWith(status.error());
}

void PrintSink::failWith(const QString& why) {
    failure_ = why;
    out_.clear();
    if (onWriteFailure_) onWriteFailure_();
}
