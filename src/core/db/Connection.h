#pragma once
// The database access interface shared by every caller: the user's databases
// (ODBC drivers or native SQLite files) and the resource database alike.
//
// A Connection runs one text per execute() call and hands back a Cursor that
// walks the call's result sets in order. Each result set either has rows
// (fields() not empty, read with fetch()) or is a closed result that only
// reports recordsAffected(). All failures are thrown as db::Error.
//
// Threads: a connection and its cursors are used by one thread at a time;
// cancel() alone may be called from any thread while that thread is inside
// execute(), fetch() or nextResult().

#include "db/BulkLoad.h"
#include "db/DbError.h"
#include "db/Field.h"
#include "db/RowBlock.h"
#include "db/ServerFamily.h"
#include "db/Table.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace net {
class SshTunnel;
}

namespace db {

class ConnectionString;
struct BackendChoice;

struct OpenOptions {
    int loginTimeoutSeconds = 15;
    // Native SQLite only: create the file when it does not exist.
    bool createIfMissing = false;
    // The session refuses writes (set by Connection::open from ReadOnly=1).
    bool readOnly = false;
    // Native MariaDB only: the connection may send rows with LOAD DATA
    // LOCAL (bulkLoad). It only ever sends the program's own rows, whatever
    // file the server asks for.
    bool localData = false;
};

// The schema rowsets callers ask for; numbers as the catalogue code knows them.
enum class Schema { Catalogs = 1, Columns = 4, Procedures = 16, Tables = 20, ProcedureColumns = 26 };

// The column names of a schema listing, the same for every backend:
//   Catalogs:   CATALOG_NAME
//   Tables:     TABLE_CATALOG, TABLE_SCHEMA, TABLE_NAME, TABLE_TYPE
//   Procedures: PROCEDURE_CATALOG, PROCEDURE_SCHEMA, PROCEDURE_NAME, PROCEDURE_TYPE
//               (ODBC's SQL_PT_* number: 1 procedure, 2 function, 0 unknown)
//   Columns:    TABLE_CATALOG, TABLE_SCHEMA, TABLE_NAME, COLUMN_NAME, ORDINAL_POSITION,
//               DATA_TYPE (field type number), CHARACTER_MAXIMUM_LENGTH, TYPE_NAME, IS_NULLABLE
//   ProcedureColumns: PROCEDURE_CATALOG, PROCEDURE_SCHEMA, PROCEDURE_NAME, COLUMN_NAME,
//               COLUMN_TYPE (ODBC's SQL_PARAM_* number: 1 in, 2 in/out, 3 result column,
//               4 out, 5 return value), TYPE_NAME, ORDINAL_POSITION; parameters in call order
QStringList schemaColumns(Schema kind);

// Restrictions narrow a schema listing; empty members mean "any".
struct SchemaFilter {
    SchemaFilter() = default;
    SchemaFilter(QString catalog_, QString table_ = {}, QString schema_ = {})
        : catalog(std::move(catalog_)), table(std::move(table_)), schema(std::move(schema_)) {}
    QString catalog;
    QString table; // a table, or a procedure for ProcedureColumns
    QString schema;
};

using Params = std::vector<QVariant>;

// One statement of a script, as the caller's statement splitter found it.
struct ScriptStatement {
    qsizetype start = 0; // [start, end) in the script's text, terminator and comments around it outside
    qsizetype end = 0;
    // Its first words, upper case, comments skipped (up to four), for
    // backends that send statements differently by kind.
    QStringList leadingWords;
    // A query that only reads (SELECT, VALUES, SHOW …, with no INSERT,
    // UPDATE, DELETE or INTO in it): stopping it before its last row undoes
    // nothing the user asked for.
    bool onlyReads = false;
};

// One statement of a batch (Connection::executeBatch): "?" placeholders
// and their values.
struct BatchStatement {
    QString sql;
    Params params;
};

// What one statement of a batch did.
struct BatchResult {
    qint64 affected = -1; // rows changed, or returned; -1 when the backend does not say
    Table rows;           // the rows it returned (RETURNING …); no columns when none
};

class Cursor {
public:
    virtual ~Cursor() = default;

    // False for a closed result (a statement that returned no rows).
    bool hasRows() const { return !fields_.empty(); }
    const std::vector<Field>& fields() const { return fields_; }
    // Rows changed by a statement without rows; -1 when the backend does not say.
    qint64 recordsAffected() const { return recordsAffected_; }

    // Replaces the block's content with up to maxRows further rows of the
    // current result set. Returns false when the set had no rows left (the
    // block is then empty). Throws Error::Kind::ClosedResult on a closed result.
    bool fetch(RowBlock& block, int maxRows) {
        block.reset(int(fields_.size()));
        return appendRows(block, maxRows) > 0;
    }
    // Appends up to maxRows further rows to the block (which must have this
    // result's column count); returns how many were added, 0 at the end.
    virtual int appendRows(RowBlock& block, int maxRows) = 0;
    // Moves to the next result set of the same call; false when there is none.
    virtual bool nextResult() = 0;
    // The caller wants no further rows of the current set (a row limit was
    // reached). Where the backend can stop the statement on the server
    // without changing what it does (a query that only reads, not inside a
    // transaction a cancel would break), it does, and what was sent is
    // dropped; otherwise nextResult() reads the rest and drops it. Either
    // way the script goes on with the statements after it.
    virtual void discardRestOfSet() {}

protected:
    std::vector<Field> fields_;
    qint64 recordsAffected_ = -1;
};

// The rest of the cursor's current result set as a table (empty for a
// closed result).
Table readTable(Cursor& cursor);

class Connection {
public:
    virtual ~Connection() = default;

    // Opens the backend named by the string (see BackendChoice.h):
    // "Provider=SQLite;Data Source=FILE" goes to native SQLite; strings for
    // the PostgreSQL and MariaDB (MySQL) ODBC drivers go to the native
    // PostgreSQL and MariaDB backends unless they say "Backend=ODBC" or hold
    // a key those do not read; anything else to the ODBC driver manager. The
    // editor's own keys (ConnectionProfile.h) are taken out first: ReadOnly
    // makes a read-only session, SshHost opens (or shares) an SSH tunnel.
    static std::unique_ptr<Connection> open(const QString& connectionString, const OpenOptions& options = {});

    virtual std::unique_ptr<Cursor> execute(const QString& sql, const Params& params = {}) = 0;
    // Why scripts are not run on this connection (its results cannot be
    // streamed, so a large one would take minutes and gigabytes whatever the
    // row limit); empty when they are.
    virtual QString runRefusal() const { return {}; }
    // Whether executeScript wants the statements of a script found for it.
    virtual bool wantsStatements() const { return false; }
    // Runs a script of statements as the user expects a script to run: each
    // statement outside a transaction the user opened commits or fails on
    // its own, the first failure ends the script, and no statement after it
    // runs. The cursor walks the results of every statement in order; an
    // error's position is in the script's text. By default the script goes
    // in one call, which behaves so on backends other than PostgreSQL.
    virtual std::unique_ptr<Cursor> executeScript(const QString& script, const std::vector<ScriptStatement>& statements);
    virtual void cancel() = 0;
    // Runs many small parameterised statements in order, for a caller inside
    // a transaction it rolls back when the batch goes wrong. Each result goes
    // to accept, in order, as it is read; accept returning false ends the
    // batch, and so does a failure, thrown with position().statementIndex
    // naming the statement. Statements after the one that ended the batch
    // may have been sent and run already. By default each statement is a
    // call of its own; PostgreSQL sends many in one round trip.
    virtual void executeBatch(const std::vector<BatchStatement>& statements,
                              const std::function<bool(size_t index, BatchResult&& result)>& accept);

    virtual QString providerName() const = 0;   // DBMS name, e.g. "PostgreSQL", "SQLite"
    // The kind of server, from its own name for itself.
    ServerFamily serverFamily() const { return familyOfDbms(providerName()); }
    virtual QString serverVersion() const = 0;
    virtual QString defaultDatabase() = 0;
    virtual void setDefaultDatabase(const QString& name) = 0;
    // The character the backend quotes identifiers with ("\"" or "`"); empty
    // when it has none.
    virtual QString identifierQuote() const = 0;

    virtual Table schema(Schema kind, const SchemaFilter& filter = {}) = 0;

    // A load of many rows into table (columns in the order the rows hold
    // them; both quoted for this connection's dialect). By default INSERT
    // statements of many rows; backends with a faster way override it.
    virtual std::unique_ptr<BulkLoad> bulkLoad(const QString& table, const QStringList& columns) {
        return insertingLoad(*this, table, columns);
    }

    // Whether the connection still reaches its server, asked before a kept
    // connection is used again (may cost a round trip). Never throws.
    virtual bool isAlive() { return true; }
    // Whether the session is inside a transaction (opened by the user, or
    // autocommit turned off); nullopt where the backend cannot tell.
    virtual std::optional<bool> inTransaction() { return std::nullopt; }
    // Whether the open transaction failed and only a ROLLBACK can end it
    // (PostgreSQL answers a COMMIT there with a rollback, not an error).
    virtual bool transactionAborted() { return false; }
    // Forgets a cancel that came after the last call had ended, so that it
    // cannot cancel the next call on a connection kept for further runs.
    virtual void clearPendingCancel() {}
    // The driver's own auto-commit, for a backend that cannot tell whether
    // it is inside a transaction (ODBC): off, every statement joins a
    // transaction that COMMIT or ROLLBACK ends (and inTransaction() says
    // yes); back on, the driver commits what is open. The other backends
    // keep auto-commit and are given a BEGIN instead (run/Session).
    virtual void setAutoCommit(bool) {}

    // The server's own messages that are not errors (PostgreSQL's NOTICE)
    // go to handler as they come, on the thread using the connection.
    void setNoticeHandler(std::function<void(const QString&)> handler) { noticeHandler_ = std::move(handler); }

    // Convenience for small reads: runs sql and materialises the first
    // result set (an empty table for a closed result).
    Table query(const QString& sql, const Params& params = {});
    // Runs sql and returns the records-affected count of its first result.
    qint64 exec(const QString& sql, const Params& params = {});

protected:
    void notify(const QString& text) const {
        if (noticeHandler_) noticeHandler_(text);
    }

private:
    static std::unique_ptr<Connection> openBackend(const ConnectionString& cs, const BackendChoice& choice,
                                                   const OpenOptions& options);
    std::function<void(const QString&)> noticeHandler_;
    std::shared_ptr<net::SshTunnel> tunnel_; // the SSH tunnel the connection goes through, if any
};

} // namespace db
