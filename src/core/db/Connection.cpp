#include "db/Connection.h"

#include "db/ConnectionString.h"
#include "db/OdbcConnection.h"
#include "db/SqliteConnection.h"

namespace db {

std::unique_ptr<Connection> Connection::open(const QString& connectionString, const OpenOptions& options) {
    const ConnectionString cs(connectionString);
    if (connectionString.trimmed().isEmpty())
        throw Error(ErrGeneric, QStringLiteral("The connection string is empty."));
    if (cs.isSqlite()) return SqliteConnection::open(cs, options);
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

Table Connection::query(const QString& sql, const Params& params) {
    auto cursor = execute(sql, params);
    return readTable(*cursor);
}

qint64 Connection::exec(const QString& sql, const Params& params) {
    return execute(sql, params)->recordsAffected();
}

} // namespace db
