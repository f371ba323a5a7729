#pragma once
// ODBC backend over the unixODBC driver manager. The connection string goes
// to SQLDriverConnect untouched, apart from a few keys added for drivers
// whose defaults would break multi-statement scripts or load whole results
// into memory (see tunedConnectionString).

#include "db/CallState.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"

#include <sql.h>

#include <functional>
#include <mutex>

namespace db {

class OdbcCursor;

// The string actually sent to the driver: adds streaming and multi-statement
// options for known drivers when the user has not set them.
QString tunedConnectionString(const QString& connectionString, int loginTimeoutSeconds);

class OdbcConnection final : public Connection {
public:
    static std::unique_ptr<OdbcConnection> open(const QString& connectionString, const OpenOptions& options);
    ~OdbcConnection() override;

    std::unique_ptr<Cursor> execute(const QString& sql, const Params& params = {}) override;
    bool wantsStatements() const override { return isPostgres_; }
    // MariaDB's driver reads every row of a result before the first shows
    // (measured: forward-only, the no-cache option, prefetch and row arrays
    // of one change nothing): runs go to the native client instead.
    QString runRefusal() const override;
    std::unique_ptr<Cursor> executeScript(const QString& script, const std::vector<ScriptStatement>& statements) override;
    void cancel() override;

    QString providerName() const override { return dbmsName_; }
    // The code of the last error the server reported on this connection
    // (MariaDB/MySQL "SHOW ERRORS"); 0 when unknown or not such a server.
    int lastServerErrorCode();
    QString serverVersion() const override { return dbmsVersion_; }
    QString defaultDatabase() override;
    void setDefaultDatabase(const QString& name) override;
    QString identifierQuote() const override { return identifierQuote_; }
    Table schema(Schema kind, const SchemaFilter& filter = {}) override;
    // What the driver knows: a connection it has seen fail is dead.
    bool isAlive() override;
    void setAutoCommit(bool on) override;
    // Unknown with auto-commit on; with it off, always inside one.
    std::optional<bool> inTransaction() override;

    // Used by cursors.
    SQLHDBC handle() const { return dbc_; }
    bool canGetDataInBlocks() const { return getDataBlock_; }
    bool splitsScripts() const { return splitScripts_; }
    // Text may be read as SQL_C_CHAR: the driver hands out UTF-8 unchanged.
    bool narrowTextIsUtf8() const { return narrowUtf8_; }
    void registerStatement(SQLHSTMT stmt);
    void unregisterStatement(SQLHSTMT stmt);
    // Throws a cancelled Error when a cancel request is pending (and clears it).
    void throwIfCancelPending() { calls_.throwIfCancelled("HY008"); }
    bool takeCancelPending() { return calls_.takeCancel(); }
    void clearPendingCancel() override { calls_.clearCancel(); }

private:
    OdbcConnection() = default;
    void connect(const QString& connectionString);
    // After connecting: refuses a session without the TLS the string asked
    // for, and makes a read-only one so (options_.readOnly).
    void secureSession(const ConnectionString& cs);
    void disconnect();
    Table catalogCall(const std::function<SQLRETURN(SQLHSTMT)>& call, const QStringList& names);

    QString connectionString_;
    OpenOptions options_;
    SQLHDBC dbc_ = SQL_NULL_HDBC;
    QString dbmsName_;
    QString dbmsVersion_;
    QString searchEscape_; // escapes "_" and "%" in catalogue function arguments
    QString identifierQuote_;
    bool getDataBlock_ = false;
    bool splitScripts_ = false;
    bool isPostgres_ = false;
    bool narrowUtf8_ = false;
    bool autoCommit_ = true;

    // The statement a cancel from another thread interrupts (SQLCancel).
    std::mutex activeMutex_;
    SQLHSTMT active_ = SQL_NULL_HSTMT;
    CallState calls_; // the pending cancel
};

} // namespace db
