#pragma once
// How ODBC column types map to the field types and precisions the rest
// of the program shows, and how each column is read.

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

} // namespace db::odbc
