#include "run/RunEngine.h"

#include "run/TextLayout.h"

#include <QElapsedTimer>

#include <algorithm>

namespace {
constexpr int kFetchRows = 1024;
constexpr qsizetype kTextChunk = 256 * 1024; // text handed on in pieces of about this size
} // namespace

RunEngine::RunEngine(RunRequest request, RunSink& sink) : request_(std::move(request)), sink_(sink) {}

void RunEngine::stop() {
    stop_ = true;
    std::lock_guard lock(connMutex_);
    if (conn_) conn_->cancel();
}

RunEngine::Limit RunEngine::currentLimit() const {
    return request_.rowLimit ? Limit{true, *request_.rowLimit} : Limit{};
}

void RunEngine::report(qint64 rows) {
    fetched_ += rows;
    sink_.progress(fetched_);
}

RunResult RunEngine::run() {
    QElapsedTimer timer;
    timer.start();
    RunResult result;
    if (request_.connectionString.isEmpty()) {
        result.closingMessage = textlayout::noConnectionMessage();
        result.outcome = RunOutcome::NoConnection;
        return result;
    }
    std::unique_ptr<db::Connection> conn;
    try {
        conn = db::Connection::open(request_.connectionString, {request_.loginTimeoutSeconds, false});
        {
            std::lock_guard lock(connMutex_);
            conn_ = conn.get();
        }
        if (!request_.database.isEmpty()) conn->setDefaultDatabase(request_.database);
        if (request_.resultsInText) sink_.clearPane(Pane::Results);
        if (stop_) {
            throw db::Error::cancelled(QStringLiteral("Operation cancelled."));
        }
        auto cursor = conn->execute(request_.text);
        walkResults(*cursor, result);
    } catch (const db::Error& e) {
        if (stop_ && (e.isCancel() || !conn)) {
            // The server gave up on our cancel: the run ends as a stopped run.
            if (request_.resultsInText) sink_.appendText(Pane::Results, textlayout::cancelNotice());
            result.closingMessage = textlayout::cancelledMessage(result.rows);
            result.outcome = RunOutcome::Cancelled;
        } else if (e.kind() == db::Error::Kind::ClosedResult) {
            result.closingMessage = textlayout::affectedMessage(0);
            result.outcome = RunOutcome::Affected;
        } else {
            result.closingMessage = textlayout::errorMessage(e.number(), e.description());
            result.outcome = RunOutcome::Failed;
        }
    }
    sink_.flush();
    {
        std::lock_guard lock(connMutex_);
        conn_ = nullptr;
    }
    conn.reset();
    result.elapsedMs = timer.elapsed();
    return result;
}

void RunEngine::walkResults(db::Cursor& cursor, RunResult& result) {
    // The main counter runs on over the result sets of the call (text mode),
    // or counts the grid's rows (grid mode). Counters start at 1.
    qint64 counter = 1;
    bool first = true;
    for (;;) {
        if (!cursor.hasRows()) {
            // A statement without rows reports its affected count and ends the
            // output. The rest of the script still runs (the server has it
            // all); a failure there is reported instead of the count.
            result.closingMessage = textlayout::affectedMessage(std::max<qint64>(cursor.recordsAffected(), 0));
            result.outcome = RunOutcome::Affected;
            result.rows = counter - 1;
            while (!stop_ && cursor.nextResult()) {
            }
            return;
        }
        if (request_.resultsInText) {
            writeTextSet(cursor, Pane::Results, counter);
        } else if (first) {
            writeGridSet(cursor, counter);
        } else {
            sink_.clearPane(Pane::Extended); // the pane keeps the last further result set
            qint64 own = 1;
            writeTextSet(cursor, Pane::Extended, own);
            result.extendedResults = true;
        }
        result.rows = counter - 1;
        sink_.flush();
        if (stop_) break; // no further result sets after a stop
        first = false;
        if (!cursor.nextResult()) break;
        if (!cursor.hasRows() && request_.resultsInText) counter = 1;
    }
    result.rows = counter - 1;
    if (stop_) {
        result.closingMessage = textlayout::cancelledMessage(result.rows);
        result.outcome = RunOutcome::Cancelled;
    } else {
        result.closingMessage = textlayout::successMessage(result.rows);
    }
}

bool RunEngine::writeTextSet(db::Cursor& cursor, Pane pane, qint64& counter) {
    const auto& fields = cursor.fields();
    const std::vector<int> widths = textlayout::columnWidths(fields);
    const Limit limit = currentLimit();
    QString text = textlayout::headerBlock(fields);
    db::RowBlock block;
    bool limited = false;
    while (!limited && !stop_ && cursor.fetch(block, kFetchRows)) {
        for (int r = 0; r < block.rowCount(); ++r) {
            textlayout::appendRow(text, block, r, widths);
            ++counter;
            if (limitReached(counter, limit)) {
                text += textlayout::rowLimitNotice(limit.value);
                limited = true;
                break;
            }
        }
        report(block.rowCount());
        if (text.size() >= kTextChunk) {
            sink_.appendText(pane, text);
            text.clear();
            sink_.flush();
        }
    }
    if (stop_) text += textlayout::cancelNotice();
    text += textlayout::setTrailer(counter - 1);
    sink_.appendText(pane, text);
    return limited;
}

bool RunEngine::writeGridSet(db::Cursor& cursor, qint64& counter) {
    sink_.gridStarted(cursor.fields());
    const Limit limit = currentLimit();
    while (!stop_) {
        // Each row is added before the limit is checked, so the row that takes
        // the counter past the limit is still shown.
        int want = kFetchRows;
        if (limit.on) want = int(std::clamp<qint64>(limit.value - counter + 1, 1, kFetchRows));
        auto block = std::make_shared<db::RowBlock>();
        block->reset(int(cursor.fields().size()));
        const int got = cursor.appendRows(*block, want);
        if (got == 0) break;
        counter += got;
        report(got);
        block->shrinkToFit();
        sink_.gridRows(std::move(block));
        sink_.flush();
        if (limitReached(counter, limit)) {
            sink_.appendText(Pane::Results, textlayout::rowLimitNotice(limit.value));
            return true;
        }
    }
    return false;
}
