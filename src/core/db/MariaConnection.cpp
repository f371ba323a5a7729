#include "db/MariaConnection.h"

#include "db/MariaCursor.h"
#include "db/MariaStatement.h"
#include "db/MariaTypes.h"
#include "db/OptionFiles_p.h"

#include "db/ClientLibraries.h"

#include <QRegularExpression>

#include <cstring>
#include <mutex>
#include <thread>

namespace db {
namespace {

constexpr unsigned kInterrupted = 1317; // ER_QUERY_INTERRUPTED
constexpr unsigned kTlsUnavailable = 2026; // CR_SSL_CONNECTION_ERROR, as Connector/C reports a missing TLS
constexpr unsigned long kOdbcFoundRows = 2;              // the ODBC driver's OPTION bits
constexpr unsigned long kOdbcMultiStatements = 67108864;

// A connection to the endpoint, or nullptr with the reason in error.
MYSQL* connectTo(const MariaConnection::Endpoint& e, QString* error, unsigned* errorNumber, QString* state) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { my().mysql_server_init(0, nullptr, nullptr); });
    MYSQL* m = my().mysql_init(nullptr);
    my().mysql_optionsv(m, MYSQL_SET_CHARSET_NAME, "utf8mb4");
    const unsigned timeout = unsigned(std::max(1, e.timeoutSeconds));
    my().mysql_optionsv(m, MYSQL_OPT_CONNECT_TIMEOUT, &timeout);
    const unsigned localFiles = e.localData ? 1 : 0;
    my().mysql_optionsv(m, MYSQL_OPT_LOCAL_INFILE, &localFiles);
    maria::applyTls(m, e.tls);
    if (e.readOnly) my().mysql_optionsv(m, MYSQL_INIT_COMMAND, "SET SESSION TRANSACTION READ ONLY");
    auto orNull = [](const QByteArray& b) { return b.isEmpty() ? nullptr : b.constData(); };
    if (my().mysql_real_connect(m, orNull(e.host), orNull(e.user), e.passwordGiven ? e.password.constData() : nullptr,
                                orNull(e.database), e.port, orNull(e.socket), e.flags)) {
        // Connector/C falls back to a plain session when the server has no
        // TLS, unless it verifies the certificate: a string that asked for
        // TLS gets an encrypted session or none.
        if (!e.tls.required() || my().mysql_get_ssl_cipher(m)) return m;
        if (error)
            *error = QStringLiteral("TLS was required (FORCETLS=1) but the server does not offer it; the "
                                    "connection was closed unencrypted, before any use.");
        if (errorNumber) *errorNumber = kTlsUnavailable;
        if (state) *state = QStringLiteral("08004");
        my().mysql_close(m);
        return nullptr;
    }
    if (error) *error = QString::fromUtf8(my().mysql_error(m));
    if (errorNumber) *errorNumber = my().mysql_errno(m);
    if (state) *state = QString::fromLatin1(my().mysql_sqlstate(m));
    my().mysql_close(m);
    return nullptr;
}

// Kills the statement running on a connection, from a connection of its own.
void killStatement(const MariaConnection::Endpoint& e, unsigned long threadId) {
    MariaConnection::Endpoint killer = e;
    killer.flags = 0;
    killer.localData = false;
    killer.timeoutSeconds = std::min(e.timeoutSeconds, 5);
    if (MYSQL* k = connectTo(killer, nullptr, nullptr, nullptr)) {
        const QByteArray kill = "KILL QUERY " + QByteArray::number(qulonglong(threadId));
        my().mysql_real_query(k, kill.constData(), static_cast<unsigned long>(kill.size()));
        my().mysql_close(k);
    }
}

// The rows of a prepared statement, read whole.
class TableCursor final : public Cursor {
public:
    TableCursor(Table table, qint64 affected) : table_(std::move(table)) {
        recordsAffected_ = affected;
        for (const QString& c : table_.columns) fields_.push_back({c, FieldType::VarWChar, 255, 255});
    }
    int appendRows(RowBlock& block, int maxRows) override {
        if (!hasRows()) throw Error::closedResult();
        int n = 0;
        for (; n < maxRows && next_ < table_.rows.size(); ++n, ++next_)
            for (const Cell& c : table_.rows[next_]) {
                if (!c) {
                    block.appendNull();
                    continue;
                }
                const QByteArray b = c->toUtf8();
                block.appendCell(b.constData(), size_t(b.size()));
            }
        return n;
    }
    bool nextResult() override { return false; }

private:
    Table table_;
    size_t next_ = 0;
};

// The string with the option files' values added where it gives none (under
// any of its names for the key), unless it says USE_MYCNF=0.
ConnectionString withOptionFiles(const ConnectionString& given) {
    const auto useFiles = given.value(QStringLiteral("USE_MYCNF"));
    if (useFiles && !isTrueValue(*useFiles)) return given;
    static const std::pair<const char*, const char*> kAliases[] = {
        {"Server", "Host"}, {"Uid", "User"}, {"Pwd", "Password"}, {"Database", "DB"}, {"TLSPEERFP", "SSLFP"},
        {"TLSPEERFPLIST", "SSLFPLIST"}};
    auto gives = [&](const QString& key) {
        if (given.has(key)) return true;
        for (const auto& [name, alias] : kAliases)
            if (key == QLatin1String(name)) return given.has(QLatin1String(alias));
        return false;
    };
    ConnectionString cs = given;
    for (const auto& [key, value] : db::maria::clientConnectionKeys())
        if (!gives(key)) cs.set(key, value);
    return cs;
}

} // namespace

MariaConnection::Endpoint MariaConnection::endpointOf(const ConnectionString& given, const OpenOptions& options) {
    const ConnectionString cs = withOptionFiles(given);
    auto text = [&](std::initializer_list<const char*> keys) {
        for (const char* k : keys)
            if (const auto v = cs.value(QLatin1String(k))) return v->toUtf8();
        return QByteArray();
    };
    Endpoint e;
    e.host = text({"Server", "Host"});
    e.user = text({"Uid", "User"});
    e.password = text({"Pwd", "Password"});
    e.passwordGiven = cs.has(QStringLiteral("Pwd")) || cs.has(QStringLiteral("Password"));
    e.database = text({"Database", "DB"});
    e.socket = text({"Socket"});
    e.port = text({"Port"}).toUInt();
    e.timeoutSeconds = options.loginTimeoutSeconds > 0 ? options.loginTimeoutSeconds : 15;
    e.tls = maria::tlsOf(cs);
    e.readOnly = options.readOnly;
    e.localData = options.localData;
    // As the ODBC backend asks of the driver: scripts of several statements,
    // and counts of the rows matched; the user's own OPTION decides if given.
    bool ok = false;
    const unsigned long odbcOptions = text({"OPTION", "OPTIONS"}).toULong(&ok);
    const unsigned long wanted = ok ? odbcOptions : kOdbcFoundRows | kOdbcMultiStatements;
    e.flags = CLIENT_MULTI_RESULTS | ((wanted & kOdbcFoundRows) ? CLIENT_FOUND_ROWS : 0) |
              ((wanted & kOdbcMultiStatements) ? CLIENT_MULTI_STATEMENTS : 0);
    return e;
}

std::unique_ptr<MariaConnection> MariaConnection::open(const ConnectionString& cs, const OpenOptions& options) {
    Endpoint e = endpointOf(cs, options);
    QString error, state;
    unsigned number = 0;
    MYSQL* m = connectTo(e, &error, &number, &state);
    if (!m)
        throw Error(int(number), scrubSecrets(QStringLiteral("Cannot connect: [%1] %2").arg(state, error),
                                             passwordValues(cs.toString()) << QString::fromUtf8(e.password)),
                    state);
    std::unique_ptr<MariaConnection> c(new MariaConnection(std::move(e)));
    c->mysql_ = m;
    c->threadId_ = my().mysql_thread_id(m);
    return c;
}

MariaConnection::~MariaConnection() {
    calls_.endOpenCall();
    if (mysql_) my().mysql_close(mysql_);
}

std::unique_ptr<Cursor> MariaConnection::execute(const QString& sql, const Params& params) {
    throwIfCancelPending();
    calls_.endOpenCall();
    if (!params.empty()) {
        BatchResult r = runPrepared(sql, params);
        return std::make_unique<TableCursor>(std::move(r.rows), r.affected);
    }
    return std::make_unique<MariaCursor>(*this, sql);
}

std::unique_ptr<Cursor> MariaConnection::executeScript(const QString& script,
                                                       const std::vector<ScriptStatement>& statements) {
    throwIfCancelPending();
    calls_.endOpenCall();
    return std::make_unique<MariaCursor>(*this, script, statements);
}

void MariaConnection::reportWarnings() {
    // the warnings after which the server shows NULL for the value they concern
    static const QStringList kNulledValue = {QStringLiteral("1301"), QStringLiteral("1365"), QStringLiteral("1411"),
                                             QStringLiteral("1441")};
    const Table warnings = query(QStringLiteral("SHOW WARNINGS"));
    for (const auto& w : warnings.rows) {
        const QString code = w.at(1).value_or(QString());
        QString line = QStringLiteral("%1 %2: %3").arg(w.at(0).value_or(QString()), code, w.at(2).value_or(QString()));
        if (kNulledValue.contains(code)) line += QStringLiteral(" (the server shows NULL for that value)");
        notify(line);
    }
}

void MariaConnection::reportWarningCount(unsigned count) {
    notify(QStringLiteral("%1 warning(s); the server kept no text for them, as the next statement of the script ran at once")
               .arg(count));
}

void MariaConnection::cancel() {
    calls_.requestCancel();
    // Connecting takes a moment: not on the caller's (maybe the UI's) thread.
    std::thread([e = endpoint_, id = threadId_] { killStatement(e, id); }).detach();
}

void MariaConnection::killRunning(bool asCancel) {
    if (asCancel) calls_.requestCancel();
    killStatement(endpoint_, threadId_);
}

Error MariaConnection::lastError() {
    const unsigned number = my().mysql_errno(mysql_);
    const QString state = QString::fromLatin1(my().mysql_sqlstate(mysql_));
    Error e(int(number), QStringLiteral("[%1] %2").arg(state, QString::fromUtf8(my().mysql_error(mysql_))), state);
    if (calls_.takeCancel() || number == kInterrupted) e.setCancelled(true);
    return e;
}

QString MariaConnection::providerName() const {
    return my().mariadb_connection(mysql_) ? QStringLiteral("MariaDB") : QStringLiteral("MySQL");
}

QString MariaConnection::serverVersion() const {
    const unsigned long v = my().mysql_get_server_version(mysql_);
    // as the ODBC driver writes it: 10.11.000019
    return QStringLiteral("%1.%2.%3")
        .arg(v / 10000, 2, 10, QLatin1Char('0'))
        .arg((v / 100) % 100, 2, 10, QLatin1Char('0'))
        .arg(v % 100, 6, 10, QLatin1Char('0'));
}

QString MariaConnection::defaultDatabase() {
    const Table t = query(QStringLiteral("SELECT DATABASE()"));
    return t.rows.empty() ? QString() : t.rows[0][0].value_or(QString());
}

void MariaConnection::setDefaultDatabase(const QString& name) {
    if (name.isEmpty()) return;
    calls_.endOpenCall();
    if (my().mysql_select_db(mysql_, name.toUtf8().constData()) != 0) throw lastError();
}

bool MariaConnection::isAlive() {
    if (!mysql_) return false;
    calls_.endOpenCall();
    return my().mysql_ping(mysql_) == 0; // reconnecting is off: a dropped connection fails the ping
}

std::optional<bool> MariaConnection::inTransaction() {
    if (!mysql_) return false;
    // the status the server sent with its last reply
    const unsigned status = mysql_->server_status;
    return (status & SERVER_STATUS_IN_TRANS) != 0 || (status & SERVER_STATUS_AUTOCOMMIT) == 0;
}

namespace {

// The "file" LOAD DATA LOCAL reads: the caller's rows, from memory.
struct LocalData {
    const QByteArray* data;
    qsizetype at = 0;
};
int localInit(void** state, const char*, void* userData) {
    *state = userData;
    return 0;
}
int localRead(void* state, char* buffer, unsigned int length) {
    auto* d = static_cast<LocalData*>(state);
    const qsizetype n = std::min<qsizetype>(length, d->data->size() - d->at);
    memcpy(buffer, d->data->constData() + d->at, size_t(n));
    d->at += n;
    return int(n);
}
void localEnd(void*) {}
int localError(void*, char* message, unsigned int length) {
    qstrncpy(message, "The rows could not be read.", length);
    return 2000; // CR_UNKNOWN_ERROR
}

// "… at row 3": the row counted from 1.
std::optional<int> rowOf(const QString& message) {
    static const QRegularExpression re(QStringLiteral("\\bat row (\\d+)"));
    const auto m = re.match(message);
    return m.hasMatch() ? std::optional<int>(m.captured(1).toInt()) : std::nullopt;
}

class LocalLoad final : public BulkLoad {
public:
    LocalLoad(MariaConnection& conn, const QString& table, const QStringList& columns)
        : conn_(conn), table_(table), columns_(columns),
          statement_(QStringLiteral("LOAD DATA LOCAL INFILE 'rows' INTO TABLE %1 CHARACTER SET utf8mb4 FIELDS "
                                    "TERMINATED BY '\\t' ESCAPED BY '\\\\' LINES TERMINATED BY '\\n' (%2)")
                         .arg(table, columns.join(QStringLiteral(", ")))) {}
    void load(const RowBlock& block, int first, int count) override {
        if (fallback_) return fallback_->load(block, first, count);
        data_.clear();
        for (int r = first; r < first + count; ++r) appendLoadText(data_, block, r);
        try {
            conn_.loadLocal(statement_, data_);
        } catch (Error& e) {
            // ER_NOT_ALLOWED_COMMAND, ER_LOAD_INFILE_CAPABILITY_DISABLED: the server takes no LOCAL data
            if (e.number() == 1148 || e.number() == 4166) {
                fallback_ = insertingLoad(conn_, table_, columns_);
                return fallback_->load(block, first, count);
            }
            rowFromBlockStart(e, first);
            throw;
        }
    }

private:
    MariaConnection& conn_;
    QString table_;
    QStringList columns_;
    QString statement_;
    QByteArray data_;
    std::unique_ptr<BulkLoad> fallback_;
};

} // namespace

std::unique_ptr<BulkLoad> MariaConnection::bulkLoad(const QString& table, const QStringList& columns) {
    if (!canLoadLocal()) return insertingLoad(*this, table, columns);
    return std::make_unique<LocalLoad>(*this, table, columns);
}

qint64 MariaConnection::loadLocal(const QString& statement, const QByteArray& data) {
    throwIfCancelPending();
    calls_.endOpenCall();
    LocalData source{&data};
    my().mysql_set_local_infile_handler(mysql_, localInit, localRead, localEnd, localError, &source);
    const QByteArray text = statement.toUtf8();
    if (my().mysql_real_query(mysql_, text.constData(), static_cast<unsigned long>(text.size())) != 0) {
        Error e = lastError();
        if (const auto row = rowOf(e.description())) {
            ErrorPosition at;
            at.row = *row - 1;
            e.setPosition(at);
        }
        throw e;
    }
    const qint64 rows = qint64(my().mysql_affected_rows(mysql_));
    if (my().mysql_warning_count(mysql_) == 0) return rows;
    const Table warnings = query(QStringLiteral("SHOW WARNINGS"));
    for (const auto& w : warnings.rows) {
        if (w.size() < 3 || w[0] == QStringLiteral("Note")) continue;
        const QString message = w[2].value_or(QString());
        Error e(w[1].value_or(QString()).toInt(), QStringLiteral("[HY000] %1").arg(message), QStringLiteral("HY000"));
        if (const auto row = rowOf(message)) {
            ErrorPosition at;
            at.row = *row - 1;
            e.setPosition(at);
        }
        throw e;
    }
    return rows;
}

BatchResult MariaConnection::runPrepared(const QString& sql, const Params& params) {
    try {
        return maria::PreparedStatement(mysql_, sql).run(params);
    } catch (Error& e) {
        markCancel(e);
        throw;
    }
}

void MariaConnection::markCancel(Error& e) {
    if (calls_.takeCancel() || e.number() == int(kInterrupted)) e.setCancelled(true);
}

Table MariaConnection::schema(Schema kind, const SchemaFilter& filter) {
    Table t;
    switch (kind) {
    case Schema::Catalogs:
        t = query(QStringLiteral("SELECT SCHEMA_NAME FROM information_schema.SCHEMATA ORDER BY SCHEMA_NAME"));
        break;
    case Schema::Tables:
        // every database's, or a named database's; a table asked for by name in the current one
        t = query(QStringLiteral("SELECT TABLE_SCHEMA, NULL, TABLE_NAME, CASE TABLE_TYPE WHEN 'BASE TABLE' THEN 'TABLE'"
                                 " WHEN 'SYSTEM VERSIONED' THEN 'TABLE' ELSE TABLE_TYPE END"
                                 " FROM information_schema.TABLES WHERE (? = '' AND (? = '' OR TABLE_SCHEMA = DATABASE())"
                                 " OR TABLE_SCHEMA = ?) AND (? = '' OR TABLE_NAME = ?)"
                                 " ORDER BY TABLE_SCHEMA, TABLE_NAME"),
                  {filter.catalog, filter.table, filter.catalog, filter.table, filter.table});
        break;
    case Schema::Procedures:
        t = query(QStringLiteral("SELECT ROUTINE_SCHEMA, NULL, ROUTINE_NAME,"
                                 " CASE ROUTINE_TYPE WHEN 'FUNCTION' THEN '2' ELSE '1' END FROM information_schema.ROUTINES"
                                 " WHERE ROUTINE_SCHEMA = IF(? = '', DATABASE(), ?) ORDER BY ROUTINE_NAME"),
                  {filter.catalog, filter.catalog});
        break;
    case Schema::ProcedureColumns:
        // a function's return value has position 0 and no mode
        t = query(QStringLiteral("SELECT SPECIFIC_SCHEMA, NULL, SPECIFIC_NAME, COALESCE(PARAMETER_NAME, ''),"
                                 " CASE PARAMETER_MODE WHEN 'IN' THEN '1' WHEN 'INOUT' THEN '2' WHEN 'OUT' THEN '4'"
                                 " ELSE '5' END, DATA_TYPE, ORDINAL_POSITION FROM information_schema.PARAMETERS"
                                 " WHERE SPECIFIC_SCHEMA = IF(? = '', DATABASE(), ?) AND (? = '' OR SPECIFIC_NAME = ?)"
                                 " ORDER BY SPECIFIC_NAME, ORDINAL_POSITION"),
                  {filter.catalog, filter.catalog, filter.table, filter.table});
        break;
    case Schema::Columns: {
        const Table raw = query(
            QStringLiteral("SELECT TABLE_SCHEMA, TABLE_NAME, COLUMN_NAME, ORDINAL_POSITION, DATA_TYPE, COLUMN_TYPE,"
                           " CHARACTER_MAXIMUM_LENGTH, CHARACTER_OCTET_LENGTH, NUMERIC_PRECISION, NUMERIC_SCALE,"
                           " IS_NULLABLE FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = IF(? = '', DATABASE(), ?)"
                           " AND (? = '' OR TABLE_NAME = ?) ORDER BY TABLE_NAME, ORDINAL_POSITION"),
            {filter.catalog, filter.catalog, filter.table, filter.table});
        for (const auto& r : raw.rows) {
            auto at = [&](size_t i) { return r[i].value_or(QString()); };
            const maria::CatalogColumn c = maria::catalogColumn(at(4), at(5), at(6), at(7), at(8), at(9));
            t.rows.push_back({r[0], Cell(), r[1], r[2], r[3], QString::number(int(c.type)),
                              c.length.isEmpty() ? Cell() : Cell(c.length), c.typeName, r[10]});
        }
        break;
    }
    }
    t.columns = schemaColumns(kind);
    return t;
}

} // namespace db
