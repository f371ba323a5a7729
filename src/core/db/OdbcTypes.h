#pragma once
// How ODBC column types map to the field types and precisions the rest
// of the program shows, and how each column is read.

#include "db/Field.h"
#include "db/FieldType.h"

#include <sql.h>

namespace db::odbc {

FieldType fieldType(SQLSMALLINT sqlType, bool isUnsigned);
bool isCharacterType(SQLSMALLINT sqlType);
bool isNumericType(SQLSMALLINT sqlType);
bool isLongType(SQLSMALLINT sqlType);
bool isBinaryType(SQLSMALLINT sqlType);

// Precision as described for fields: digits for numbers, the display size
// capped at 255 for everything else, 255 when the driver does not know.
int precision(SQLSMALLINT sqlType, SQLULEN columnSize, SQLLEN displaySize);

// Values wider than this many characters are read as long data.
inline constexpr SQLLEN kMaxBoundChars = 8000;

// A column as the ODBC descriptors describe it: its type, column size,
// display size and octet length (0 when unknown).
struct ColumnDescription {
    SQLSMALLINT sqlType = SQL_VARCHAR;
    SQLULEN columnSize = 0;
    SQLLEN displaySize = 0;
    SQLLEN octetLength = 0;
    bool isUnsigned = false;
};
// True when a value of the column has no bounded size (long types, sizes
// unknown or beyond kMaxBoundChars).
bool isLongValue(const ColumnDescription& d);
// The field of a column so described. The native backends describe their
// columns the way the drivers do and share this, so both paths agree.
Field describedField(const QString& name, const ColumnDescription& d);

} // namespace db::odbc
