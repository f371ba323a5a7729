#include "db/PgCursor.h"

#include "db/PgConnection.h"

#include "db/ClientLibraries.h"

namespace db {
namespace {

// "?" placeholders outside quotes and comments as PostgreSQL's $1, $2, ...
QString numberedPlaceholders(const QString& sql) {
    QString out;
    out.reserve(sql.size() + 8);
    int n = 0;
    QChar quote;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char('?')) {
            out += QLatin1Char('$') + QString::number(++n);
            continue;
        }
        out += c;
    }
    return out;
}

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
    PGresult* first = pq().PQgetResult(pg_);
    if (!first) {
        callDone_ = true;
        recordsAffected_ = 0; // nothing but blanks and comments
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
        std::vector<QByteArray> values(params.size());
        std::vector<const char*> pointers(params.size(), nullptr);
        for (size_t i = 0; i < params.size(); ++i) {
            if (params[i].isNull()) continue;
            if (params[i].typeId() == QMetaType::QByteArray) // bytes in bytea's hex input form
                values[i] = "\\x" + params[i].toByteArray().toHex();
            else
                values[i] = params[i].typeId() == QMetaType::Bool ? QByteArray(params[i].toBool() ? "true" : "false")
                                                                  : params[i].toString().toUtf8();
            pointers[i] = values[i].constData();
        }
        const QString text = sql.contains(QLatin1String("$1")) ? sql : numberedPlaceholders(sql);
        sent = pq().PQsendQueryParams(pg_, text.toUtf8().constData(), int(params.size()), nullptr, pointers.data(), nullptr,
                                 nullptr, 0);
    }
    if (!sent) {
        callDone_ = true;
        conn_.calls().release(this);
        throw conn_.lastError(QStringLiteral("The statement could not be sent."));
    }
    pq().PQsetSingleRowMode(pg_);
}

void PgCursor::begin(PGresult* result) {
    fields_.clear();
    kinds_.clear();
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
                while (int(readAhead_.size()) < pg::kFirstFetchRows)
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
            kinds_.push_back(pg::valueKind(type));
        }
        asSent_ = std::all_of(kinds_.begin(), kinds_.end(), [](pg::ValueKind k) { return k == pg::ValueKind::AsSent; });
        if (!rows) pq().PQclear(result);
        return;
    }
    case PGRES_COMMAND_OK:
    case PGRES_EMPTY_QUERY: {
        const char* count = pq().PQcmdTuples(result);
        recordsAffected_ = count && *count ? QByteArray(count).toLongLong() : -1;
        pq().PQclear(result);
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
    if (!r) {
        setDone_ = callDone_ = true;
        return nullptr;
    }
    switch (pq().PQresultStatus(r)) {
    case PGRES_SINGLE_TUPLE: return r;
    case PGRES_TUPLES_OK:
        pq().PQclear(r);
        setDone_ = true;
        return nullptr;
    default: setDone_ = true; fail(r);
    }
}

void PgCursor::copyRow(const PGresult* row, RowBlock& block) const {
    const int n = int(kinds_.size());
    for (int c = 0; c < n; ++c) {
        if (pq().PQgetisnull(row, 0, c)) {
            block.appendNull();
        } else if (asSent_) {
            block.appendCell(pq().PQgetvalue(row, 0, c), size_t(pq().PQgetlength(row, 0, c)));
        } else {
            pg::appendValue(block, kinds_[size_t(c)],
                            std::string_view(pq().PQgetvalue(row, 0, c), size_t(pq().PQgetlength(row, 0, c))));
        }
    }
}

int PgCursor::appendRows(RowBlock& block, int maxRows) {
    if (!hasRows()) throw Error::closedResult();
    conn_.throwIfCancelPending();
    int rows = 0;
    while (rows < maxRows && block.byteSize() < RowBlock::kFullBytes) {
        PGresult* r = nullptr;
        if (!readAhead_.empty()) {
            r = readAhead_.front();
            readAhead_.pop_front();
        } else if (!(r = readRow())) {
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
    if (callDone_) return false;
    PGresult* next = pq().PQgetResult(pg_);
    if (!next) {
        callDone_ = true;
        return false;
    }
    ++statement_;
    begin(next);
    return true;
}

void PgCursor::finishCall() {
    if (!callDone_)
        while (PGresult* r = pq().PQgetResult(pg_)) pq().PQclear(r);
    callDone_ = setDone_ = true;
}

void PgCursor::fail(PGresult* result) {
    Error e = conn_.resultError(result);
    ErrorPosition at;
    at.statementIndex = statement_;
    const QByteArray position = pq().PQresultErrorField(result, PG_DIAG_STATEMENT_POSITION);
    if (bool ok = false; !text_.isEmpty() && position.toLongLong(&ok) > 0 && ok)
        at.offset = utf16Offset(text_, position.toLongLong() - 1);
    e.setPosition(std::move(at));
    pq().PQclear(result);
    finishCall();
    conn_.calls().release(this);
    conn_.clearPendingCancel();
    throw e;
}

} // namespace db
