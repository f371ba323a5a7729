#pragma once
// MariaDB (and MySQL) columns as the native backend presents them: each is
// described the way MariaDB Connector/ODBC describes it, so a result lays
// out the same through either backend (but for the room binary values
// need). Values are the server's text, with binary data as "0x" and
// upper-case hex digits, as the mariadb client shows them with
// --binary-as-hex.

#include "db/OdbcTypes.h"

struct st_mysql_field;

namespace db::maria {

// The driver's description of a result column.
odbc::ColumnDescription describe(const st_mysql_field& field);
// True when the column's values are bytes (shown as hex digits).
bool isBinary(const st_mysql_field& field);

// A catalogue column (information_schema.COLUMNS): its field type number and
// the length the catalogue lists (characters for text, bytes of a bound
// value for numbers, as the driver's SQLColumns gives them).
struct CatalogColumn {
    FieldType type = FieldType::VarWChar;
    QString length;   // empty for none
    QString typeName; // upper case, "UNSIGNED" appended where it applies
};
CatalogColumn catalogColumn(const QString& dataType, const QString& columnType, const QString& charLength,
                            const QString& octetLength, const QString& numericPrecision, const QString& numericScale);

} // namespace db::maria
