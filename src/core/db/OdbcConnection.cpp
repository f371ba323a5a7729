#include "db/OdbcConnection.h"

#include "db/ClientLibraries.h"
#include "db/ConnectionString.h"
#include "db/OdbcCursor.h"
#include "db/OdbcDataSources.h"
#include "db/OdbcSupport.h"
#include "db/OdbcTypes.h"
#include "db/MariaOptions.h"
#include "db/PgOptions.h"
#include "db/StatementChain.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace db {

using namespace odbc;

namespace {

QString infoText(SQLHDBC dbc, SQLUSMALLINT what) {
    SQLWCHAR buf[256] = {};
    SQLSMALLINT len = 0;
    if (!succeeded(SQLGetInfoW(dbc, what, buf, sizeof(buf), &len))) return {};
    return fromWide(buf, std::min<qsizetype>(len / qsizetype(sizeof(SQLWCHAR)), 255));
}

// Escapes the search-pattern characters of a catalogue function argument.
QString escapePattern(const QString& name, const QString& escape) {
    if (escape.isEmpty()) return name;
    QString out;
    for (QChar c : name) {
        if (c == QLatin1Char('_') || c == QLatin1Char('%') || QString(c) == escape) out += escape;
        out += c;
    }
    return out;
}

// Some drivers wait for a server that accepts the connection but never
// answers far longer than their login time-out (or forever). The attempt
// runs on a thread of its own; after the time-out and a short grace it is
// abandoned: the thread frees its handle whenever the driver returns.
constexpr SQLRETURN kGaveUp = -9999;
constexpr int kGraceSeconds = 2;

struct ConnectAttempt {
    std::mutex mutex;
    std::condition_variable cv;
    bool done = false;
    bool abandoned = false;
    SQLRETURN rc = SQL_ERROR;
};

SQLRETURN connectWithin(SQLHDBC dbc, const QString& connectionString, int timeoutSeconds) {
    if (timeoutSeconds <= 0) {
        SQLWCHAR out[1024];
        SQLSMALLINT outLen = 0;
        return SQLDriverConnectW(dbc, nullptr, wide(connectionString), SQL_NTS, out, SQLSMALLINT(std::size(out)),
                                 &outLen, SQL_DRIVER_NOPROMPT);
    }
    auto attempt = std::make_shared<ConnectAttempt>();
    std::thread([attempt, dbc, text = connectionString] {
        SQLWCHAR out[1024];
        SQLSMALLINT outLen = 0;
        const SQLRETURN rc = SQLDriverConnectW(dbc, nullptr, wide(text), SQL_NTS, out, SQLSMALLINT(std::size(out)),
                                               &outLen, SQL_DRIVER_NOPROMPT);
        std::lock_guard lock(attempt->mutex);
        attempt->rc = rc;
        attempt->done = true;
        if (attempt->abandoned) {
            if (succeeded(rc)) SQLDisconnect(dbc);
            SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        }
        attempt->cv.notify_all();
    }).detach();
    std::unique_lock lock(attempt->mutex);
    if (!attempt->cv.wait_for(lock, std::chrono::seconds(timeoutSeconds + kGraceSeconds), [&] { return attempt->done; })) {
        attempt->abandoned = true;
        return kGaveUp;
    }
    return attempt->rc;
}

} // namespace

int OdbcConnection::lastServerErrorCode() {
    if (serverFamily() != ServerFamily::MariaDB || dbc_ == SQL_NULL_HDBC) return 0;
    try {
        const Table t = query(QStringLiteral("SHOW ERRORS"));
        const int code = t.column(QStringLiteral("Code"));
        return t.rows.empty() || code < 0 ? 0 : t.text(0, QStringLiteral("Code")).toInt();
    } catch (const Error&) {
        return 0;
    }
}

QString tunedConnectionString(const QString& connectionString, int loginTimeoutSeconds) {
    ConnectionString cs(connectionString);
    bool changed = false;
    // A key the string or its data source sets stays as the user chose it.
    const QString dsn = cs.value(QStringLiteral("DSN")).value_or(QString());
    auto add = [&](const char* key, const QString& value) {
        if (!cs.has(QLatin1String(key)) && odbc::dataSourceValue(dsn, key).isEmpty()) {
            cs.set(QLatin1String(key), value);
            changed = true;
        }
    };
    if (cs.has(QStringLiteral("Backend"))) { // ours, not the driver's
        cs.remove(QStringLiteral("Backend"));
        changed = true;
    }
    const ServerFamily family = familyOfConnectionString(cs); // a DSN's driver included
    if (family == ServerFamily::MariaDB) {
        // multi-statement scripts, and affected counts of rows matched
        add("OPTION", QStringLiteral("67108866"));
    } else if (family == ServerFamily::PostgreSQL) {
        // stream results through a server cursor instead of loading them whole
        add("UseDeclareFetch", QStringLiteral("1"));
        add("Fetch", QStringLiteral("5000"));
        // no driver log files in /tmp
        add("CommLog", QStringLiteral("0"));
        add("Debug", QStringLiteral("0"));
        if (loginTimeoutSeconds > 0)
            add("pqopt", QStringLiteral("connect_timeout=%1").arg(loginTimeoutSeconds));
        // libpq's own parameters (sslrootcert, …) reach the driver only through pqopt
        const QString before = cs.toString();
        cs = pg::withLibpqKeysInPqopt(cs);
        changed = changed || cs.toString() != before;
    } else if (family == ServerFamily::SQLite) {
        add("StepAPI", QStringLiteral("1"));
    }
    return changed ? cs.toString() : connectionString;
}

std::unique_ptr<OdbcConnection> OdbcConnection::open(const QString& connectionString, const OpenOptions& options) {
    std::unique_ptr<OdbcConnection> c(new OdbcConnection);
    c->options_ = options;
    c->connect(connectionString);
    return c;
}

OdbcConnection::~OdbcConnection() { disconnect(); }

void OdbcConnection::connect(const QString& connectionString) {
    SQLHDBC dbc = SQL_NULL_HDBC;
    if (!succeeded(SQLAllocHandle(SQL_HANDLE_DBC, environment(), &dbc)))
        throw diagnostics(SQL_HANDLE_ENV, environment(), QStringLiteral("Cannot create a connection"));
    if (options_.loginTimeoutSeconds > 0)
        SQLSetConnectAttrW(dbc, SQL_ATTR_LOGIN_TIMEOUT,
                           reinterpret_cast<SQLPOINTER>(SQLULEN(options_.loginTimeoutSeconds)), 0);
    const QString tuned = tunedConnectionString(connectionString, options_.loginTimeoutSeconds);
    const SQLRETURN rc = connectWithin(dbc, tuned, options_.loginTimeoutSeconds);
    if (rc == kGaveUp) {
        // The attempt goes on alone and frees its handle when it ends.
        throw Error::usage(QStringLiteral("The server did not answer within the login time-out of %1 seconds.")
                               .arg(options_.loginTimeoutSeconds));
    }
    if (!succeeded(rc)) {
        Error e = diagnostics(SQL_HANDLE_DBC, dbc, QStringLiteral("Cannot connect"),
                              passwordValues(connectionString));
        SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        throw e;
    }
    dbc_ = dbc;
    connectionString_ = connectionString;
    dbmsName_ = infoText(dbc, SQL_DBMS_NAME);
    dbmsVersion_ = infoText(dbc, SQL_DBMS_VER);
    searchEscape_ = infoText(dbc, SQL_SEARCH_PATTERN_ESCAPE);
    identifierQuote_ = infoText(dbc, SQL_IDENTIFIER_QUOTE_CHAR).trimmed(); // " " means none
    SQLUINTEGER ext = 0;
    SQLGetInfoW(dbc, SQL_GETDATA_EXTENSIONS, &ext, sizeof(ext), nullptr);
    // MariaDB Connector/ODBC claims block SQLGetData but returns no data for
    // the second positioned row of a rowset: read its long values row by row.
    const ServerFamily family = serverFamily();
    getDataBlock_ = (ext & SQL_GD_BLOCK) && (ext & SQL_GD_BOUND) && family != ServerFamily::MariaDB;
    isPostgres_ = family == ServerFamily::PostgreSQL;
    // The PostgreSQL driver converts narrow text by the process codeset; with
    // UTF-8 that is a plain copy, cheaper than a round trip through UTF-16.
    narrowUtf8_ = isPostgres_ && processCodesetIsUtf8();
    splitScripts_ = family == ServerFamily::SQLite;
    try {
        secureSession(ConnectionString(connectionString));
    } catch (const Error&) {
        disconnect();
        throw;
    }
}

void OdbcConnection::secureSession(const ConnectionString& cs) {
    const ServerFamily family = serverFamily();
    // The MariaDB driver, like Connector/C beneath it, goes on unencrypted
    // with FORCETLS=1 when the server has no TLS (it refuses only when it
    // verifies the certificate): ask the server.
    if (family == ServerFamily::MariaDB && maria::tlsOf(cs).required()) {
        const Table t = query(QStringLiteral("SHOW SESSION STATUS LIKE 'Ssl_cipher'"));
        if (t.rows.empty() || t.rows[0].size() < 2 || t.rows[0][1].value_or(QString()).isEmpty())
            throw Error(2026, QStringLiteral("TLS was required (FORCETLS=1) but the server does not offer it; the "
                                             "connection was closed unencrypted, before any use."),
                        QStringLiteral("08004"));
    }
    if (!options_.readOnly) return;
    // The server's own read-only mode, so that a write is refused by it.
    switch (family) {
    case ServerFamily::PostgreSQL: exec(QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY")); break;
    case ServerFamily::MariaDB: exec(QStringLiteral("SET SESSION TRANSACTION READ ONLY")); break;
    case ServerFamily::SQLite: exec(QStringLiteral("PRAGMA query_only = ON")); break;
    default:
        throw Error::usage(QStringLiteral("ReadOnly=1 is offered for PostgreSQL, MariaDB/MySQL and SQLite; this "
                                          "connection reaches %1, which the editor cannot make read-only.")
                               .arg(providerName().isEmpty() ? QStringLiteral("another server") : providerName()));
    }
}

void OdbcConnection::setAutoCommit(bool on) {
    if (on == autoCommit_ || dbc_ == SQL_NULL_HDBC) return;
    const SQLRETURN rc = SQLSetConnectAttrW(dbc_, SQL_ATTR_AUTOCOMMIT,
                                            reinterpret_cast<SQLPOINTER>(SQLULEN(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF)), 0);
    if (!succeeded(rc)) throw diagnostics(SQL_HANDLE_DBC, dbc_, QStringLiteral("Cannot change auto-commit"));
    autoCommit_ = on;
}

std::optional<bool> OdbcConnection::inTransaction() {
    if (autoCommit_) return std::nullopt;
    return true;
}

void OdbcConnection::disconnect() {
    if (dbc_ == SQL_NULL_HDBC) return;
    SQLDisconnect(dbc_);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
    dbc_ = SQL_NULL_HDBC;
}

std::unique_ptr<Cursor> OdbcConnection::execute(const QString& sql, const Params& params) {
    if (dbc_ == SQL_NULL_HDBC) throw Error::usage(QStringLiteral("The connection is closed."));
    return std::make_unique<OdbcCursor>(*this, sql, params);
}

QString OdbcConnection::runRefusal() const {
    if (serverFamily() != ServerFamily::MariaDB) return {};
    try {
        my(); // without the native client the driver is the only way: it is used as it is
    } catch (const Error&) {
        return {};
    }
    return QStringLiteral("Nothing was run: MariaDB's ODBC driver (Backend=ODBC) reads every row of a result into "
                          "memory before showing the first, so a large result takes minutes and gigabytes whatever "
                          "the row limit. Remove Backend=ODBC from the connection string: the native MariaDB client "
                          "streams the rows.");
}

std::unique_ptr<Cursor> OdbcConnection::executeScript(const QString& script,
                                                      const std::vector<ScriptStatement>& statements) {
    // The PostgreSQL driver sends a script as one call, which the server runs
    // as one transaction: one statement at a time instead.
    if (!isPostgres_ || statements.empty()) return execute(script);
    return std::make_unique<StatementChain>(*this, script, statements);
}

void OdbcConnection::registerStatement(SQLHSTMT stmt) {
    std::lock_guard lock(activeMutex_);
    active_ = stmt;
}

void OdbcConnection::unregisterStatement(SQLHSTMT stmt) {
    std::lock_guard lock(activeMutex_);
    if (active_ == stmt) active_ = SQL_NULL_HSTMT;
}

void OdbcConnection::cancel() {
    std::lock_guard lock(activeMutex_);
    calls_.requestCancel();
    if (active_ != SQL_NULL_HSTMT) SQLCancel(active_);
}

QString OdbcConnection::defaultDatabase() {
    SQLWCHAR buf[512] = {};
    SQLINTEGER len = 0;
    if (!succeeded(SQLGetConnectAttrW(dbc_, SQL_ATTR_CURRENT_CATALOG, buf, sizeof(buf) - sizeof(SQLWCHAR), &len)))
        return {};
    return fromWide(buf, std::min<qsizetype>(len / qsizetype(sizeof(SQLWCHAR)), 511));
}

void OdbcConnection::setDefaultDatabase(const QString& name) {
    if (name.isEmpty()) return;
    if (isPostgres_) {
        // The driver accepts the attribute but ignores it: reconnect instead.
        if (name == defaultDatabase()) return;
        ConnectionString cs(connectionString_);
        cs.set(QStringLiteral("Database"), name);
        disconnect();
        connect(cs.toString());
        return;
    }
    QString n = name;
    check(SQLSetConnectAttrW(dbc_, SQL_ATTR_CURRENT_CATALOG, wide(n), SQL_NTS), SQL_HANDLE_DBC, dbc_,
          "Cannot change the database");
}

Table OdbcConnection::catalogCall(const std::function<SQLRETURN(SQLHSTMT)>& call, const QStringList& names) {
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    check(SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &stmt), SQL_HANDLE_DBC, dbc_, "Cannot create a statement");
    const SQLRETURN rc = call(stmt);
    if (!succeeded(rc) && rc != SQL_NO_DATA) {
        Error e = diagnostics(SQL_HANDLE_STMT, stmt);
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        throw e;
    }
    OdbcCursor cursor(*this, stmt);
    Table t = readTable(cursor);
    // Catalogue results use the ODBC column names; callers read the names
    // given here (the first names.size() columns, in order).
    for (int i = 0; i < names.size() && i < t.columns.size(); ++i) t.columns[i] = names[i];
    return t;
}

bool OdbcConnection::isAlive() {
    SQLUINTEGER dead = SQL_CD_FALSE;
    const SQLRETURN rc = SQLGetConnectAttr(dbc_, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr);
    return !SQL_SUCCEEDED(rc) || dead != SQL_CD_TRUE; // a driver that cannot tell is trusted
}

Table OdbcConnection::schema(Schema kind, const SchemaFilter& filter) {
    // PostgreSQL only knows its current database; other drivers take the catalogue.
    QString catalog = isPostgres_ ? QString() : filter.catalog;
    QString table = escapePattern(filter.table, searchEscape_);
    QString schemaName = escapePattern(filter.schema, searchEscape_);
    auto arg = [](QString& s) { return s.isEmpty() ? nullptr : wide(s); };
    auto len = [](const QString& s) { return s.isEmpty() ? SQLSMALLINT(0) : SQLSMALLINT(SQL_NTS); };
    auto at = [](const std::vector<Cell>& row, size_t i) { return i < row.size() ? row[i] : Cell(); };

    switch (kind) {
    case Schema::Catalogs: {
        if (isPostgres_) {
            Table t = query(QStringLiteral("SELECT datname FROM pg_database WHERE datallowconn AND NOT datistemplate"
                                           " ORDER BY datname"));
            t.columns = schemaColumns(kind);
            return t;
        }
        QString all = QStringLiteral(SQL_ALL_CATALOGS), empty;
        Table t = catalogCall(
            [&](SQLHSTMT s) { return SQLTablesW(s, wide(all), SQL_NTS, wide(empty), 0, wide(empty), 0, nullptr, 0); },
            schemaColumns(kind));
        // keep only the catalogue column, and only named catalogues
        Table out;
        out.columns = schemaColumns(kind);
        for (auto& row : t.rows)
            if (!row.empty() && row[0]) out.rows.push_back({row[0]});
        return out;
    }
    case Schema::Tables:
        return catalogCall(
            [&](SQLHSTMT s) {
                return SQLTablesW(s, arg(catalog), len(catalog), arg(schemaName), len(schemaName), arg(table),
                                  len(table), nullptr, 0);
            },
            schemaColumns(kind));
    case Schema::Procedures: {
        // ODBC result columns: 1 cat, 2 schema, 3 name, 4-6 counts, 7 remarks, 8 type
        const Table raw = catalogCall(
            [&](SQLHSTMT s) {
                return SQLProceduresW(s, arg(catalog), len(catalog), arg(schemaName), len(schemaName), nullptr, 0);
            },
            {});
        Table out;
        out.columns = schemaColumns(kind);
        for (const auto& row : raw.rows) out.rows.push_back({at(row, 0), at(row, 1), at(row, 2), at(row, 7)});
        return out;
    }
    case Schema::ProcedureColumns: {
        // ODBC result columns: 1 cat, 2 schema, 3 procedure, 4 column, 5 column type,
        // 6 data type, 7 type name, ..., 18 ordinal position
        const Table raw = catalogCall(
            [&](SQLHSTMT s) {
                return SQLProcedureColumnsW(s, arg(catalog), len(catalog), arg(schemaName), len(schemaName),
                                            arg(table), len(table), nullptr, 0);
            },
            {});
        Table out;
        out.columns = schemaColumns(kind);
        for (const auto& row : raw.rows)
            out.rows.push_back({at(row, 0), at(row, 1), at(row, 2), at(row, 3), at(row, 4), at(row, 6), at(row, 17)});
        return out;
    }
    case Schema::Columns: {
        const Table raw = catalogCall(
            [&](SQLHSTMT s) {
                return SQLColumnsW(s, arg(catalog), len(catalog), arg(schemaName), len(schemaName), arg(table),
                                   len(table), nullptr, 0);
            },
            {});
        // Reshape to the column listing every backend offers.
        Table out;
        out.columns = schemaColumns(kind);
        for (const auto& row : raw.rows) {
            // ODBC result columns: 1 cat, 2 schema, 3 table, 4 column, 5 data type,
            // 6 type name, 7 column size, 8 buffer length, 17 ordinal, 18 nullable
            const int sqlType = at(row, 4).value_or(QStringLiteral("12")).toInt();
            const bool isUnsigned = at(row, 5).value_or(QString()).contains(QLatin1String("unsigned"),
                                                                             Qt::CaseInsensitive);
            const FieldType type = fieldType(SQLSMALLINT(sqlType), isUnsigned);
            Cell size = isCharacterType(SQLSMALLINT(sqlType)) || isBinaryType(SQLSMALLINT(sqlType)) ? at(row, 6)
                                                                                                   : at(row, 7);
            out.rows.push_back({at(row, 0), at(row, 1), at(row, 2), at(row, 3), at(row, 16), QString::number(int(type)),
                                size, at(row, 5), at(row, 17)});
        }
        return out;
    }
    }
    return {};
}

} // namespace db
