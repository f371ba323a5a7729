#pragma once
// Native MariaDB (and MySQL) backend over MariaDB Connector/C, for the
// MariaDB and MySQL ODBC connection strings ("Driver={MariaDB Unicode};
// Server=…;Port=…;Database=…;Uid=…;Pwd=…", TLS keys as MariaOptions.h lists
// them). What the string leaves out comes from the option files the
// mariadb client reads (~/.my.cnf, see OptionFiles.h) unless it says
// USE_MYCNF=0. A string that asks for TLS gets an encrypted session or
// none. Results stream from the server
// (mysql_use_result): the first rows come at once and a row limit bounds
// memory, where the ODBC driver reads every row before the first is seen.
// cancel() kills the running statement from a second connection, off the
// caller's thread.

#include "db/CallState.h"
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "db/MariaOptions.h"


struct st_mysql;

namespace db {

class MariaConnection final : public Connection {
public:
    static std::unique_ptr<MariaConnection> open(const ConnectionString& cs, const OpenOptions& options);
    ~MariaConnection() override;

    std::unique_ptr<Cursor> execute(const QString& sql, const Params& params = {}) override;
    // The script goes in one call (each statement there commits or fails on
    // its own); its statements tell the cursor which query a row limit may stop.
    bool wantsStatements() const override { return true; }
    std::unique_ptr<Cursor> executeScript(const QString& script, const std::vector<ScriptStatement>& statements) override;
    // Each statement text is prepared once and run for each set of values
    // (the server parses and plans it once); a few texts may alternate.
    void executeBatch(const std::vector<BatchStatement>& statements,
                      const std::function<bool(size_t index, BatchResult&& result)>& accept) override;
    void cancel() override;
    // Kills the running statement and waits until the kill is sent; as a
    // cancel (the call then fails as cancelled), or only to stop its rows.
    void killRunning(bool asCancel = true);

    QString providerName() const override;
    QString serverVersion() const override;
    QString identifierQuote() const override { return QStringLiteral("`"); }
    QString defaultDatabase() override;
    void setDefaultDatabase(const QString& name) override;
    Table schema(Schema kind, const SchemaFilter& filter = {}) override;
    // LOAD DATA LOCAL when the connection was opened with localData and the
    // server allows it; INSERT statements of many rows otherwise.
    std::unique_ptr<BulkLoad> bulkLoad(const QString& table, const QStringList& columns) override;
    // Runs statement, a LOAD DATA LOCAL INFILE, serving data as the file
    // whatever its name. The server's warnings (LOCAL data turns errors
    // into warnings) fail it; a failure in a row names it (Error
    // position().row, counted from 0 in data).
    qint64 loadLocal(const QString& statement, const QByteArray& data);
    bool canLoadLocal() const { return endpoint_.localData; }
    bool isAlive() override;
    std::optional<bool> inTransaction() override;
    void clearPendingCancel() override { calls_.clearCancel(); }

    // Used by cursors.
    st_mysql* handle() const { return mysql_; }
    // The error of the last call (a cancelled one when a cancel was asked for).
    Error lastError();
    void throwIfCancelPending() { calls_.throwIfCancelled("70100"); }
    // The server's warnings of the statement that just ended (SHOW WARNINGS)
    // go to the notice handler, one line each; those that mean the server
    // put NULL in place of a value say so.
    void reportWarnings();
    // Only how many there were, when the next statement already ran.
    void reportWarningCount(unsigned count);
    // The pending cancel and the open call, shared with the cursors.
    CallState& calls() { return calls_; }

    // How to reach the server: kept for the connection that cancels.
    struct Endpoint {
        QByteArray host, user, password, database, socket;
        bool passwordGiven = false; // an empty password given is not a missing one
        unsigned port = 0;
        unsigned long flags = 0;
        int timeoutSeconds = 15;
        maria::Tls tls;
        bool readOnly = false;
        bool localData = false; // LOAD DATA LOCAL allowed (bulk loads only)
    };
    // The endpoint a string describes, with the option files' values where
    // it gives none.
    static Endpoint endpointOf(const ConnectionString& cs, const OpenOptions& options);

private:
    explicit MariaConnection(Endpoint endpoint) : endpoint_(std::move(endpoint)) {}
    // A statement with parameters runs as a prepared statement; its rows are read whole.
    BatchResult runPrepared(const QString& sql, const Params& params);
    // A statement's failure as a cancel when one was asked for or the server interrupted it.
    void markCancel(Error& e);

    Endpoint endpoint_;
    st_mysql* mysql_ = nullptr;
    unsigned long threadId_ = 0;
    CallState calls_;
};

} // namespace db
