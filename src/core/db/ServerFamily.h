#pragma once
// Which kind of server a connection talks to: the one answer every caller
// uses to choose a dialect, a backend or a server-specific statement.
//
// Two ways to ask, which agree for the same server:
//  - a live connection answers from the server's own name for itself
//    (Connection::serverFamily(), from the DBMS name it reports);
//  - a connection string answers before connecting, from Provider=SQLite,
//    the Driver it names, or the driver behind its DSN (odbc.ini).
// No other code compares provider or driver names.

#include <QString>

namespace db {

class ConnectionString;

enum class ServerFamily {
    Other,
    PostgreSQL,
    MariaDB, // MariaDB and MySQL: one client protocol, one dialect
    SQLite,
    SqlServer, // SQL Server and the other T-SQL servers (Sybase ASE)
};

// The family of a DBMS name as a server or driver reports it
// (SQL_DBMS_NAME: "PostgreSQL", "MariaDB", "MySQL", "Microsoft SQL Server", "SQLite").
ServerFamily familyOfDbms(const QString& dbmsName);

// The family a connection string will reach, without connecting. A DSN is
// looked up in the ODBC data source files (user and system) for its driver.
ServerFamily familyOfConnectionString(const ConnectionString& cs);
ServerFamily familyOfConnectionString(const QString& connectionString);

// The ODBC driver a string names: its Driver value, or the driver of its DSN;
// empty when neither is known.
QString odbcDriverOf(const ConnectionString& cs);

// A short name for messages ("PostgreSQL", "MariaDB/MySQL", …).
QString familyName(ServerFamily family);

} // namespace db
