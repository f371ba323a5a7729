#include "assist/CompletionCatalog.h"

#include "catalog/SchemaReader.h"
#include "db/Connection.h"

#include <QHash>

#include <algorithm>

namespace assist {

void CatalogTables::sortByText() {
    std::vector<std::pair<QString, size_t>> keys;
    keys.reserve(tables.size());
    for (size_t i = 0; i < tables.size(); ++i)
        keys.push_back({(tables[i].kind == Kind::SystemTable ? QStringLiteral("1") : QStringLiteral("0")) +
                            tables[i].listedText().toCaseFolded(),
                        i});
    std::stable_sort(keys.begin(), keys.end());
    byText.clear();
    byText.reserve(keys.size());
    for (const auto& k : keys)
        byText.push_back(k.second);
}


namespace {

Kind kindOfType(const QString& type) {
    if (type == QLatin1String("SYSTEM TABLE")) return Kind::SystemTable;
    if (type.contains(QLatin1String("VIEW"))) return Kind::View;
    return Kind::Table;
}

// PostgreSQL says itself which tables the search path finds.
const QString kPgTables = QStringLiteral(
    "SELECT n.nspname, c.relname, CASE WHEN c.relkind IN ('v', 'm') THEN 'VIEW' ELSE 'TABLE' END,"
    " pg_table_is_visible(c.oid) FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace"
    " WHERE c.relkind IN ('r', 'p', 'v', 'm', 'f') AND n.nspname NOT IN ('pg_catalog', 'information_schema')"
    " AND n.nspname NOT LIKE 'pg\\_toast%' AND n.nspname NOT LIKE 'pg\\_temp%' ORDER BY n.nspname, c.relname");
const QString kPgSchemas = QStringLiteral(
    "SELECT nspname FROM pg_namespace WHERE nspname NOT IN ('pg_catalog', 'information_schema')"
    " AND nspname NOT LIKE 'pg\\_%' ORDER BY nspname");

std::vector<CatalogTable> pgTables(db::Connection& conn) {
    std::vector<CatalogTable> out;
    const db::Table t = conn.query(kPgTables);
    for (const auto& row : t.rows) {
        const QString visible = row[3].value_or(QString());
        out.push_back({row[0].value_or(QString()), row[1].value_or(QString()), kindOfType(row[2].value_or(QString())),
                       visible == QLatin1String("t") || visible == QLatin1String("1") ||
                           visible.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0});
    }
    return out;
}

// The schema rowset of the others: the schema where the backend has one,
// else the database; a name that two schemas use is written with its schema.
std::vector<CatalogTable> listedTables(db::Connection& conn, const QString& database) {
    std::vector<CatalogTable> out;
    const db::Table t = conn.schema(db::Schema::Tables, {database});
    QHash<QString, int> uses;
    for (size_t r = 0; r < t.rows.size(); ++r) {
        QString schema = t.text(r, QStringLiteral("TABLE_SCHEMA"));
        if (schema.isEmpty()) schema = t.text(r, QStringLiteral("TABLE_CATALOG"));
        const QString name = t.text(r, QStringLiteral("TABLE_NAME"));
        ++uses[name];
        out.push_back({schema, name, kindOfType(t.text(r, QStringLiteral("TABLE_TYPE"))), true});
    }
    for (CatalogTable& table : out)
        table.onPath = uses.value(table.name) < 2;
    return out;
}

// User tables and views first, then the system's.
void partitionSystem(std::vector<CatalogTable>& tables) {
    std::stable_partition(tables.begin(), tables.end(),
                          [](const CatalogTable& t) { return t.kind != Kind::SystemTable; });
}

SqlDialect dialectOf(db::Connection& conn) {
    return SqlDialect::forServer(conn.serverFamily(), conn.identifierQuote());
}

} // namespace

Result<CatalogTables> readTables(const QString& cs) {
    try {
        auto conn = db::Connection::open(cs);
        CatalogTables out;
        out.dialect = dialectOf(*conn);
        if (out.dialect.family == DialectFamily::PostgreSql) {
            out.tables = pgTables(*conn);
            out.sortByText();
            for (const auto& row : conn->query(kPgSchemas).rows)
                out.schemas << row[0].value_or(QString());
            return out;
        }
        // MariaDB lists every database's tables unless one is named
        out.tables = listedTables(
            *conn, out.dialect.family == DialectFamily::MySql ? conn->defaultDatabase() : QString());
        partitionSystem(out.tables);
        out.sortByText();
        if (out.schemasAreDatabases()) {
            const db::Table catalogs = conn->schema(db::Schema::Catalogs);
            for (size_t r = 0; r < catalogs.rows.size(); ++r)
                out.schemas << catalogs.text(r, QStringLiteral("CATALOG_NAME"));
        } else {
            for (const CatalogTable& t : out.tables)
                if (!t.schema.isEmpty() && !out.schemas.contains(t.schema)) out.schemas << t.schema;
        }
        return out;
    } catch (const db::Error& e) {
        return fail(catalog::errorReport(e.description()));
    }
}

Result<std::vector<CatalogTable>> readTablesIn(const QString& cs, const QString& schema) {
    try {
        auto conn = db::Connection::open(cs);
        const SqlDialect dialect = dialectOf(*conn);
        std::vector<CatalogTable> all;
        if (dialect.family == DialectFamily::PostgreSql)
            all = pgTables(*conn);
        else
            all = listedTables(*conn, dialect.family == DialectFamily::MySql ? schema : QString());
        std::vector<CatalogTable> out;
        for (CatalogTable& t : all)
            if (t.schema.compare(schema, Qt::CaseInsensitive) == 0) out.push_back(std::move(t));
        partitionSystem(out);
        return out;
    } catch (const db::Error& e) {
        return fail(catalog::errorReport(e.description()));
    }
}

Result<QStringList> readColumns(const QString& cs, const QString& database, const QString& schema,
                                const QString& table) {
    return catalog::getColumnList(cs, table, database, schema);
}

} // namespace assist
