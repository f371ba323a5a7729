#include "db/PgPipeline.h"

#include "db/ClientLibraries.h"
#include "db/PgConnection.h"
#include "db/PgParams.h"

namespace db::pg {
namespace {

Error atStatement(Error e, size_t index) {
    ErrorPosition at = e.position();
    at.statementIndex = int(index);
    e.setPosition(std::move(at));
    return e;
}

// Appends a result's rows to t as the server's text, as readTable gives them.
void appendRows(Table& t, const PGresult* r) {
    const LibPq& lib = pq();
    const int columns = lib.PQnfields(r), rows = lib.PQntuples(r);
    if (t.columns.isEmpty())
        for (int c = 0; c < columns; ++c) t.columns << QString::fromUtf8(lib.PQfname(r, c));
    for (int row = 0; row < rows; ++row) {
        std::vector<Cell> cells;
        cells.reserve(size_t(columns));
        for (int c = 0; c < columns; ++c)
            cells.push_back(lib.PQgetisnull(r, row, c) ? Cell()
                                                       : Cell(QString::fromUtf8(lib.PQgetvalue(r, row, c), lib.PQgetlength(r, row, c))));
        t.rows.push_back(std::move(cells));
    }
}

// One pipeline from entering the mode to leaving it; the destructor reads
// whatever the server still owes, so the connection is left ready for the
// next call whichever way the batch ended.
class Pipeline {
public:
    explicit Pipeline(PgConnection& conn) : conn_(conn), pg_(conn.handle()) {
        if (!pq().PQenterPipelineMode(pg_)) throw conn_.lastError(QStringLiteral("The statements could not be sent."));
    }
    ~Pipeline() {
        drain();
        pq().PQexitPipelineMode(pg_);
    }

    // Sends statements [first, last) and a sync point after them. A text
    // like the one before it runs as the unnamed prepared statement already
    // parsed (and, after a few runs, planned) for it, as the server does
    // for a script's repeated statements only at the cost of parsing each.
    void send(const std::vector<BatchStatement>& statements, size_t first, size_t last) {
        prepared_.assign(last - first, false);
        for (size_t i = first; i < last; ++i) {
            const BoundStatement bound(statements[i].sql, statements[i].params);
            const bool again = bound.text == lastText_;
            if (!again) {
                lastText_ = bound.text;
                prepared_[i - first] = true;
            }
            const bool sent =
                (again || pq().PQsendPrepare(pg_, "", bound.text.constData(), bound.count(), nullptr)) &&
                pq().PQsendQueryPrepared(pg_, "", bound.count(), bound.values(), nullptr, nullptr, 0);
            if (!sent) {
                Error e = atStatement(conn_.lastError(QStringLiteral("The statement could not be sent.")), i);
                sync(); // what was sent gets its answers, so drain() can read them
                throw e;
            }
        }
        sync();
        first_ = first;
    }

    // The result of the next statement: its count and rows, or its failure.
    // Rows may come one result each (single-row mode, should libpq still
    // have it set from the call before) or all in one.
    BatchResult read(size_t index) {
        BatchResult out;
        std::optional<Error> failure;
        if (prepared_[index - first_]) // the preparation's own answer
            while (PGresult* r = pq().PQgetResult(pg_)) {
                if (!failure && pq().PQresultStatus(r) != PGRES_COMMAND_OK) failure = atStatement(conn_.resultError(r), index);
                pq().PQclear(r);
            }
        bool answered = false;
        while (PGresult* r = pq().PQgetResult(pg_)) {
            answered = true;
            switch (pq().PQresultStatus(r)) {
            case PGRES_COMMAND_OK: {
                const char* count = pq().PQcmdTuples(r);
                out.affected = count && *count ? QByteArray(count).toLongLong() : -1;
                break;
            }
            case PGRES_SINGLE_TUPLE:
            case PGRES_TUPLES_OK:
                appendRows(out.rows, r);
                out.affected = qint64(out.rows.rows.size());
                break;
            default:
                if (!failure) failure = atStatement(conn_.resultError(r), index);
            }
            pq().PQclear(r);
        }
        if (!answered) failure = atStatement(conn_.lastError(QStringLiteral("The server sent no answer.")), index);
        if (failure) {
            conn_.clearPendingCancel();
            throw *failure;
        }
        return out;
    }

    // Reads the sync point that ends a group whose statements were all read.
    void endOfGroup() {
        if (PGresult* r = pq().PQgetResult(pg_)) {
            if (pq().PQresultStatus(r) == PGRES_PIPELINE_SYNC) --syncsOwed_;
            pq().PQclear(r);
        }
    }

private:
    void sync() {
        if (pq().PQpipelineSync(pg_)) ++syncsOwed_;
    }
    // Reads every result still owed, through the last sync point.
    void drain() {
        int nullsInARow = 0;
        while (syncsOwed_ > 0 && nullsInARow < 2 && pq().PQstatus(pg_) == CONNECTION_OK) {
            PGresult* r = pq().PQgetResult(pg_);
            if (!r) {
                ++nullsInARow;
                continue;
            }
            nullsInARow = 0;
            if (pq().PQresultStatus(r) == PGRES_PIPELINE_SYNC) --syncsOwed_;
            pq().PQclear(r);
        }
    }

    PgConnection& conn_;
    pg_conn* pg_;
    int syncsOwed_ = 0;
    QByteArray lastText_;         // of the unnamed prepared statement
    std::vector<bool> prepared_;  // per statement of the group: prepared before it ran
    size_t first_ = 0;            // the group's first statement
};

} // namespace

bool pipelineAvailable() { return pq().PQenterPipelineMode && pq().PQexitPipelineMode && pq().PQpipelineSync; }

void runPipeline(PgConnection& conn, const std::vector<BatchStatement>& statements,
                 const std::function<bool(size_t, BatchResult&&)>& accept) {
    auto stopped = [&](size_t index) {
        if (!conn.calls().takeCancel()) return;
        throw atStatement(Error::cancelled(QStringLiteral("Operation cancelled."), QStringLiteral("57014")), index);
    };
    if (statements.empty()) return;
    Pipeline pipeline(conn);
    for (size_t first = 0; first < statements.size(); first += kPipelineGroup) {
        stopped(first);
        const size_t last = std::min(statements.size(), first + kPipelineGroup);
        pipeline.send(statements, first, last);
        for (size_t i = first; i < last; ++i)
            if (!accept(i, pipeline.read(i))) return;
        pipeline.endOfGroup();
    }
    stopped(statements.size() - 1);
}

} // namespace db::pg
