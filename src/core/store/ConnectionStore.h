#pragma once
// The saved connections (table connections of the resource database). Every
// statement binds its values, so names and connection strings with quotes,
// "|" or any other text are stored and read back unchanged.

#include "base/Result.h"

#include <QString>

#include <optional>
#include <vector>

// The SQL dialect of a saved connection, as stored in its type column. The
// first three are the long-standing kinds; the others name the databases
// this editor talks to, so a PostgreSQL connection is not called T-SQL.
enum class ConnectionType : int {
    Unknown = 0, TSql = 1, JetSql = 2, AnsiSql = 3, PostgreSql = 4, MySql = 5, Sqlite = 6,
};

struct StoredConnection {
    qint64 primaryKey = 0;
    QString name;
    QString connectionString;
    int type = 1; // a ConnectionType number; NULL reads as 1
};

class ConnectionStore {
public:
    static Result<std::vector<StoredConnection>> list();
    // The new row's primary key.
    static Result<qint64> insertConnection(const QString& name, const QString& connectionString, int type);
    static Status updateConnection(qint64 primaryKey, const QString& name, const QString& connectionString, int type);
    static Status deleteConnection(qint64 primaryKey);

    // The type box texts, by type number 1..6 ("T-SQL (MS SQL)", "JET SQL",
    // "ANSI SQL", "PostgreSQL", "MySQL/MariaDB", "SQLite"); empty otherwise.
    static QString typeText(int type);
    static constexpr int kTypeCount = 6;
    // A type box text back to its number; anything else is 1.
    static int typeNumber(const QString& text);
    // The type of a connection by the DBMS that answered it
    // (db::Connection::providerName()); ANSI SQL for any other.
    static ConnectionType typeForDbms(const QString& dbmsName);
};
