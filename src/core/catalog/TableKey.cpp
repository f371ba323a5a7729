#include "catalog/TableKey.h"

#include "catalog/SchemaReader.h"
#include "db/Connection.h"

namespace catalog {
namespace {

// Rows of (index, column): the primary key's first, then the unique
// indexes', each index's columns in key order. The first index is the key.
QStringList firstIndex(const db::Table& t) {
    QStringList columns;
    for (const auto& row : t.rows) {
        if (!columns.isEmpty() && row[0] != t.rows.front()[0]) break;
        columns << row[1].value_or(QString());
    }
    return columns;
}

db::Table postgresKeys(db::Connection& conn, const QString& table, const QString& schema) {
    return conn.query(QStringLiteral(
                          "SELECT i.indexrelid::text, a.attname FROM pg_index i"
                          " JOIN pg_class c ON c.oid = i.indrelid JOIN pg_namespace n ON n.oid = c.relnamespace"
                          " CROSS JOIN LATERAL unnest(i.indkey) WITH ORDINALITY k(attnum, ord)"
                          " JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum = k.attnum"
                          " WHERE c.relname = $1 AND ($2 = '' AND pg_table_is_visible(c.oid) OR n.nspname = $2)"
                          " AND (i.indisprimary OR i.indisunique AND i.indpred IS NULL AND i.indexprs IS NULL"
                          " AND NOT EXISTS (SELECT 1 FROM pg_attribute x WHERE x.attrelid = c.oid"
                          " AND x.attnum = ANY (i.indkey) AND NOT x.attnotnull))"
                          " ORDER BY i.indisprimary DESC, i.indexrelid, k.ord"),
                      {table, schema});
}

db::Table mariaKeys(db::Connection& conn, const QString& table, const QString& database) {
    return conn.query(QStringLiteral("SELECT INDEX_NAME, COLUMN_NAME FROM information_schema.STATISTICS s"
                                     " WHERE TABLE_SCHEMA = IF(? = '', DATABASE(), ?) AND TABLE_NAME = ? AND NON_UNIQUE = 0"
                                     " AND NOT EXISTS (SELECT 1 FROM information_schema.STATISTICS x"
                                     " WHERE x.TABLE_SCHEMA = s.TABLE_SCHEMA AND x.TABLE_NAME = s.TABLE_NAME"
                                     " AND x.INDEX_NAME = s.INDEX_NAME AND x.NULLABLE = 'YES')"
                                     " ORDER BY INDEX_NAME <> 'PRIMARY', INDEX_NAME, SEQ_IN_INDEX"),
                      {database, database, table});
}

db::Table sqliteKeys(db::Connection& conn, const QString& table, const QString& database) {
    const QString db = database.isEmpty() ? QStringLiteral("main") : database;
    const db::Table pk = conn.query(QStringLiteral("SELECT 'pk', name FROM pragma_table_info(?1, ?2) WHERE pk > 0 ORDER BY pk"),
                                    {table, db});
    if (!pk.rows.empty()) return pk;
    return conn.query(QStringLiteral("SELECT l.name, i.name FROM pragma_index_list(?1, ?2) l"
                                     " JOIN pragma_index_info(l.name, ?2) i WHERE l.\"unique\" = 1 AND l.partial = 0"
                                     " AND NOT EXISTS (SELECT 1 FROM pragma_index_info(l.name, ?2) x"
                                     " JOIN pragma_table_info(?1, ?2) c ON c.name = x.name WHERE c.\"notnull\" = 0)"
                                     " ORDER BY l.seq, i.seqno"),
                      {table, db});
}

} // namespace

Result<QStringList> getKeyColumnList(const QString& cs, const QString& table, const QString& currentDatabase,
                                     const QString& schema) {
    try {
        auto conn = db::Connection::open(cs);
        if (!currentDatabase.isEmpty()) conn->setDefaultDatabase(currentDatabase);
        switch (conn->serverFamily()) {
        case db::ServerFamily::PostgreSQL: return firstIndex(postgresKeys(*conn, table, schema));
        case db::ServerFamily::MariaDB: return firstIndex(mariaKeys(*conn, table, currentDatabase));
        case db::ServerFamily::SQLite: return firstIndex(sqliteKeys(*conn, table, currentDatabase));
        default: return QStringList();
        }
    } catch (const db::Error& e) {
        return fail(errorReport(e.description()));
    }
}

} // namespace catalog
