#pragma once
// How a database writes names and limits: the dialect family of a
// connection's DBMS and the identifier quote character its driver reports.
// The statement generator writes every name through quotedName(), so a name
// with a blank, a quote, upper-case letters where the server folds case, or a
// reserved word still makes a valid statement, while plain names stay bare.

#include "db/ServerFamily.h"

#include <QString>

enum class DialectFamily {
    TransactSql, // SQL Server and other T-SQL servers: TOP n, catalogue..table
    PostgreSql,  // LIMIT n, schema.table, unquoted names fold to lower case
    MySql,       // MariaDB and MySQL: LIMIT n, database.table, back-quotes
    Sqlite,      // LIMIT n, database.table
    Standard,    // anything else: FETCH FIRST n ROWS ONLY, the driver's quote
};

struct SqlDialect {
    DialectFamily family = DialectFamily::Standard;
    // The driver's identifier quote character; empty when it has none (names
    // are then written bare). T-SQL quotes with brackets whatever the driver says.
    QString quote = QStringLiteral("\"");

    // The dialect of a kind of server with the quote character of its driver.
    static SqlDialect forServer(db::ServerFamily server, const QString& driverQuote);

    // True when name must be quoted to be read back as exactly this name.
    bool needsQuoting(const QString& name) const;
    // name, quoted when it needs it (embedded quote characters doubled).
    QString quotedName(const QString& name) const;
    // text as a string literal of this dialect.
    QString literal(const QString& text) const;
};

// True for words that are reserved in one of the dialects above (any case).
bool isReservedWord(const QString& word);
