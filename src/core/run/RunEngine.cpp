#include "run/RunEngine.h"

#include "run/ErrorLocation_p.h"
#include "run/RunPlan.h"
#include "run/ScriptStatements.h"
#include "run/TextLayout.h"

#include <QElapsedTimer>

#include <algorithm>
#include <limits>

namespace {
constexpr int kFetchRows = 1024;
// A script refused before anything of it was sent (its parameters).
struct Refusal {
    QString message;
};
} // namespace

void RunSink::textRows(Pane pane, std::shared_ptr<db::RowBlock> rows, const TextWidths& widths) {
    QString text;
    for (int r = 0; r < rows->rowCount(); ++r) run::appendRow(text, *rows, r, *widths);
    appendText(pane, text);
}

MemoryAnswer RunSink::memoryLimitReached(qint64) { return MemoryAnswer::KeepFetching; }

RunEngine::RunEngine(RunRequest request, RunSink& sink) : request_(std::move(request)), sink_(sink) {
    if (request_.memoryLimitBytes) nextMemoryCheck_ = std::max<qint64>(1, *request_.memoryLimitBytes);
}

void RunEngine::stop() {
    stop_ = true;
    std::lock_guard lock(connMutex_);
    if (conn_) conn_->cancel();
}

qint64 RunEngine::rowsAllowed() const {
    if (!request_.rowLimit) return std::numeric_limits<qint64>::max();
    return std::max<qint64>(0, *request_.rowLimit - shown_);
}

void RunEngine::report(qint64 rows) {
    fetched_ += rows;
    sink_.progress(fetched_);
}

RunResult RunEngine::finish(RunOutcome outcome, const QString& closing) {
    RunResult r;
    r.outcome = outcome;
    r.closingMessage = closing;
    r.extendedResults = extended_;
    r.discarded = discarded_;
    r.rows = rowCount();
    return r;
}

RunResult RunEngine::run() {
    QElapsedTimer timer;
    timer.start();
    // A failed transaction ends in a rollback whatever ends it (PostgreSQL
    // answers COMMIT there with a rollback, not an error): say so.
    const bool wasAborted = request_.session && request_.session->transactionAborted();
    RunResult result = execute();
    if (request_.session) { // every outcome reports the session as it now is
        request_.session->noteState();
        if (wasAborted && !request_.session->transactionAborted() && !request_.session->inTransaction().value_or(false))
            sink_.appendText(Pane::Notices, QStringLiteral("The transaction had failed, so the server rolled it back: "
                                                           "nothing of it was committed.\r\n"));
        result.sessionOpen = request_.session->isOpen();
        result.inTransaction = request_.session->inTransaction();
        result.transactionAborted = request_.session->transactionAborted();
    }
    result.statementKind = statementKind_;
    result.elapsedMs = timer.elapsed();
    return result;
}

RunResult RunEngine::execute() {
    // Planning reads the whole script: it happens here, off the UI thread.
    const RunPlan plan = planRun(request_.text, request_.connectionString, request_.parameters.has_value());
    statementKind_ = plan.kind;
    if (!plan.refusal.isEmpty()) return finish(RunOutcome::Refused, plan.refusal);
    if (plan.textToRun.isEmpty()) return finish(RunOutcome::NothingToDo, run::nothingToDoMessage());
    if (request_.connectionString.isEmpty()) return finish(RunOutcome::NoConnection, run::noConnectionMessage());
    RunResult result;
    std::unique_ptr<db::Connection> owned; // without a session: this run's own connection
    db::Connection* conn = nullptr;
    bool failed = false;
    try {
        conn = connect(owned);
        if (const QString refusal = conn->runRefusal(); !refusal.isEmpty())
            result = finish(RunOutcome::Refused, refusal);
        else
            result = runScript(*conn, plan.textToRun);
    } catch (const db::Error& e) {
        if (stop_ && (e.isCancel() || !conn)) {
            // The server gave up on our cancel: the run ends as a stopped run.
            if (request_.resultsInText) sink_.appendText(Pane::Results, run::cancelNotice());
            result = finish(RunOutcome::Cancelled, run::cancelledMessage(rowCount()));
        } else if (e.kind() == db::Error::Kind::ClosedResult) {
            result = finish(RunOutcome::Affected, run::affectedMessage(0));
        } else {
            result = finish(RunOutcome::Failed, run::errorMessage(e.number(), e.description()));
            placeError(result, e, plan.textToRun, conn);
        }
        failed = true;
    } catch (const Refusal& r) {
        result = finish(RunOutcome::Refused, r.message);
    }
    sink_.flush();
    db::Connection* used = nullptr; // set by connect() even when it failed after the lease
    {
        std::lock_guard lock(connMutex_);
        std::swap(used, conn_);
    }
    if (used) used->setNoticeHandler({}); // a kept connection outlives this engine
    // A connection that broke during the run is not used again (this may
    // close it: conn is not used after this); the statement that failed is
    // never sent again on its own.
    if (failed && request_.session) request_.session->checkAfterFailure();
    owned.reset();
    return result;
}

RunResult RunEngine::runScript(db::Connection& conn, const QString& text) {
    sink_.clearPane(request_.resultsInText ? Pane::Results : Pane::Extended);
    if (stop_) throw db::Error::cancelled(QStringLiteral("Operation cancelled."));
    send(conn, text);
    if (stop_) return finish(RunOutcome::Cancelled, run::cancelledMessage(rowCount()));
    if (!anyRowSet_ && !notes_.isEmpty()) return finish(RunOutcome::Affected, notes_.join(QStringLiteral("\r\n")));
    return finish(RunOutcome::Success, run::successMessage(rowCount()));
}

db::Connection* RunEngine::connect(std::unique_ptr<db::Connection>& owned) {
    const db::OpenOptions options{request_.loginTimeoutSeconds, false};
    db::Connection* conn = nullptr;
    bool kept = false;
    if (request_.session) {
        const Session::Lease lease =
            request_.session->connectionFor(request_.connectionString, options, request_.keptSessionOnly);
        conn = &lease.connection;
        kept = lease.kept;
        if (lease.lost)
            sink_.appendText(Pane::Notices, QStringLiteral("The connection to the server was lost; this run uses a new "
                                                           "one (temporary tables, settings and open transactions "
                                                           "of the old one are gone).\r\n"));
    } else {
        if (request_.keptSessionOnly) throw db::Error::usage(QStringLiteral("There is no session to end."));
        owned = db::Connection::open(request_.connectionString, options);
        conn = owned.get();
    }
    conn->setNoticeHandler([this](const QString& notice) { sink_.appendText(Pane::Notices, notice + QStringLiteral("\r\n")); });
    sink_.connected(conn->serverFamily(), conn->identifierQuote());
    {
        std::lock_guard lock(connMutex_);
        conn_ = conn;
    }
    if (!request_.database.isEmpty()) {
        // A PostgreSQL connection belongs to one database: another one means a new session.
        if (kept && conn->serverFamily() == db::ServerFamily::PostgreSQL && request_.database != conn->defaultDatabase())
            sink_.appendText(Pane::Notices,
                             QStringLiteral("Changing to database %1 opens a new PostgreSQL session: temporary "
                                            "tables, settings and open transactions of the old one are gone.\r\n")
                                 .arg(request_.database));
        conn->setDefaultDatabase(request_.database);
    }
    if (request_.session && !request_.keptSessionOnly) request_.session->applyAutoCommit(request_.autoCommit);
    return conn;
}

void RunEngine::send(db::Connection& conn, const QString& text) {
    const db::ServerFamily server = conn.serverFamily();
    const script::ScriptParameters found = script::findParameters(text, server);
    if (found.empty()) {
        auto cursor = conn.wantsStatements()
                          ? conn.executeScript(text, scriptStatements(text, script::dialectOf(server)))
                          : conn.execute(text);
        walkResults(*cursor);
        return;
    }
    const auto* values = request_.parameters ? &*request_.parameters : nullptr;
    auto bound = script::bindScript(text, found, values, server);
    if (!bound) throw Refusal{bound.error()};
    for (const script::BoundStatement& statement : bound.value()) {
        if (stop_) return;
        try {
            auto cursor = conn.execute(statement.text, statement.params);
            walkResults(*cursor);
        } catch (const db::Error&) {
            failedStatement_ = statement;
            throw;
        }
    }
}

void RunEngine::placeError(RunResult& result, db::Error error, const QString& sentText,
                           const db::Connection* conn) const {
    // A statement sent on its own counts its positions from its own start,
    // in its rewritten text: back into the script's.
    if (failedStatement_) {
        db::ErrorPosition at;
        if (error.position().offset)
            at.offset = failedStatement_->scriptOffsetOf(*error.position().offset);
        else
            at.statementOffset = failedStatement_->scriptOffset;
        error.setPosition(at);
    }
    // A system procedure goes out rewritten: its positions are not the user's.
    if (!conn || sentText != request_.text || !request_.namesErrorLine) return;
    const auto at = run::locateError(error.position(), sentText, script::dialectOf(conn->serverFamily()));
    if (!at) return;
    result.errorAt = run::shiftedPoint(*at, request_.origin);
    result.closingMessage += QStringLiteral("\r\n") + run::errorLineText(*result.errorAt);
}

void RunEngine::noteClosedResult(const db::Cursor& cursor) {
    const QString note = run::affectedMessage(std::max<qint64>(cursor.recordsAffected(), 0));
    notes_ << note;
    sink_.appendText(request_.resultsInText ? Pane::Results : Pane::Messages, note + QStringLiteral("\r\n"));
    // The text mode's running counter starts again after a statement without rows.
    if (request_.resultsInText) counter_ = 1;
}

void RunEngine::walkResults(db::Cursor& cursor) {
    for (;;) {
        if (!cursor.hasRows()) {
            noteClosedResult(cursor);
        } else if (limitHit_) {
            // Past the row limit further sets are not shown; the walk goes on so
            // later statements still run and report.
        } else {
            anyRowSet_ = true;
            if (request_.resultsInText) {
                writeTextSet(cursor, Pane::Results, counter_);
            } else if (!gridTaken_ || request_.everySetToGrid) {
                gridTaken_ = true;
                writeGridSet(cursor);
            } else {
                qint64 own = 1;
                writeTextSet(cursor, Pane::Extended, own, request_.furtherSetsToGrid);
                extended_ = true;
            }
        }
        sink_.flush();
        if (stop_) return; // no further results after a stop
        if (!cursor.nextResult()) return;
    }
}

std::shared_ptr<db::RowBlock> RunEngine::newBlock(int columns) const {
    auto block = std::make_shared<db::RowBlock>();
    block->reset(columns);
    // the next block is about as big as the last: grow once, not by doubling
    block->reserve(lastBlockBytes_ + lastBlockBytes_ / 8, lastBlockCells_);
    return block;
}

void RunEngine::holdBlock(const db::RowBlock& block) {
    lastBlockBytes_ = block.byteSize();
    lastBlockCells_ = size_t(block.rowCount()) * size_t(block.columnCount());
    held_ += qint64(block.memoryUse());
    if (!request_.memoryLimitBytes || held_ < nextMemoryCheck_ || stop_) return;
    sink_.flush();
    const MemoryAnswer answer = sink_.memoryLimitReached(held_);
    const QString size = QString::number(double(held_) / (1024.0 * 1024.0), 'f', 0);
    switch (answer) {
    case MemoryAnswer::KeepFetching: nextMemoryCheck_ = held_ + *request_.memoryLimitBytes; break;
    case MemoryAnswer::StopAndKeep:
        sink_.appendText(Pane::Messages,
                         QStringLiteral("Stopped at the memory limit: the %1 MB of rows fetched are kept.\r\n").arg(size));
        stop();
        break;
    case MemoryAnswer::Stop:
        discarded_ = true;
        sink_.appendText(Pane::Messages,
                         QStringLiteral("Stopped at the memory limit: the %1 MB of rows fetched were dropped.\r\n").arg(size));
        stop();
        break;
    }
}

void RunEngine::writeTextSet(db::Cursor& cursor, Pane pane, qint64& counter, bool alsoToGrid) {
    const auto& fields = cursor.fields();
    if (alsoToGrid) sink_.gridStarted(fields);
    const int columns = int(fields.size());
    TextWidths widths;
    // The header waits for the first rows: columns without a declared size
    // take their width from them.
    auto showHeader = [&](const db::RowBlock* firstRows) {
        widths = std::make_shared<const std::vector<int>>(firstRows ? run::columnWidths(fields, *firstRows)
                                                                    : run::columnWidths(fields));
        sink_.appendText(pane, run::headerBlock(fields, *widths));
    };
    auto closeSet = [&] {
        if (!widths) showHeader(nullptr);
        QString tail;
        if (stop_) tail += run::cancelNotice();
        tail += run::setTrailer(counter - 1);
        sink_.appendText(pane, tail);
    };
    try {
        while (!limitHit_ && !stop_) {
            auto block = newBlock(columns);
            const int n = cursor.appendRows(*block, int(std::min<qint64>(kFetchRows, rowsAllowed())));
            if (!widths) showHeader(block.get());
            if (n == 0) break;
            counter += n;
            report(n);
            const bool reachedLimit = countShown(n);
            if (reachedLimit) cursor.discardRestOfSet(); // before the rows go out: the server stops at once
            block->shrinkToFit();
            if (alsoToGrid) sink_.gridRows(block);
            sink_.textRows(pane, block, widths);
            if (reachedLimit) sink_.appendText(pane, run::rowLimitNotice(*request_.rowLimit));
            sink_.flush();
            holdBlock(*block);
        }
    } catch (const db::Error&) {
        // Every counted row is shown even when the set ends in a failure or a
        // cancel; the failure itself ends the run.
        closeSet();
        throw;
    }
    closeSet();
}

void RunEngine::writeGridSet(db::Cursor& cursor) {
    sink_.gridStarted(cursor.fields());
    const int columns = int(cursor.fields().size());
    while (!stop_ && !limitHit_) {
        auto block = newBlock(columns);
        const int got = cursor.appendRows(*block, int(std::min<qint64>(kFetchRows, rowsAllowed())));
        if (got == 0) break;
        report(got);
        gridRows_ += got;
        const bool reachedLimit = countShown(got);
        if (reachedLimit) cursor.discardRestOfSet(); // before the rows go out: the server stops at once
        block->shrinkToFit();
        sink_.gridRows(block);
        if (reachedLimit) sink_.appendText(Pane::Results, run::rowLimitNotice(*request_.rowLimit));
        sink_.flush();
        holdBlock(*block);
    }
}

bool RunEngine::countShown(qint64 rows) {
    shown_ += rows;
    if (!request_.rowLimit || shown_ < *request_.rowLimit) return false;
    limitHit_ = true; // the row that reaches the limit ends the showing
    return true;
}
