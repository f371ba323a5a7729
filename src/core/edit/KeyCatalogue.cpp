#include "edit/KeyCatalogue.h"

namespace edit {
namespace {

// Rows of (key name, column name, allows NULL, is primary) in key order make
// the list of keys: primary first, keys with a column that allows NULL left out.
std::vector<std::vector<QString>> keysFromRows(const db::Table& rows) {
    std::vector<std::vector<QString>> keys;
    QString current;
    bool nullable = false;
    std::vector<QString> columns;
    auto close = [&] {
        if (!columns.empty() && !nullable) keys.push_back(columns);
        columns.clear();
        nullable = false;
    };
    for (const auto& row : rows.rows) {
        const QString name = row[0].value_or(QString());
        if (name != current) {
            close();
            current = name;
        }
        columns.push_back(row[1].value_or(QString()));
        nullable = nullable || row[2].value_or(QString()) == QLatin1String("1");
    }
    close();
    return keys;
}

KeyCatalogue readPostgres(db::Connection& conn, const db::FieldOrigin& origin) {
    KeyCatalogue k;
    const QString oid = QString::number(origin.tableId);
    const db::Table rel = conn.query(
        QStringLiteral("SELECT n.nspname, c.relname, c.relkind::text, pg_relation_is_updatable(c.oid, false)::text "
                       "FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace WHERE c.oid = $1::oid"),
        {oid});
    if (rel.rows.empty()) {
        k.problem = QStringLiteral("read-only: the table is gone");
        return k;
    }
    k.table.schema = rel.rows[0][0].value_or(QString());
    k.table.name = rel.rows[0][1].value_or(QString());
    const QString kind = rel.rows[0][2].value_or(QString());
    const int updatable = rel.rows[0][3].value_or(QString()).toInt();
    constexpr int kUpdateInsertDelete = 4 | 8 | 16; // the server's bits for UPDATE, INSERT, DELETE
    if ((updatable & kUpdateInsertDelete) != kUpdateInsertDelete)
        k.problem = kind == QLatin1String("v") || kind == QLatin1String("m")
                        ? QStringLiteral("read-only: the view \"%1\" cannot be updated").arg(k.table.name)
                        : QStringLiteral("read-only: rows of \"%1\" cannot be written").arg(k.table.name);
    const db::Table cols = conn.query(
        QStringLiteral("SELECT attnum::text, attname FROM pg_attribute WHERE attrelid = $1::oid AND attnum > 0"), {oid});
    for (const auto& row : cols.rows) k.columnNames.insert(row[0].value_or(QString()).toInt(), row[1].value_or(QString()));
    const db::Table keys = conn.query(
        QStringLiteral("SELECT i.indexrelid::text, a.attname, CASE WHEN a.attnotnull OR i.indisprimary THEN '0' ELSE '1' END "
                       "FROM pg_index i CROSS JOIN LATERAL unnest(i.indkey::int2[]) WITH ORDINALITY AS k(attnum, ord) "
                       "JOIN pg_attribute a ON a.attrelid = i.indrelid AND a.attnum = k.attnum "
                       "WHERE i.indrelid = $1::oid AND i.indisunique AND i.indpred IS NULL AND i.indexprs IS NULL "
                       "ORDER BY i.indisprimary DESC, i.indexrelid, k.ord"),
        {oid});
    k.uniqueKeys = keysFromRows(keys);
    return k;
}

KeyCatalogue readMariaDb(db::Connection& conn, const db::FieldOrigin& origin) {
    KeyCatalogue k;
    k.table.catalog = origin.catalog;
    k.table.name = origin.table;
    const db::Table type = conn.query(QStringLiteral("SELECT TABLE_TYPE FROM information_schema.TABLES "
                                                     "WHERE TABLE_SCHEMA = ? AND TABLE_NAME = ?"),
                                      {origin.catalog, origin.table});
    if (!type.rows.empty() && type.rows[0][0].value_or(QString()) == QLatin1String("VIEW")) {
        const db::Table view = conn.query(QStringLiteral("SELECT IS_UPDATABLE FROM information_schema.VIEWS "
                                                         "WHERE TABLE_SCHEMA = ? AND TABLE_NAME = ?"),
                                          {origin.catalog, origin.table});
        if (view.rows.empty() || view.rows[0][0].value_or(QString()) != QLatin1String("YES"))
            k.problem = QStringLiteral("read-only: the view \"%1\" cannot be updated").arg(origin.table);
    }
    const db::Table keys = conn.query(
        QStringLiteral("SELECT INDEX_NAME, COLUMN_NAME, CASE WHEN NULLABLE = 'YES' THEN '1' ELSE '0' END "
                       "FROM information_schema.STATISTICS WHERE TABLE_SCHEMA = ? AND TABLE_NAME = ? AND NON_UNIQUE = 0 "
                       "ORDER BY INDEX_NAME <> 'PRIMARY', INDEX_NAME, SEQ_IN_INDEX"),
        {origin.catalog, origin.table});
    k.uniqueKeys = keysFromRows(keys);
    return k;
}

KeyCatalogue readSqlite(db::Connection& conn, const db::FieldOrigin& origin) {
    KeyCatalogue k;
    // the main database's tables are named bare, attached ones by their database
    k.table.catalog = origin.catalog == QLatin1String("main") ? QString() : origin.catalog;
    k.table.name = origin.table;
    const db::Table info = conn.query(
        QStringLiteral("SELECT name, pk, \"notnull\" FROM pragma_table_info(?, ?) ORDER BY pk"), {origin.table, origin.catalog});
    std::vector<QString> primary;
    QHash<QString, bool> notNull;
    for (const auto& row : info.rows) {
        if (row[1].value_or(QString()).toInt() > 0) primary.push_back(row[0].value_or(QString()));
        notNull.insert(row[0].value_or(QString()).toLower(), row[2].value_or(QString()) == QLatin1String("1"));
    }
    if (!primary.empty()) k.uniqueKeys.push_back(primary);
    const db::Table indexes = conn.query(
        QStringLiteral("SELECT name FROM pragma_index_list(?, ?) WHERE \"unique\" = 1 AND partial = 0 AND origin <> 'pk'"),
        {origin.table, origin.catalog});
    for (const auto& index : indexes.rows) {
        const db::Table cols = conn.query(QStringLiteral("SELECT name FROM pragma_index_info(?, ?) ORDER BY seqno"),
                                          {index[0].value_or(QString()), origin.catalog});
        std::vector<QString> key;
        bool usable = !cols.rows.empty();
        for (const auto& c : cols.rows) {
            usable = usable && c[0] && notNull.value(c[0]->toLower());
            key.push_back(c[0].value_or(QString()));
        }
        if (usable) k.uniqueKeys.push_back(key);
    }
    // A rowid table's rows are named by their rowid when the result has it
    // (unless a column of the table takes that name: then it is that column).
    if (notNull.contains(QStringLiteral("rowid"))) return k;
    const db::Table withoutRowid = conn.query(
        QStringLiteral("SELECT 1 FROM pragma_table_list WHERE name = ? AND schema = ? AND wr = 1"), {origin.table, origin.catalog});
    if (withoutRowid.rows.empty()) k.uniqueKeys.push_back({QStringLiteral("rowid")});
    return k;
}

} // namespace

KeyCatalogue readKeyCatalogue(db::Connection& conn, const db::FieldOrigin& origin) {
    switch (conn.serverFamily()) {
    case db::ServerFamily::PostgreSQL: return readPostgres(conn, origin);
    case db::ServerFamily::MariaDB: return readMariaDb(conn, origin);
    case db::ServerFamily::SQLite: return readSqlite(conn, origin);
    default: {
        KeyCatalogue k;
        k.problem = QStringLiteral("read-only: editing is not offered for %1 connections")
                        .arg(db::familyName(conn.serverFamily()));
        return k;
    }
    }
}

} // namespace edit
