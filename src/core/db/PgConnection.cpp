#include "db/PgConnection.h"

#include "db/PgCursor.h"
#include "db/PgOptions.h"
#include "db/PgPipeline.h"
#include "db/PgTypes.h"

#include "db/ClientLibraries.h"

#include <QRegularExpression>

#include <exception>
#include <functional>

#include <thread>
#include <vector>

namespace db {
namespace {

constexpr int kServerErrorNumber = 1; // the number the ODBC driver gives server errors

void receiveNotice(void* self, const PGresult* result) {
    const QString text = QString::fromUtf8(pq().PQresultErrorMessage(result)).trimmed();
    if (!text.isEmpty())
        static_cast<PgConnection*>(self)->deliverNotice(text, pq().PQresultErrorField(result, PG_DIAG_SQLSTATE));
}

} // namespace

std::unique_ptr<PgConnection> PgConnection::open(const ConnectionString& cs, const OpenOptions& options) {
    std::unique_ptr<PgConnection> c(new PgConnection(cs, options));
    c->connect(QString());
    return c;
}

PgConnection::~PgConnection() { disconnect(); }

void PgConnection::connect(const QString& database) {
    std::vector<QByteArray> keys, values;
    auto put = [&](const char* key, const QString& value) {
        for (size_t i = 0; i < keys.size(); ++i)
            if (keys[i] == key) {
                values[i] = value.toUtf8();
                return;
            }
        keys.emplace_back(key);
        values.push_back(value.toUtf8());
    };
    put("client_encoding", QStringLiteral("UTF8"));
    if (options_.loginTimeoutSeconds > 0) put("connect_timeout", QString::number(options_.loginTimeoutSeconds));
    for (const auto& [key, value] : pg::libpqParameters(cs_, options_.readOnly)) put(key.constData(), QString::fromUtf8(value));
    if (!database.isEmpty()) put("dbname", database);
    std::vector<const char*> kw, vals;
    for (size_t i = 0; i < keys.size(); ++i) {
        kw.push_back(keys[i].constData());
        vals.push_back(values[i].constData());
    }
    kw.push_back(nullptr);
    vals.push_back(nullptr);

    PGconn* conn = pq().PQconnectdbParams(kw.data(), vals.data(), 0);
    if (pq().PQstatus(conn) != CONNECTION_OK) {
        const QString message = QString::fromUtf8(pq().PQerrorMessage(conn)).trimmed();
        pq().PQfinish(conn);
        throw Error(kServerErrorNumber,
                    scrubSecrets(QStringLiteral("Cannot connect: %1").arg(message), passwordValues(cs_.toString())),
                    QStringLiteral("08001"));
    }
    pq().PQsetNoticeReceiver(conn, receiveNotice, this);
    // the session as the ODBC driver sets it up: ISO dates, shortest exact floats
    PGresult* setup = pq().PQexec(conn, "SET DateStyle = 'ISO'; SET extra_float_digits = 2");
    pq().PQclear(setup);
    conn_ = conn;
    std::lock_guard lock(cancelKey_->mutex);
    cancelKey_->key = pq().PQgetCancel(conn);
}

void PgConnection::disconnect() {
    calls_.endOpenCall();
    {
        std::lock_guard lock(cancelKey_->mutex);
        if (cancelKey_->key) pq().PQfreeCancel(cancelKey_->key);
        cancelKey_->key = nullptr;
    }
    if (conn_) pq().PQfinish(conn_);
    conn_ = nullptr;
}

std::unique_ptr<Cursor> PgConnection::execute(const QString& sql, const Params& params) {
    if (!conn_) throw Error::usage(QStringLiteral("The connection is closed."));
    throwIfCancelPending();
    calls_.endOpenCall();
    return std::make_unique<PgCursor>(*this, sql, params);
}

std::unique_ptr<Cursor> PgConnection::executeScript(const QString& script, const std::vector<ScriptStatement>& statements) {
    if (statements.empty()) return execute(script); // nothing but comments: the server says what it makes of them
    if (!conn_) throw Error::usage(QStringLiteral("The connection is closed."));
    throwIfCancelPending();
    calls_.endOpenCall();
    return std::make_unique<PgCursor>(*this, script, statements);
}

void PgConnection::executeBatch(const std::vector<BatchStatement>& statements,
                                const std::function<bool(size_t, BatchResult&&)>& accept) {
    if (!conn_) throw Error::usage(QStringLiteral("The connection is closed."));
    if (!pg::pipelineAvailable()) return Connection::executeBatch(statements, accept);
    throwIfCancelPending();
    calls_.endOpenCall();
    pg::runPipeline(*this, statements, accept);
}

void PgConnection::deliverNotice(const QString& text, const QByteArray& sqlState) {
    constexpr char kNoActiveTransaction[] = "25P01";
    if (quietCommits_ && sqlState == kNoActiveTransaction) return;
    notify(text);
}

void PgConnection::CancelKey::send() {
    std::lock_guard lock(mutex);
    char error[256];
    if (key) pq().PQcancel(key, error, sizeof error);
}

void PgConnection::cancel() {
    calls_.requestCancel();
    std::thread([k = cancelKey_] { k->send(); }).detach();
}

void PgConnection::interrupt() {
    calls_.requestCancel();
    cancelKey_->send();
}

Error PgConnection::lastError(const QString& fallback) const {
    QString message = QString::fromUtf8(pq().PQerrorMessage(conn_)).trimmed();
    if (message.isEmpty()) message = fallback;
    return Error(kServerErrorNumber, message);
}

Error PgConnection::resultError(const pg_result* result) const {
    const QString state = QString::fromUtf8(pq().PQresultErrorField(result, PG_DIAG_SQLSTATE));
    const QString message = QString::fromUtf8(pq().PQresultErrorMessage(result)).trimmed();
    Error e(kServerErrorNumber, state.isEmpty() ? message : QStringLiteral("[%1] %2").arg(state, message), state);
    if (state == QLatin1String("57014")) e.setCancelled(true);
    return e;
}

QString PgConnection::serverVersion() const {
    const int v = pq().PQserverVersion(conn_);
    // as the ODBC driver writes it: 15.0.18 for 15.18, 9.6.24 for 9.6.24
    if (v >= 100000) return QStringLiteral("%1.0.%2").arg(v / 10000).arg(v % 10000);
    return QStringLiteral("%1.%2.%3").arg(v / 10000).arg((v / 100) % 100).arg(v % 100);
}

QString PgConnection::defaultDatabase() { return conn_ ? QString::fromUtf8(pq().PQdb(conn_)) : QString(); }

void PgConnection::setDefaultDatabase(const QString& name) {
    if (name.isEmpty() || name == defaultDatabase()) return;
    // a PostgreSQL session belongs to one database: connect anew
    disconnect();
    connect(name);
}

qint64 PgConnection::copyIn(const QString& statement, const QByteArray& data) {
    // in pieces, so that a stop gets in between them
    constexpr qsizetype kPiece = qsizetype(1) << 20;
    qsizetype at = 0;
    return copyIn(statement, [&] {
        const QByteArray piece = QByteArray::fromRawData(data.constData() + at, std::min(kPiece, data.size() - at));
        at += piece.size();
        return piece;
    });
}

qint64 PgConnection::copyIn(const QString& statement, const std::function<QByteArray()>& next) {
    if (!conn_) throw Error::usage(QStringLiteral("The connection is closed."));
    throwIfCancelPending();
    calls_.endOpenCall();
    PGresult* start = pq().PQexec(conn_, statement.toUtf8().constData());
    if (pq().PQresultStatus(start) != PGRES_COPY_IN) {
        const Error e = start ? resultError(start) : lastError(QStringLiteral("The copy could not be started."));
        pq().PQclear(start);
        throw e;
    }
    pq().PQclear(start);
    const char* stopped = nullptr;
    std::exception_ptr inputFailure;
    for (;;) {
        if (calls_.takeCancel()) {
            stopped = "Operation cancelled.";
            break;
        }
        QByteArray piece;
        try {
            piece = next();
        } catch (...) { // the copy ends before the failure goes on
            inputFailure = std::current_exception();
            stopped = "The input could not be read.";
            break;
        }
        if (piece.isEmpty()) {
            if (calls_.takeCancel()) stopped = "Operation cancelled."; // asked for while the last piece went
            break;
        }
        if (pq().PQputCopyData(conn_, piece.constData(), int(piece.size())) != 1) {
            stopped = "The rows could not be sent.";
            break;
        }
    }
    pq().PQputCopyEnd(conn_, stopped);
    std::optional<Error> failure;
    qint64 rows = -1;
    while (PGresult* r = pq().PQgetResult(conn_)) {
        if (pq().PQresultStatus(r) == PGRES_COMMAND_OK) {
            rows = QByteArray(pq().PQcmdTuples(r)).toLongLong();
        } else if (!failure) {
            failure = resultError(r);
            // "COPY t, line 3, column id: …": the third line sent
            static const QRegularExpression line(QStringLiteral("\\bline (\\d+)"));
            const auto m = line.match(QString::fromUtf8(pq().PQresultErrorField(r, PG_DIAG_CONTEXT)));
            if (m.hasMatch()) {
                ErrorPosition at;
                at.row = m.captured(1).toInt() - 1;
                failure->setPosition(at);
            }
        }
        pq().PQclear(r);
    }
    if (inputFailure) std::rethrow_exception(inputFailure);
    if (failure) throw *failure;
    if (stopped) throw Error::cancelled(QString::fromLatin1(stopped), QStringLiteral("57014"));
    return rows;
}

namespace {

class CopyLoad final : public BulkLoad {
public:
    CopyLoad(PgConnection& conn, const QString& table, const QStringList& columns)
        : conn_(conn), statement_(QStringLiteral("COPY %1 (%2) FROM STDIN").arg(table, columns.join(QStringLiteral(", ")))) {}
    void load(const RowBlock& block, int first, int count) override {
        data_.clear();
        for (int r = first; r < first + count; ++r) appendLoadText(data_, block, r);
        try {
            conn_.copyIn(statement_, data_);
        } catch (Error& e) {
            rowFromBlockStart(e, first);
            throw;
        }
    }

private:
    PgConnection& conn_;
    QString statement_;
    QByteArray data_;
};

} // namespace

std::unique_ptr<BulkLoad> PgConnection::bulkLoad(const QString& table, const QStringList& columns) {
    return std::make_unique<CopyLoad>(*this, table, columns);
}

bool PgConnection::isAlive() {
    if (!conn_ || pq().PQstatus(conn_) != CONNECTION_OK) return false;
    calls_.endOpenCall();
    // an empty query is the cheapest round trip; a dropped connection fails it
    pg_result* r = pq().PQexec(conn_, "");
    const bool answered = r && pq().PQresultStatus(r) == PGRES_EMPTY_QUERY;
    pq().PQclear(r);
    return answered && pq().PQstatus(conn_) == CONNECTION_OK;
}

std::optional<bool> PgConnection::inTransaction() {
    if (!conn_) return false;
    switch (pq().PQtransactionStatus(conn_)) {
    case PQTRANS_INTRANS:
    case PQTRANS_INERROR: // a failed transaction still waits for its ROLLBACK
    case PQTRANS_ACTIVE: return true;
    case PQTRANS_IDLE: return false;
    default: return std::nullopt;
    }
}

bool PgConnection::transactionAborted() { return conn_ && pq().PQtransactionStatus(conn_) == PQTRANS_INERROR; }

Table PgConnection::schema(Schema kind, const SchemaFilter& filter) {
    // Tables and columns of every schema but the system's; a table asked for
    // by name is the one the search path finds.
    static const QString kRelations = QStringLiteral(
        " FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace"
        " WHERE c.relkind IN ('r', 'p', 'v', 'm', 'f')"
        " AND n.nspname NOT IN ('pg_catalog', 'information_schema') AND n.nspname NOT LIKE 'pg\\_toast%'"
        " AND n.nspname NOT LIKE 'pg\\_temp%' AND ($1 = '' OR (c.relname = $1 AND pg_table_is_visible(c.oid)))");
    Table t;
    switch (kind) {
    case Schema::Catalogs:
        t = query(QStringLiteral("SELECT datname FROM pg_database WHERE datallowconn AND NOT datistemplate ORDER BY datname"));
        break;
    case Schema::Tables:
        t = query(QStringLiteral("SELECT current_database(), n.nspname, c.relname, CASE c.relkind WHEN 'v' THEN 'VIEW'"
                                 " WHEN 'm' THEN 'MATVIEW' WHEN 'f' THEN 'FOREIGN TABLE' ELSE 'TABLE' END") +
                      kRelations + QStringLiteral(" ORDER BY n.nspname, c.relname"),
                  {filter.table});
        break;
    case Schema::Procedures:
        t = query(QStringLiteral("SELECT NULL, n.nspname, p.proname, CASE p.prokind WHEN 'p' THEN '1' ELSE '2' END"
                                 " FROM pg_proc p JOIN pg_namespace n"
                                 " ON n.oid = p.pronamespace ORDER BY n.nspname, p.proname"));
        break;
    case Schema::ProcedureColumns:
        // Arguments in call order. proallargtypes (1-based) lists every
        // argument when some are OUT; otherwise proargtypes (0-based) does.
        // Modes: i in, o out, b in/out, v variadic (in), t a result column.
        t = query(QStringLiteral(
                      "SELECT NULL, n.nspname, p.proname, COALESCE(p.proargnames[i], ''),"
                      " CASE COALESCE(p.proargmodes[i], 'i') WHEN 'o' THEN '4' WHEN 'b' THEN '2' WHEN 't' THEN '3'"
                      " ELSE '1' END, format_type(COALESCE(p.proallargtypes[i], p.proargtypes[i - 1]), NULL), i"
                      " FROM pg_proc p JOIN pg_namespace n ON n.oid = p.pronamespace,"
                      " generate_series(1, COALESCE(array_length(p.proallargtypes, 1), p.pronargs)) i"
                      " WHERE ($1 = '' OR p.proname = $1) AND ($2 = '' OR n.nspname = $2)"
                      " AND n.nspname NOT IN ('pg_catalog', 'information_schema')"
                      " ORDER BY n.nspname, p.proname, i"),
                  {filter.table, filter.schema});
        break;
    case Schema::Columns: {
        const Table raw = query(
            QStringLiteral("SELECT current_database(), n.nspname, c.relname, a.attname, a.attnum,"
                           " CASE WHEN ty.typtype = 'd' THEN ty.typbasetype ELSE a.atttypid END,"
                           " CASE WHEN ty.typtype = 'd' THEN ty.typtypmod ELSE a.atttypmod END,"
                           " bt.typname, CASE WHEN a.attnotnull THEN 'NO' ELSE 'YES' END"
                           " FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid"
                           " JOIN pg_namespace n ON n.oid = c.relnamespace JOIN pg_type ty ON ty.oid = a.atttypid"
                           " JOIN pg_type bt ON bt.oid = CASE WHEN ty.typtype = 'd' THEN ty.typbasetype ELSE a.atttypid END"
                           " WHERE a.attnum > 0 AND NOT a.attisdropped AND c.relkind IN ('r', 'p', 'v', 'm', 'f')"
                           " AND n.nspname NOT IN ('pg_catalog', 'information_schema')"
                           " AND ($1 = '' OR (c.relname = $1 AND ($2 = '' AND pg_table_is_visible(c.oid) OR n.nspname = $2)))"
                           " ORDER BY n.nspname, c.relname, a.attnum"),
            {filter.table, filter.schema});
        for (const auto& row : raw.rows) {
            const auto d = pg::describe(row[5].value_or(QString()).toUInt(), row[6].value_or(QStringLiteral("-1")).toInt(), -1);
            const Field f = odbc::describedField(QString(), d);
            t.rows.push_back({row[0], row[1], row[2], row[3], row[4], QString::number(int(f.type)),
                              QString::number(pg::catalogLength(d)), row[7], row[8]});
        }
        break;
    }
    }
    t.columns = schemaColumns(kind);
    return t;
}

} // namespace db
