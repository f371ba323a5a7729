#pragma once
// Native PostgreSQL backend over libpq, for the PostgreSQL ODBC connection
// strings ("Driver={PostgreSQL Unicode};Server=…;Port=…;Database=…;Uid=…;
// Pwd=…"). Rows stream one by one from the server (single-row mode), each
// value the server's own text as psql shows it; columns are described as
// the ODBC driver describes them. A script runs statement by statement (see
// PgBatch). NOTICE messages go to the notice handler; cancel() is libpq's
// cancel request, safe from any thread.

#include "db/CallState.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"

#include <functional>
#include <memory>
#include <mutex>

struct pg_conn;
struct pg_cancel;
struct pg_result;

namespace db {

class PgConnection final : public Connection {
public:
    static std::unique_ptr<PgConnection> open(const ConnectionString& cs, const OpenOptions& options);
    ~PgConnection() override;

    std::unique_ptr<Cursor> execute(const QString& sql, const Params& params = {}) override;
    bool wantsStatements() const override { return true; }
    std::unique_ptr<Cursor> executeScript(const QString& script, const std::vector<ScriptStatement>& statements) override;
    // In pipeline mode (PgPipeline), where the client library has it.
    void executeBatch(const std::vector<BatchStatement>& statements,
                      const std::function<bool(size_t, BatchResult&&)>& accept) override;
    // Asks the server to cancel the running statement, from a thread of its
    // own: the request is a connection of its own and must not hold the
    // caller (maybe the UI) when the server is slow to answer.
    void cancel() override;
    // The same, done before returning (for the thread that runs the call).
    void interrupt();
    // Stops the running statement without ending the call as cancelled
    // (the cursor takes the error for its own); done before returning.
    void sendCancel() { cancelKey_->send(); }

    QString providerName() const override { return QStringLiteral("PostgreSQL"); }
    QString serverVersion() const override;
    QString identifierQuote() const override { return QStringLiteral("\""); }
    QString defaultDatabase() override;
    void setDefaultDatabase(const QString& name) override;
    Table schema(Schema kind, const SchemaFilter& filter = {}) override;
    // COPY FROM STDIN in the text format.
    std::unique_ptr<BulkLoad> bulkLoad(const QString& table, const QStringList& columns) override;
    // Runs statement, a COPY … FROM STDIN, with data as its input; returns
    // the rows copied. A failure in a row names it (Error position().row,
    // counted from 0 in data). A cancel ends the copy.
    qint64 copyIn(const QString& statement, const QByteArray& data);
    // The same with the input from next, called for piece after piece until
    // it returns an empty one; a cancel is noticed between pieces.
    qint64 copyIn(const QString& statement, const std::function<QByteArray()>& next);
    bool isAlive() override;
    std::optional<bool> inTransaction() override;
    void clearPendingCancel() override { calls_.clearCancel(); }
    bool transactionAborted() override;

    // Used by cursors.
    pg_conn* handle() const { return conn_; }
    // The error of the last call as an Error (marked cancelled after a cancel request).
    Error lastError(const QString& fallback) const;
    Error resultError(const pg_result* result) const;
    // The pending cancel and the open call, shared with the cursors.
    CallState& calls() { return calls_; }
    // Throws a cancelled Error when a cancel request is pending (and clears it).
    void throwIfCancelPending() { calls_.throwIfCancelled("57014"); }
    void deliverNotice(const QString& text, const QByteArray& sqlState);
    // While a script's statements go with COMMITs of ours between them, the
    // server's warning that each finds no transaction open is not shown.
    void setQuietCommits(bool quiet) { quietCommits_ = quiet; }

private:
    PgConnection(ConnectionString cs, OpenOptions options) : cs_(std::move(cs)), options_(options) {}
    void connect(const QString& database);
    void disconnect();

    ConnectionString cs_;
    OpenOptions options_;
    pg_conn* conn_ = nullptr;
    // What a cancel request needs, shared with requests still on their way
    // when the connection closes.
    struct CancelKey {
        std::mutex mutex;
        pg_cancel* key = nullptr; // guarded by mutex; null once closed
        void send();
    };
    std::shared_ptr<CancelKey> cancelKey_ = std::make_shared<CancelKey>();
    CallState calls_;
    bool quietCommits_ = false;
};

} // namespace db
