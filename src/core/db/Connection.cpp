#include "db/Connection.h"

#include "db/ConnectionString.h"
#include "db/MariaConnection.h"
#include "db/OdbcConnection.h"
#include "db/PgConnection.h"
#include "db/ServerFamily.h"
#include "db/SqliteConnection.h"

namespace db {

std::unique_ptr<Connection> Connection::open(const QString& connectionString, const OpenOptions& options) {
    const ConnectionString cs(connectionString);
    if (connectionString.trimmed().isEmpty())
        throw Error::usage(QStringLiteral("The connection string is empty."));
    if (cs.isSqlite()) return SqliteConnection::open(cs, options);
    // The native clients read the server's address from the string itself; a
    // DSN keeps it in the data source files, so it goes to its ODBC driver.
    if (!cs.wantsOdbc() && cs.has(QStringLiteral("Driver"))) {
        const ServerFamily family = familyOfConnectionString(cs);
        if (family == ServerFamily::PostgreSQL) return PgConnection::open(cs, options);
        if (family == ServerFamily::MariaDB) return MariaConnection::open(cs, options);
    }
    return OdbcConnection::open(connectionString, options);
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
