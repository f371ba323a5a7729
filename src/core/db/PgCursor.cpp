#include "db/PgCursor.h"

#include "db/PgConnection.h"

#include "db/ClientLibraries.h"
#include "db/PgParams.h"

#include <poll.h>

namespace db {
namespace {

// The server counts an error's position in characters from 1; a QString
// counts UTF-16 units, two for a character outside the BMP.
qsizetype utf16Offset(const QString& text, qsizetype characters) {
    qsizetype i = 0;
    for (; i < text.size() && characters > 0; --characters)
        i += text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
    return i;
}

} // namespace

PgCursor::PgCursor(PgConnection& conn, const QString& sql, const Params& params) : conn_(conn), pg_(conn.handle()) {
    conn_.calls().open(this);
    send(sql, params);
    PGresult* first = nextStatementResult();
    if (!first) {
        recordsAffected_ = 0; // nothing but blanks and comments
        return;
    }
    begin(first);
}

PgCursor::PgCursor(PgConnection& conn, const QString& script, std::vector<ScriptStatement> statements)
    : conn_(conn), pg_(conn.handle()), script_(true), scriptText_(script), statements_(std::move(statements)) {
    conn_.calls().open(this);
    sendNextBatch();
    PGresult* first = nextStatementResult();
    if (!first) {
        recordsAffected_ = 0;
        return;
    }
    begin(first);
}

PgCursor::~PgCursor() {
    conn_.calls().release(this);
    abandon();
}

void PgCursor::abandon() {
    for (PGresult* r : readAhead_) pq().PQclear(r);
    readAhead_.clear();
    if (callDone_) return;
    // Rows still streaming: the server stops sending them instead of the
    // connection reading them all only to drop them.
    if (!setDone_) conn_.interrupt();
    finishCall();
    conn_.clearPendingCancel();
}

void PgCursor::send(const QString& sql, const Params& params) {
    int sent;
    if (params.empty()) {
        text_ = sql;
        sent = pq().PQsendQuery(pg_, sql.toUtf8().constData());
    } else {
        const pg::BoundStatement bound(sql, params);
        sent = pq().PQsendQueryParams(pg_, bound.text.constData(), bound.count(), nullptr, bound.values(), nullptr,
                                      nullptr, 0);
    }
    if (!sent) {
        callDone_ = true;
        conn_.setQuietCommits(false);
        conn_.calls().release(this);
        throw conn_.lastError(QStringLiteral("The statement could not be sent."));
    }
    pq().PQsetSingleRowMode(pg_);
}

bool PgCursor::sendNextBatch() {
    if (nextStatement_ >= statements_.size()) return false;
    if (ownCancelCalls_ > 0) --ownCancelCalls_;
    const bool inTransaction = pq().PQtransactionStatus(pg_) != PQTRANS_IDLE;
    batch_ = pg::nextBatch(scriptText_, statements_, nextStatement_, inTransaction);
    nextStatement_ = batch_.first + batch_.count;
    inBatch_ = 0;
    awaitingCommit_ = false;
    // the server warns that each COMMIT of ours finds no transaction it opened
    conn_.setQuietCommits(batch_.commits);
    send(batch_.text, {});
    return true;
}

PGresult* PgCursor::nextStatementResult() {
    for (;;) {
        if (callDone_) return nullptr;
        PGresult* r = pq().PQgetResult(pg_);
        if (!r) {
            if (script_ && sendNextBatch()) continue;
            callDone_ = true;
            conn_.setQuietCommits(false);
            return nullptr;
        }
        const ExecStatusType status = pq().PQresultStatus(r);
        if (awaitingCommit_) {
            awaitingCommit_ = false;
            if (status == PGRES_COMMAND_OK) {
                pq().PQclear(r);
                ++inBatch_;
                continue;
            }
            // a COMMIT that failed (a deferred check) is its statement's failure
        }
        if (status == PGRES_FATAL_ERROR && takeOwnCancel(r)) continue;
        return r;
    }
}

void PgCursor::statementDone() {
    if (!script_) return;
    if (batch_.commits)
        awaitingCommit_ = true;
    else
        ++inBatch_;
}

size_t PgCursor::currentStatement() const { return batch_.first + std::min(inBatch_, batch_.count - 1); }

void PgCursor::discardRestOfSet() {
    // Outside a script the statements are unknown: nextResult reads the rest.
    // A cancel would abort a transaction the user opened, and undo what a
    // statement that changes data did: those are read to their end too.
    if (!script_ || setDone_ || batch_.inTransaction || !statements_[currentStatement()].onlyReads) return;
    cancelled_ = currentStatement();
    ownCancelCalls_ = 2; // this call, and the next should the cancel come late
    conn_.sendCancel();
}

bool PgCursor::takeOwnCancel(PGresult* result) {
    if (!script_ || ownCancelCalls_ == 0 || conn_.calls().cancelRequested()) return false;
    if (QByteArray(pq().PQresultErrorField(result, PG_DIAG_SQLSTATE)) != "57014") return false;
    pq().PQclear(result);
    // The statement the cancel met, and every one after it in this call,
    // never took effect: they go again, but for the query cut short.
    const size_t at = currentStatement();
    nextStatement_ = cancelled_ && *cancelled_ == at ? at + 1 : at;
    cancelled_.reset();
    ownCancelCalls_ = 0;
    awaitingCommit_ = false;
    setDone_ = true;
    return true;
}

void PgCursor::begin(PGresult* result) {
    fields_.clear();
    recordsAffected_ = -1;
    setDone_ = true;
    switch (pq().PQresultStatus(result)) {
    case PGRES_SINGLE_TUPLE:
    case PGRES_TUPLES_OK: {
        const bool rows = pq().PQresultStatus(result) == PGRES_SINGLE_TUPLE;
        const int n = pq().PQnfields(result);
        bool readAhead = false;
        // The driver sizes such columns by their values only when they come
        // from no table; a table's column it sizes by its type alone.
        auto byValues = [&](int c) {
            return pq().PQftable(result, c) == 0 && pg::sizedByValues(pq().PQftype(result, c), pq().PQfmod(result, c));
        };
        for (int c = 0; c < n; ++c) readAhead = readAhead || byValues(c);
        std::vector<int> longest(size_t(n), 0);
        auto measure = [&](const PGresult* row) {
            for (int c = 0; c < n; ++c) longest[size_t(c)] = std::max(longest[size_t(c)], pq().PQgetlength(row, 0, c));
        };
        if (rows) {
            setDone_ = false;
            readAhead_.push_back(result);
            if (readAhead) {
                measure(result);
                // a slow producer's first rows are not held back for the rest of the first fetch
                const auto deadline = Clock::now() + kFirstRowsWait;
                while (int(readAhead_.size()) < pg::kFirstFetchRows && !setDone_ && readyBy(deadline))
                    if (PGresult* r = readRow()) {
                        measure(r);
                        readAhead_.push_back(r);
                    } else {
                        break;
                    }
            }
        }
        for (int c = 0; c < n; ++c) {
            const pg::Oid type = pq().PQftype(result, c);
            odbc::ColumnDescription d = pg::describe(type, pq().PQfmod(result, c), byValues(c) ? longest[size_t(c)] : -1);
            // the driver gives a table's columns the octet length of a bound value
            if (pq().PQftable(result, c) != 0) d.octetLength = pg::catalogLength(d);
            fields_.push_back(odbc::describedField(QString::fromUtf8(pq().PQfname(result, c)), d));
            if (const pg::Oid table = pq().PQftable(result, c)) {
                FieldOrigin origin; // named from the catalogue by whoever needs the names
                origin.tableId = table;
                origin.columnNumber = pq().PQftablecol(result, c);
                origin.typeId = type;
                fields_.back().origin = origin;
            }
        }
        if (!rows) {
            pq().PQclear(result);
            statementDone();
        }
        return;
    }
    case PGRES_COMMAND_OK:
    case PGRES_EMPTY_QUERY: {
        const char* count = pq().PQcmdTuples(result);
        recordsAffected_ = count && *count ? QByteArray(count).toLongLong() : -1;
        pq().PQclear(result);
        statementDone();
        return;
    }
    case PGRES_COPY_OUT: {
        // not a result this program shows: read it to its end
        char* data = nullptr;
        while (pq().PQgetCopyData(pg_, &data, 0) > 0) pq().PQfreemem(data);
        pq().PQclear(result);
        recordsAffected_ = -1;
        return;
    }
    case PGRES_COPY_IN:
        pq().PQputCopyEnd(pg_, "COPY FROM STDIN is not supported here");
        pq().PQclear(result);
        if (PGresult* r = pq().PQgetResult(pg_)) fail(r);
        return;
    default: fail(result);
    }
}

PGresult* PgCursor::readRow() {
    if (setDone_) return nullptr;
    PGresult* r = pq().PQgetResult(pg_);
    if (!r) { // the call ended (nextStatementResult sees it too)
        setDone_ = true;
        return nullptr;
    }
    switch (pq().PQresultStatus(r)) {
    case PGRES_SINGLE_TUPLE: return r;
    case PGRES_TUPLES_OK:
        pq().PQclear(r);
        setDone_ = true;
        statementDone();
        return nullptr;
    default:
        setDone_ = true;
        if (takeOwnCancel(r)) return nullptr;
        fail(r);
    }
}

void PgCursor::copyRow(const PGresult* row, RowBlock& block) const {
    const LibPq& lib = pq(); // once per row: a function-local static is guarded on every call
    const int n = int(fields_.size());
    for (int c = 0; c < n; ++c) {
        if (lib.PQgetisnull(row, 0, c))
            block.appendNull();
        else // the server's text, as psql shows it
            block.appendCell(lib.PQgetvalue(row, 0, c), size_t(lib.PQgetlength(row, 0, c)));
    }
}

bool PgCursor::readyBy(Clock::time_point deadline) {
    if (!pq().PQisBusy(pg_)) return true; // a whole row is in the buffer already: no system call
    for (;;) {
        // a failed read is left for PQgetResult to report
        if (!pq().PQconsumeInput(pg_) || !pq().PQisBusy(pg_)) return true;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        pollfd wait{pq().PQsocket(pg_), POLLIN, 0};
        ::poll(&wait, 1, int(std::min<long long>(left, 1000)));
    }
}

int PgCursor::appendRows(RowBlock& block, int maxRows) {
    if (!hasRows()) throw Error::closedResult();
    conn_.throwIfCancelPending();
    int rows = 0;
    // Rows in hand go out once a block has waited this long for more.
    const auto deadline = Clock::now() + kFirstRowsWait;
    while (rows < maxRows && block.byteSize() < RowBlock::kFullBytes) {
        PGresult* r = nullptr;
        if (!readAhead_.empty()) {
            r = readAhead_.front();
            readAhead_.pop_front();
        } else if ((rows > 0 && !setDone_ && !readyBy(deadline)) || !(r = readRow())) {
            break;
        }
        copyRow(r, block);
        pq().PQclear(r);
        ++rows;
    }
    return rows;
}

bool PgCursor::nextResult() {
    conn_.throwIfCancelPending();
    for (PGresult* r : readAhead_) pq().PQclear(r);
    readAhead_.clear();
    while (PGresult* r = readRow()) pq().PQclear(r); // the rest of the current set goes unread
    fields_.clear();
    PGresult* next = nextStatementResult();
    if (!next) return false;
    ++statement_;
    begin(next);
    return true;
}

void PgCursor::finishCall() {
    if (!callDone_)
        while (PGresult* r = pq().PQgetResult(pg_)) pq().PQclear(r);
    callDone_ = setDone_ = true;
    conn_.setQuietCommits(false);
}

void PgCursor::fail(PGresult* result) {
    Error e = conn_.resultError(result);
    ErrorPosition at;
    const QByteArray position = pq().PQresultErrorField(result, PG_DIAG_STATEMENT_POSITION);
    bool ok = false;
    const qlonglong characters = position.toLongLong(&ok);
    ok = ok && characters > 0;
    if (script_) {
        const size_t s = currentStatement();
        at.statementOffset = statements_[s].start;
        if (const qsizetype o = ok ? batch_.scriptOffset(statements_, utf16Offset(batch_.text, characters - 1)) : -1; o >= 0)
            at.offset = o;
    } else {
        at.statementIndex = statement_;
        if (!text_.isEmpty() && ok) at.offset = utf16Offset(text_, characters - 1);
    }
    e.setPosition(std::move(at));
    pq().PQclear(result);
    finishCall();
    conn_.calls().release(this);
    conn_.clearPendingCancel();
    throw e;
}

} // namespace db
