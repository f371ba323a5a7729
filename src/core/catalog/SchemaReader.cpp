#include "catalog/SchemaReader.h"

#include "catalog/NodeKey.h"
#include "store/ResourceDb.h"
#include "db/Connection.h"
#include "db/FieldType.h"

#include <QSet>

#include <functional>

namespace catalog {
namespace {

std::unique_ptr<db::Connection> openFor(const QString& cs, const QString& database = QString()) {
    auto conn = db::Connection::open(cs);
    if (!database.isEmpty()) conn->setDefaultDatabase(database);
    return conn;
}

QStringList namesOf(const db::Table& t, const QString& column, const QString& typeColumn = QString(),
                    const QString& type = QString()) {
    QStringList out;
    for (size_t r = 0; r < t.rows.size(); ++r) {
        if (!typeColumn.isEmpty() && t.text(r, typeColumn) != type) continue;
        out << t.text(r, column);
    }
    return out;
}

Result<QStringList> listTables(const QString& cs, const QString& type) {
    try {
        return namesOf(openFor(cs)->schema(db::Schema::Tables), QStringLiteral("TABLE_NAME"),
                       QStringLiteral("TABLE_TYPE"), type);
    } catch (const db::Error& e) {
        return fail(errorReport(e.description()));
    }
}

QString tableTypeFor(const QString& letter) {
    if (letter == QLatin1String("U")) return QStringLiteral("TABLE");
    if (letter == QLatin1String("S")) return QStringLiteral("SYSTEM TABLE");
    if (letter == QLatin1String("V")) return QStringLiteral("VIEW");
    return {};
}

// Adds a node; a key already present gets the schema as a further piece.
void addUnique(NodeList& list, QSet<QString>& keys, const QString& key, const QString& qualifier,
               const QString& text, NodeImage image) {
    QString k = key;
    if (keys.contains(k))
        k += QLatin1Char('|') + (qualifier.isEmpty() ? QString::number(list.nodes.size()) : catalog::nodeKeyPiece(qualifier));
    if (keys.contains(k)) return;
    keys.insert(k);
    list.nodes.push_back({k, text, image, qualifier});
}

// The schema of the first table of that name, of any schema; empty when
// there is none or the backend has no schemas. A table asked for without
// its schema is looked for where the connection's search path finds it;
// one outside that path (a schema created later, or never on the path) is
// found here.
QString schemaHolding(db::Connection& conn, const QString& catalog, const QString& table) {
    const db::Table t = conn.schema(db::Schema::Tables, {catalog});
    for (size_t r = 0; r < t.rows.size(); ++r)
        if (t.text(r, QStringLiteral("TABLE_NAME")) == table) return t.text(r, QStringLiteral("TABLE_SCHEMA"));
    return {};
}

bool listsTable(const db::Table& t, const QString& table) {
    for (size_t r = 0; r < t.rows.size(); ++r)
        if (t.text(r, QStringLiteral("TABLE_NAME")) == table) return true;
    return false;
}

// The columns rowset of one table; without a schema, the table the search
// path finds or, when it finds none, the one schemaHolding() names.
db::Table columnsOf(db::Connection& conn, const QString& catalog, const QString& table, QString& schemaName) {
    db::Table t = conn.schema(db::Schema::Columns, {catalog, table, schemaName});
    if (!schemaName.isEmpty() || table.isEmpty() || listsTable(t, table)) return t;
    schemaName = schemaHolding(conn, catalog, table);
    return schemaName.isEmpty() ? t : conn.schema(db::Schema::Columns, {catalog, table, schemaName});
}

NodeList columnDetails(const QString& cs, const QString& parentKey, const QString& database, const QString& table,
                       QString schemaName, const QString& column) {
    NodeList out;
    try {
        auto conn = openFor(cs, database);
        const db::Table t = columnsOf(*conn, database, table, schemaName);
        for (size_t r = 0; r < t.rows.size(); ++r) {
            if (t.text(r, QStringLiteral("TABLE_NAME")) != table || t.text(r, QStringLiteral("COLUMN_NAME")) != column)
                continue;
            if (!schemaName.isEmpty() && t.text(r, QStringLiteral("TABLE_SCHEMA")) != schemaName) continue;
            out.nodes.push_back({QStringLiteral("QQQQQQQQQQS|") + parentKey,
                                 t.text(r, QStringLiteral("CHARACTER_MAXIMUM_LENGTH")), NodeImage::ColumnSize});
            out.nodes.push_back({QStringLiteral("QQQQQQQQQQT|") + parentKey,
                                 adoTypeName(t.text(r, QStringLiteral("DATA_TYPE"))), NodeImage::ColumnType});
            break;
        }
    } catch (const db::Error& e) {
        out.status = fail(errorReport(e.description()));
    }
    return out;
}

// The children of a catalogue folder: one node per row of the rowset that
// passes the filter, keyed prefix + "|" + parentKey + "|" + name.
NodeList folderNodes(const QString& cs, const QString& parentKey, db::Schema rowset, const QString& nameColumn,
                     const QString& schemaColumn, const std::function<bool(const db::Table&, size_t)>& keep,
                     const QString& prefix, NodeImage image) {
    NodeList out;
    try {
        const QString catalog = catalog::splitNodeKey(parentKey).value(1); // "CCU|" + catalogue
        const db::Table t = openFor(cs, catalog)->schema(rowset, {catalog, QString()});
        QSet<QString> keys;
        for (size_t r = 0; r < t.rows.size(); ++r) {
            if (!keep(t, r)) continue;
            const QString name = t.text(r, nameColumn);
            addUnique(out, keys, prefix + QLatin1Char('|') + parentKey + QLatin1Char('|') + catalog::nodeKeyPiece(name),
                      t.text(r, schemaColumn), name, image);
        }
    } catch (const db::Error& e) {
        out.status = fail(errorReport(e.description()));
    }
    return out;
}

// The columns of one table (of one schema, when given) as nodes keyed
// prefix + "|" + parentKey + "|" + column.
NodeList tableColumnNodes(const QString& cs, const QString& parentKey, const QString& catalog, const QString& table,
                          QString schemaName, const QString& prefix) {
    NodeList out;
    try {
        const db::Table t = columnsOf(*openFor(cs, catalog), catalog, table, schemaName);
        QSet<QString> keys;
        for (size_t r = 0; r < t.rows.size(); ++r) {
            if (t.text(r, QStringLiteral("TABLE_NAME")) != table) continue;
            if (!schemaName.isEmpty() && t.text(r, QStringLiteral("TABLE_SCHEMA")) != schemaName) continue;
            const QString col = t.text(r, QStringLiteral("COLUMN_NAME"));
            addUnique(out, keys, prefix + QLatin1Char('|') + parentKey + QLatin1Char('|') + catalog::nodeKeyPiece(col),
                      t.text(r, QStringLiteral("TABLE_SCHEMA")), col, NodeImage::Column);
        }
    } catch (const db::Error& e) {
        out.status = fail(errorReport(e.description()));
    }
    return out;
}

} // namespace

QString errorReport(const QString& description) {
    return QStringLiteral("Error: ") + description + QStringLiteral("\r\nThe database structure could not be read.");
}

Result<QStringList> getTableList(const QString& cs) { return listTables(cs, QStringLiteral("TABLE")); }
Result<QStringList> getSystemTableList(const QString& cs) { return listTables(cs, QStringLiteral("SYSTEM TABLE")); }

Result<QStringList> getCatalogList(const QString& cs) {
    try {
        return namesOf(openFor(cs)->schema(db::Schema::Catalogs), QStringLiteral("CATALOG_NAME"));
    } catch (const db::Error& e) {
        return fail(errorReport(e.description()));
    }
}

Result<QStringList> getColumnList(const QString& cs, const QString& table, const QString& currentDatabase,
                                  QString schema) {
    try {
        auto conn = openFor(cs, currentDatabase);
        const db::Table t = columnsOf(*conn, currentDatabase, table, schema);
        QStringList out;
        for (size_t r = 0; r < t.rows.size(); ++r) {
            if (t.text(r, QStringLiteral("TABLE_NAME")) != table) continue;
            if (!schema.isEmpty() && t.text(r, QStringLiteral("TABLE_SCHEMA")) != schema) continue;
            out << t.text(r, QStringLiteral("COLUMN_NAME"));
        }
        return out;
    } catch (const db::Error& e) {
        return fail(errorReport(e.description()));
    }
}

Result<ProcedureSignature> getProcedureSignature(const QString& cs, const QString& catalog, const QString& schema,
                                                 const QString& procedure) {
    try {
        auto conn = openFor(cs, catalog);
        ProcedureSignature sig;
        const db::Table procs = conn->schema(db::Schema::Procedures, {catalog, QString(), schema});
        for (size_t r = 0; r < procs.rows.size(); ++r)
            if (procs.text(r, QStringLiteral("PROCEDURE_NAME")) == procedure)
                sig.isFunction = procs.text(r, QStringLiteral("PROCEDURE_TYPE")) == QLatin1String("2");
        if (conn->serverFamily() == db::ServerFamily::PostgreSQL) {
            // the driver lists procedures as functions: ask the server which it is
            const db::Table kind = conn->query(
                QStringLiteral("SELECT p.prokind FROM pg_catalog.pg_proc p JOIN pg_catalog.pg_namespace n"
                               " ON n.oid = p.pronamespace WHERE p.proname = ? AND (? = '' OR n.nspname = ?)"),
                {procedure, schema, schema});
            if (!kind.rows.empty()) sig.isFunction = kind.text(0, QStringLiteral("prokind")) != QLatin1String("p");
        }
        const db::Table t = conn->schema(db::Schema::ProcedureColumns, {catalog, procedure, schema});
        for (size_t r = 0; r < t.rows.size(); ++r) {
            if (t.text(r, QStringLiteral("PROCEDURE_NAME")) != procedure) continue;
            using Dir = ProcedureSignature::Direction;
            // 1 in, 2 in/out, 4 out; result columns (3) and return values (5) are no arguments
            const int type = t.text(r, QStringLiteral("COLUMN_TYPE")).toInt();
            if (type != 1 && type != 2 && type != 4) continue;
            sig.parameters.push_back(
                {t.text(r, QStringLiteral("COLUMN_NAME")), type == 1 ? Dir::In : type == 4 ? Dir::Out : Dir::InOut});
        }
        return sig;
    } catch (const db::Error& e) {
        return fail(errorReport(e.description()));
    }
}

Result<ProviderKind> getProviderKind(const QString& providerName) {
    try {
        auto conn = ResourceDb::open();
        const db::Table t =
            conn->query(QStringLiteral("SELECT returnvalue FROM providers WHERE provider_name LIKE ?"), {providerName});
        if (t.rows.empty())
            return fail(errorReport(QStringLiteral("The provider \"%1\" has no entry in the providers table.").arg(providerName)));
        if (!t.rows[0][0]) return fail(errorReport(QStringLiteral("The provider \"%1\" has no kind.").arg(providerName)));
        const QString text = t.rows[0][0]->trimmed();
        bool ok = true;
        // empty, or anything that reads as 0, means a catalogue server
        if (text.isEmpty() || text.toDouble(&ok) == 0.0) {
            if (!ok) return fail(errorReport(QStringLiteral("The kind \"%1\" is not a number.").arg(text)));
            return ProviderKind::CatalogServer;
        }
        const int kind = int(text.toDouble(&ok));
        if (!ok || kind < -32768 || kind > 32767)
            return fail(errorReport(QStringLiteral("The kind \"%1\" is not a number.").arg(text)));
        if (kind == int(ProviderKind::CatalogServer)) return ProviderKind::CatalogServer;
        if (kind == int(ProviderKind::SingleDatabase)) return ProviderKind::SingleDatabase;
        return ProviderKind::None; // a kind that lists nothing
    } catch (const db::Error& e) {
        return fail(errorReport(e.description()));
    }
}

NodeList addTableNodes(const QString& cs, const QString& parentKey, const QString& type) {
    const QString wanted = tableTypeFor(type);
    if (wanted.isEmpty()) return {};
    return folderNodes(
        cs, parentKey, db::Schema::Tables, QStringLiteral("TABLE_NAME"), QStringLiteral("TABLE_SCHEMA"),
        [&](const db::Table& t, size_t r) { return t.text(r, QStringLiteral("TABLE_TYPE")) == wanted; },
        QStringLiteral("XXXXX"), type == QLatin1String("U") ? NodeImage::Table : NodeImage::OtherTable);
}

NodeList addProcedureNodes(const QString& cs, const QString& parentKey, const QString& type) {
    if (type != QLatin1String("P")) return {};
    return folderNodes(
        cs, parentKey, db::Schema::Procedures, QStringLiteral("PROCEDURE_NAME"), QStringLiteral("PROCEDURE_SCHEMA"),
        [](const db::Table&, size_t) { return true; }, QStringLiteral("ZZZZZ"), NodeImage::Table);
}

NodeList addColumnNodes(const QString& cs, const QString& parentKey, const QString& schema) {
    // "XXXXX|CCU|catalogue|table" (+ "|schema" for a second table of the same name)
    const QStringList p = catalog::splitNodeKey(parentKey);
    return tableColumnNodes(cs, parentKey, p.value(2), p.value(3), schema.isEmpty() ? p.value(4) : schema,
                            QStringLiteral("YYYYYY"));
}

NodeList addFlatColumnNodes(const QString& cs, const QString& parentKey, const QString& schema) {
    // "C" + table
    return tableColumnNodes(cs, parentKey, QString(), catalog::splitNodeKey(parentKey).value(0).mid(1), schema,
                            QStringLiteral("ZZZZZZ"));
}

NodeList addColumnInfoNodes(const QString& cs, const QString& parentKey, const QString& columnName,
                            const QString& schema) {
    // "YYYYYY|XXXXX|CCU|catalogue|table|column" (a schema piece may follow the table)
    const QStringList p = catalog::splitNodeKey(parentKey);
    const QString schemaName = !schema.isEmpty() ? schema : p.size() > 6 ? p.value(5) : QString();
    return columnDetails(cs, parentKey, p.value(3), p.value(4), schemaName, columnName);
}

NodeList addFlatColumnInfoNodes(const QString& cs, const QString& parentKey, const QString& columnName,
                                const QString& schema) {
    // "ZZZZZZ|Ctable|column"
    return columnDetails(cs, parentKey, QString(), catalog::splitNodeKey(parentKey).value(1).mid(1), schema, columnName);
}

} // namespace catalog
