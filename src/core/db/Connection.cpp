#include "db/Connection.h"

#include "db/BackendChoice.h"
#include "db/ConnectionProfile.h"
#include "db/ConnectionString.h"
#include "db/MariaConnection.h"
#include "db/OdbcConnection.h"
#include "db/PgConnection.h"
#include "db/ServerFamily.h"
#include "db/SqliteConnection.h"
#include "net/SshTunnel.h"

namespace db {

std::unique_ptr<Connection> Connection::open(const QString& connectionString, const OpenOptions& options) {
    if (connectionString.trimmed().isEmpty())
        throw Error::usage(QStringLiteral("The connection string is empty."));
    const ConnectionString given(connectionString);
    const ConnectionProfile profile = ConnectionProfile::of(given);
    OpenOptions opts = options;
    opts.readOnly = options.readOnly || profile.readOnly;
    ConnectionString cs = withoutEditorKeys(given);
    const BackendChoice choice = chooseBackend(cs, given.wantsOdbc());
    std::shared_ptr<net::SshTunnel> tunnel;
    if (profile.ssh.isSet()) {
        const Result<net::TunnelTarget> target = tunnelTarget(cs, profile.ssh, choice.family);
        if (!target) throw Error::usage(target.error());
        const auto made = net::SshTunnel::acquire(*target, opts.loginTimeoutSeconds > 0 ? opts.loginTimeoutSeconds : 15);
        if (!made) throw Error::usage(made.error());
        tunnel = *made;
        cs = throughTunnel(cs, tunnel->localPort());
    }
    std::unique_ptr<Connection> conn = openBackend(cs, choice, opts);
    conn->tunnel_ = std::move(tunnel); // the tunnel runs while the connection does
    return conn;
}

std::unique_ptr<Connection> Connection::openBackend(const ConnectionString& cs, const BackendChoice& choice,
                                                    const OpenOptions& opts) {
    switch (choice.backend) {
    case Backend::Sqlite: return SqliteConnection::open(cs, opts);
    case Backend::NativePostgres: return PgConnection::open(cs, opts);
    case Backend::NativeMaria: return MariaConnection::open(cs, opts);
    case Backend::Odbc: break;
    }
    try {
        return OdbcConnection::open(cs.toString(), opts);
    } catch (const Error& e) {
        // A string sent to the driver for a key the native client does not
        // read: say so when the driver itself is missing.
        const bool driverMissing = e.sqlState().startsWith(QLatin1String("IM")) || e.sqlState() == QLatin1String("01000");
        if (choice.keysForDriver.isEmpty() || !driverMissing) throw;
        throw Error(e.number(), backendNote(choice) + QLatin1Char(' ') + e.description(), e.sqlState());
    }
}

Table readTable(Cursor& cursor) {
    Table table;
    if (!cursor.hasRows()) return table;
    for (const Field& f : cursor.fields()) table.columns << f.name;
    RowBlock block;
    while (cursor.fetch(block, 512)) {
        for (int r = 0; r < block.rowCount(); ++r) {
            std::vector<Cell> row;
            row.reserve(size_t(block.columnCount()));
            for (int c = 0; c < block.columnCount(); ++c)
                row.push_back(block.isNull(r, c) ? Cell() : Cell(block.string(r, c)));
            table.rows.push_back(std::move(row));
        }
    }
    return table;
}

std::unique_ptr<Cursor> Connection::executeScript(const QString& script, const std::vector<ScriptStatement>&) {
    return execute(script);
}

void Connection::executeBatch(const std::vector<BatchStatement>& statements,
                              const std::function<bool(size_t, BatchResult&&)>& accept) {
    for (size_t i = 0; i < statements.size(); ++i) {
        BatchResult r;
        try {
            auto cursor = execute(statements[i].sql, statements[i].params);
            if (cursor->hasRows()) {
                r.rows = readTable(*cursor);
                r.affected = qint64(r.rows.rows.size());
            } else {
                r.affected = cursor->recordsAffected();
            }
        } catch (Error& e) {
            ErrorPosition at = e.position();
            at.statementIndex = int(i);
            e.setPosition(std::move(at));
            throw;
        }
        if (!accept(i, std::move(r))) return;
    }
}

Table Connection::query(const QString& sql, const Params& params) {
    auto cursor = execute(sql, params);
    return readTable(*cursor);
}

qint64 Connection::exec(const QString& sql, const Params& params) {
    return execute(sql, params)->recordsAffected();
}

QStringList schemaColumns(Schema kind) {
    switch (kind) {
    case Schema::Catalogs: return {QStringLiteral("CATALOG_NAME")};
    case Schema::Tables:
        return {QStringLiteral("TABLE_CATALOG"), QStringLiteral("TABLE_SCHEMA"), QStringLiteral("TABLE_NAME"),
                QStringLiteral("TABLE_TYPE")};
    case Schema::Procedures:
        return {QStringLiteral("PROCEDURE_CATALOG"), QStringLiteral("PROCEDURE_SCHEMA"), QStringLiteral("PROCEDURE_NAME"),
                QStringLiteral("PROCEDURE_TYPE")};
    case Schema::ProcedureColumns:
        return {QStringLiteral("PROCEDURE_CATALOG"), QStringLiteral("PROCEDURE_SCHEMA"), QStringLiteral("PROCEDURE_NAME"),
                QStringLiteral("COLUMN_NAME"),       QStringLiteral("COLUMN_TYPE"),      QStringLiteral("TYPE_NAME"),
                QStringLiteral("ORDINAL_POSITION")};
    case Schema::Columns:
        return {QStringLiteral("TABLE_CATALOG"), QStringLiteral("TABLE_SCHEMA"), QStringLiteral("TABLE_NAME"),
                QStringLiteral("COLUMN_NAME"), QStringLiteral("ORDINAL_POSITION"), QStringLiteral("DATA_TYPE"),
                QStringLiteral("CHARACTER_MAXIMUM_LENGTH"), QStringLiteral("TYPE_NAME"), QStringLiteral("IS_NULLABLE")};
    }
    return {};
}

} // namespace db
