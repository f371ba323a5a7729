#pragma once
// The names of a connection's database that completion offers, read off
// the UI thread: its tables and views with the schema (or database) each
// belongs to and whether a bare name finds it, the schemas (databases on
// MariaDB, attached databases on SQLite), the dialect its names are written
// in, and on request the tables of another schema or database and the
// columns of one table. Each read opens its own connection.

#include "base/Result.h"
#include "catalog/SqlDialect.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace assist {

// What an entry of a completion list is; each kind has its own picture.
enum class Kind : quint8 {
    Keyword,
    Operator,
    Function,
    DataType,
    Table,
    View,
    SystemTable,
    Schema,
    Column,
    Variable,
    Placeholder, // a line that names the state of a list ("[No Connection]"); never inserted
};

struct CatalogTable {
    QString schema; // the schema (PostgreSQL, SQL Server) or database (MariaDB, SQLite); may be empty
    QString name;
    Kind kind = Kind::Table; // Table, View or SystemTable
    // Found by its bare name (on PostgreSQL's search path; elsewhere a name
    // no other schema uses); otherwise it is written with its schema.
    bool onPath = true;

    // As completion lists it: the bare name, or schema.name.
    QString listedText() const {
        return onPath || schema.isEmpty() ? name : schema + QLatin1Char('.') + name;
    }
};

struct CatalogTables {
    SqlDialect dialect;
    // User tables and views, then system tables, each in the order the
    // server lists them.
    std::vector<CatalogTable> tables;
    QStringList schemas;
    // The same tables by their listed text (the name, or schema.name) without
    // regard to case: indexes into tables, user tables and views first.
    std::vector<size_t> byText;

    // Fills byText (readTables does; a catalogue made by hand may call it).
    void sortByText();

    // Whether a schema part of a qualified name means a database (MariaDB,
    // SQLite) rather than a schema of the current database.
    bool schemasAreDatabases() const {
        return dialect.family == DialectFamily::MySql || dialect.family == DialectFamily::Sqlite;
    }
};


// The tables of the connection's current database (on PostgreSQL, of every
// schema but the system's) and its schemas or databases.
Result<CatalogTables> readTables(const QString& connectionString);
// The tables of one schema, or on MariaDB of another database, by name.
Result<std::vector<CatalogTable>> readTablesIn(const QString& connectionString, const QString& schema);
// The columns of one table in table order; database (when not empty) becomes
// the default database first; schema (when not empty) picks the table of that schema.
Result<QStringList> readColumns(const QString& connectionString, const QString& database, const QString& schema,
                                const QString& table);

} // namespace assist
