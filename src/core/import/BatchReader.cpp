#include "import/BatchReader.h"

#include "import/CsvReader.h"

#include <QFile>

namespace csv {
namespace {

constexpr size_t kBatchBytes = size_t(16) << 20;
constexpr size_t kWaiting = 2; // batches read ahead

} // namespace

BatchReader::BatchReader(Options options)
    : options_(std::move(options)), nullMarker_(options_.format.nullMarker.toStdString()),
      thread_([this] { read(); }) {}

BatchReader::~BatchReader() {
    stop_ = true;
    changed_.notify_all();
    thread_.join();
}

std::unique_ptr<Batch> BatchReader::next() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !ready_.empty(); });
    std::unique_ptr<Batch> batch = std::move(ready_.front());
    ready_.pop_front();
    changed_.notify_all();
    return batch;
}

void BatchReader::push(std::unique_ptr<Batch> batch) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return ready_.size() < kWaiting || stop_; });
    ready_.push_back(std::move(batch));
    changed_.notify_all();
}

bool BatchReader::add(const Record& r, Batch& batch) {
    auto bad = [&](const QString& message) {
        batch.bad.push_back({r.line, message});
        return false;
    };
    if (options_.fieldCount <= 0) options_.fieldCount = r.size();
    if (r.size() != options_.fieldCount)
        return bad(QStringLiteral("%1 fields where %2 were expected.").arg(r.size()).arg(options_.fieldCount));
    db::RowBlock& rows = batch.rows;
    for (const ColumnFeed& c : options_.columns) {
        const std::string_view v = r.text(c.source);
        if (!r.quoted(c.source) && v == nullMarker_) {
            rows.appendNull();
            continue;
        }
        if (!v.empty() && !passes(c.check, v)) {
            rows.dropPartialRow();
            return bad(QStringLiteral("\"%1\" is not %2 (column %3).").arg(r.string(c.source), checkName(c.check), c.name));
        }
        if (c.boolean && !v.empty()) {
            const auto b = booleanText(v, options_.server);
            if (!b) {
                rows.dropPartialRow();
                return bad(QStringLiteral("\"%1\" is not true or false (column %2).").arg(r.string(c.source), c.name));
            }
            rows.appendCell(*b);
        } else {
            rows.appendCell(v);
        }
    }
    batch.lines.push_back(r.line);
    return true;
}

void BatchReader::read() {
    auto fresh = [this] {
        auto b = std::make_unique<Batch>();
        b->rows.reset(int(options_.columns.size()));
        return b;
    };
    std::unique_ptr<Batch> batch = fresh();
    QFile file(options_.file);
    if (!file.open(QIODevice::ReadOnly)) {
        batch->bad.push_back({0, QStringLiteral("Cannot open %1: %2").arg(options_.file, file.errorString())});
        batch->last = true;
        push(std::move(batch));
        return;
    }
    CsvReader reader(file, options_.format);
    Record record;
    bool header = options_.format.header;
    while (!stop_ && reader.next(record)) {
        if (header) {
            header = false;
            continue;
        }
        const bool good = add(record, *batch);
        if (!good && options_.stopAtBadRow) break;
        if (batch->rows.rowCount() >= options_.batchRows || batch->rows.byteSize() >= kBatchBytes) {
            batch->bytesRead = reader.bytesRead();
            push(std::move(batch));
            batch = fresh();
        }
    }
    if (!reader.error().isEmpty())
        batch->bad.push_back({record.line, reader.error().section(QStringLiteral(": "), 1)});
    batch->bytesRead = reader.bytesRead();
    batch->last = true;
    push(std::move(batch));
}

} // namespace csv
