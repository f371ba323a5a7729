#include "catalog/SqlDialect.h"

#include <QStringList>

#include <algorithm>
#include <iterator>
#include <string_view>
#include <vector>

namespace {

// Reserved words of standard SQL, PostgreSQL, MariaDB/MySQL, SQLite and
// T-SQL (T-SQL's PUBLIC aside, see needsQuoting). Quoting a word that one server would accept bare costs
// nothing but looks; leaving a reserved one bare breaks the statement, so the list is the union.
// clang-format off
const char* const kReserved[] = {
    "ABORT", "ABSOLUTE", "ACCESSIBLE", "ACTION", "ADD", "AFTER", "ALL", "ALLOCATE", "ALTER", "ANALYSE",
    "ANALYZE", "AND", "ANY", "ARE", "ARRAY", "AS", "ASC", "ASENSITIVE", "ASYMMETRIC", "AT", "ATOMIC", "ATTACH",
    "AUTHORIZATION", "AUTOINCREMENT", "BACKUP", "BEFORE", "BEGIN", "BETWEEN", "BIGINT", "BINARY", "BLOB",
    "BOOLEAN", "BOTH", "BREAK", "BROWSE", "BULK", "BY", "CALL", "CALLED", "CASCADE", "CASCADED", "CASE",
    "CAST", "CHANGE", "CHAR", "CHARACTER", "CHECK", "CHECKPOINT", "CLOSE", "CLUSTERED", "COALESCE", "COLLATE",
    "COLLATION", "COLUMN", "COMMIT", "COMPUTE", "CONCURRENTLY", "CONDITION", "CONFLICT", "CONNECT",
    "CONSTRAINT", "CONTAINS", "CONTAINSTABLE", "CONTINUE", "CONVERT", "CORRESPONDING", "CREATE", "CROSS",
    "CUBE", "CURRENT", "CURRENT_CATALOG", "CURRENT_DATE", "CURRENT_ROLE", "CURRENT_SCHEMA", "CURRENT_TIME",
    "CURRENT_TIMESTAMP", "CURRENT_USER", "CURSOR", "CYCLE", "DATABASE", "DATABASES", "DAY_HOUR",
    "DAY_MICROSECOND", "DAY_MINUTE", "DAY_SECOND", "DBCC", "DEALLOCATE", "DEC", "DECIMAL", "DECLARE",
    "DEFAULT", "DEFERRABLE", "DEFERRED", "DELAYED", "DELETE", "DENY", "DESC", "DESCRIBE", "DETACH",
    "DETERMINISTIC", "DISCONNECT", "DISK", "DISTINCT", "DISTINCTROW", "DISTRIBUTED", "DIV", "DO", "DOUBLE",
    "DROP", "DUAL", "DUMP", "DYNAMIC", "EACH", "ELSE", "ELSEIF", "ENCLOSED", "END", "END-EXEC", "ERRLVL",
    "ESCAPE", "ESCAPED", "EXCEPT", "EXCLUDE", "EXCLUSIVE", "EXEC", "EXECUTE", "EXISTS", "EXIT", "EXPLAIN",
    "EXTERNAL", "FAIL", "FALSE", "FETCH", "FILE", "FILLFACTOR", "FILTER", "FIRST", "FLOAT", "FOLLOWING", "FOR",
    "FORCE", "FOREIGN", "FREETEXT", "FREETEXTTABLE", "FREEZE", "FROM", "FULL", "FULLTEXT", "FUNCTION",
    "GENERATED", "GET", "GLOB", "GLOBAL", "GOTO", "GRANT", "GROUP", "GROUPS", "HAVING", "HIGH_PRIORITY",
    "HOLD", "HOLDLOCK", "HOUR_MICROSECOND", "HOUR_MINUTE", "HOUR_SECOND", "IDENTITY", "IDENTITYCOL",
    "IDENTITY_INSERT", "IF", "IGNORE", "ILIKE", "IMMEDIATE", "IN", "INDEX", "INDEXED", "INFILE", "INITIALLY",
    "INNER", "INOUT", "INSENSITIVE", "INSERT", "INSTEAD", "INT", "INTEGER", "INTERSECT", "INTERVAL", "INTO",
    "IS", "ISNULL", "ITERATE", "JOIN", "KEY", "KEYS", "KILL", "LAST", "LATERAL", "LEADING", "LEAVE", "LEFT",
    "LIKE", "LIMIT", "LINEAR", "LINENO", "LINES", "LOAD", "LOCAL", "LOCALTIME", "LOCALTIMESTAMP", "LOCK",
    "LONG", "LONGBLOB", "LONGTEXT", "LOOP", "LOW_PRIORITY", "MATCH", "MATERIALIZED", "MEDIUMBLOB", "MEDIUMINT",
    "MEDIUMTEXT", "MERGE", "METHOD", "MIDDLEINT", "MINUTE_MICROSECOND", "MINUTE_SECOND", "MOD", "MODIFIES",
    "NATIONAL", "NATURAL", "NCHAR", "NEW", "NO", "NOCHECK", "NONCLUSTERED", "NONE", "NOT", "NOTHING",
    "NOTNULL", "NO_WRITE_TO_BINLOG", "NULL", "NULLIF", "NULLS", "NUMERIC", "OF", "OFF", "OFFSET", "OFFSETS",
    "OLD", "ON", "ONLY", "OPEN", "OPENDATASOURCE", "OPENQUERY", "OPENROWSET", "OPENXML", "OPTIMIZE", "OPTION",
    "OPTIONALLY", "OR", "ORDER", "OTHERS", "OUT", "OUTER", "OUTFILE", "OVER", "OVERLAPS", "PARTITION",
    "PERCENT", "PIVOT", "PLACING", "PLAN", "PRAGMA", "PRECEDING", "PRECISION", "PRIMARY", "PRINT", "PROC",
    "PROCEDURE", "PURGE", "QUERY", "RAISE", "RAISERROR", "RANGE", "READ", "READS", "READTEXT", "READ_WRITE",
    "REAL", "RECONFIGURE", "RECURSIVE", "REFERENCES", "REGEXP", "REINDEX", "RELEASE", "RENAME", "REPEAT",
    "REPLACE", "REPLICATION", "REQUIRE", "RESIGNAL", "RESTORE", "RESTRICT", "RESULT", "RETURN", "RETURNING",
    "RETURNS", "REVERT", "REVOKE", "RIGHT", "RLIKE", "ROLLBACK", "ROLLUP", "ROW", "ROWCOUNT", "ROWGUIDCOL",
    "ROWS", "RULE", "SAVE", "SAVEPOINT", "SCHEMA", "SCHEMAS", "SCROLL", "SECOND_MICROSECOND", "SECURITYAUDIT",
    "SELECT", "SEMANTICKEYPHRASETABLE", "SEMANTICSIMILARITYDETAILSTABLE", "SEMANTICSIMILARITYTABLE",
    "SENSITIVE", "SEPARATOR", "SESSION_USER", "SET", "SETUSER", "SHOW", "SHUTDOWN", "SIGNAL", "SIMILAR",
    "SMALLINT", "SOME", "SPATIAL", "SPECIFIC", "SQL", "SQLEXCEPTION", "SQLSTATE", "SQLWARNING",
    "SQL_BIG_RESULT", "SQL_CALC_FOUND_ROWS", "SQL_SMALL_RESULT", "SSL", "START", "STARTING", "STATISTICS",
    "STRAIGHT_JOIN", "SYMMETRIC", "SYSTEM", "SYSTEM_USER", "TABLE", "TABLESAMPLE", "TEMP", "TEMPORARY",
    "TERMINATED", "TEXTSIZE", "THEN", "TIES", "TINYBLOB", "TINYINT", "TINYTEXT", "TO", "TOP", "TRAILING",
    "TRAN", "TRANSACTION", "TRIGGER", "TRUE", "TRUNCATE", "TRY_CONVERT", "TSEQUAL", "UNBOUNDED", "UNDO",
    "UNION", "UNIQUE", "UNKNOWN", "UNLOCK", "UNPIVOT", "UNSIGNED", "UPDATE", "UPDATETEXT", "USAGE", "USE",
    "USER", "USING", "UTC_DATE", "UTC_TIME", "UTC_TIMESTAMP", "VACUUM", "VALUE", "VALUES", "VARBINARY",
    "VARCHAR", "VARCHARACTER", "VARIADIC", "VARYING", "VERBOSE", "VIEW", "VIRTUAL", "WAITFOR", "WHEN",
    "WHENEVER", "WHERE", "WHILE", "WINDOW", "WITH", "WITHIN", "WITHOUT", "WRITE", "WRITETEXT", "XOR",
    "YEAR_MONTH", "ZEROFILL",
};
// clang-format on

bool isPlainName(const QString& name) {
    if (name.isEmpty()) return false;
    const QChar first = name.front();
    if (!(first == QLatin1Char('_') || (first.unicode() < 128 && first.isLetter()))) return false;
    for (QChar c : name)
        if (!(c == QLatin1Char('_') || (c.unicode() < 128 && c.isLetterOrNumber()))) return false;
    return true;
}

} // namespace

bool isReservedWord(const QString& word) {
    // compared in upper case without building a string: completion asks for
    // every name of a catalogue of thousands
    static const std::vector<std::string_view> words = [] {
        std::vector<std::string_view> w(std::begin(kReserved), std::end(kReserved));
        std::sort(w.begin(), w.end());
        return w;
    }();
    constexpr qsizetype kLongest = 32;
    if (word.isEmpty() || word.size() > kLongest) return false;
    char upper[kLongest];
    for (qsizetype i = 0; i < word.size(); ++i) {
        const char16_t c = word[i].unicode();
        if (c >= 128) return false; // every reserved word is ASCII
        upper[i] = c >= 'a' && c <= 'z' ? char(c - 32) : char(c);
    }
    return std::binary_search(words.begin(), words.end(), std::string_view(upper, size_t(word.size())));
}

SqlDialect SqlDialect::forServer(db::ServerFamily server, const QString& driverQuote) {
    using db::ServerFamily;
    SqlDialect d;
    d.quote = driverQuote.trimmed();
    switch (server) {
    case ServerFamily::SqlServer:
        d.family = DialectFamily::TransactSql;
        d.quote = QStringLiteral("[");
        break;
    case ServerFamily::PostgreSQL:
        d.family = DialectFamily::PostgreSql;
        if (d.quote.isEmpty()) d.quote = QStringLiteral("\"");
        break;
    case ServerFamily::MariaDB:
        d.family = DialectFamily::MySql;
        if (d.quote.isEmpty()) d.quote = QStringLiteral("`");
        break;
    case ServerFamily::SQLite:
        d.family = DialectFamily::Sqlite;
        if (d.quote.isEmpty()) d.quote = QStringLiteral("\"");
        break;
    case ServerFamily::Other: break;
    }
    return d;
}

bool SqlDialect::needsQuoting(const QString& name) const {
    if (!isPlainName(name) || isReservedWord(name)) return true;
    // reserved in T-SQL only; PostgreSQL's usual schema is named so
    if (family == DialectFamily::TransactSql &&
        name.compare(QLatin1String("public"), Qt::CaseInsensitive) == 0)
        return true;
    // PostgreSQL folds bare names to lower case: any upper-case letter needs quotes
    return family == DialectFamily::PostgreSql &&
           std::any_of(name.begin(), name.end(), [](QChar c) { return c >= QLatin1Char('A') && c <= QLatin1Char('Z'); });
}

QString SqlDialect::quotedName(const QString& name) const {
    if (quote.isEmpty() || !needsQuoting(name)) return name;
    if (quote == QLatin1String("[")) {
        QString q = name;
        q.replace(QLatin1Char(']'), QLatin1String("]]"));
        return QLatin1Char('[') + q + QLatin1Char(']');
    }
    QString q = name;
    q.replace(quote, quote + quote);
    return quote + q + quote;
}

QString SqlDialect::literal(const QString& text) const {
    QString q = text;
    // MariaDB and MySQL read a backslash in a string as an escape
    if (family == DialectFamily::MySql) q.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    q.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}
