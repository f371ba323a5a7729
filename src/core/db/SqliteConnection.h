#pragma once
// Native SQLite backend for "Provider=SQLite;Data Source=FILE" strings.
// A script runs statement after statement; each statement is one result set.

#include "db/Connection.h"
#include "db/ConnectionString.h"

#include <atomic>
#include <mutex>

struct sqlite3;

namespace db {

class SqliteConnection final : public Connection {
public:
    static std::unique_ptr<SqliteConnection> open(const ConnectionString& cs, const OpenOptions& options);
    ~SqliteConnection() override;

    std::unique_ptr<Cursor> execute(const QString& sql, const Params& params = {}) override;
    void cancel() override;

    QString providerName() const override { return QStringLiteral("SQLite"); }
    QString serverVersion() const override;
    QString defaultDatabase() override { return defaultDb_; }
    void setDefaultDatabase(const QString& name) override;
    QString identifierQuote() const override { return QStringLiteral("\""); }
    Table schema(Schema kind, const SchemaFilter& filter = {}) override;
    // One prepared INSERT, bound and stepped once per row.
    std::unique_ptr<BulkLoad> bulkLoad(const QString& table, const QStringList& columns) override;
    std::optional<bool> inTransaction() override;

    sqlite3* handle() const { return db_; }
    // The failure of the last call on this connection as an Error.
    Error lastError(int code) const;

private:
    explicit SqliteConnection(sqlite3* db) : db_(db) {}
    QStringList databaseNames();

    sqlite3* db_;
    QString defaultDb_ = QStringLiteral("main");
};

} // namespace db
