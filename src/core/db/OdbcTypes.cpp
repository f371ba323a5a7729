#include "db/OdbcTypes.h"

#include <sqlext.h>
#include <sqlucode.h>

#include <algorithm>

namespace db::odbc {

int adoType(SQLSMALLINT t, bool isUnsigned) {
    switch (t) {
    case SQL_CHAR: return 129;
    case SQL_VARCHAR: return 200;
    case SQL_LONGVARCHAR: return 201;
    case SQL_WCHAR: return 130;
    case SQL_WVARCHAR: return 202;
    case SQL_WLONGVARCHAR: return 203;
    case SQL_DECIMAL: return 14;
    case SQL_NUMERIC: return 131;
    case SQL_SMALLINT: return isUnsigned ? 18 : 2;
    case SQL_INTEGER: return isUnsigned ? 19 : 3;
    case SQL_REAL: return 4;
    case SQL_FLOAT:
    case SQL_DOUBLE: return 5;
    case SQL_BIT: return 11;
    case SQL_TINYINT: return isUnsigned ? 17 : 16;
    case SQL_BIGINT: return isUnsigned ? 21 : 20;
    case SQL_BINARY: return 128;
    case SQL_VARBINARY: return 204;
    case SQL_LONGVARBINARY: return 205;
    case SQL_TYPE_DATE:
    case SQL_DATE: return 133;
    case SQL_TYPE_TIME:
    case SQL_TIME: return 134;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP: return 135;
    case SQL_GUID: return 72;
    default: return 200; // intervals and driver-specific types read as text
    }
}

bool isCharacterType(SQLSMALLINT t) {
    switch (t) {
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_LONGVARCHAR:
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR: return true;
    default: return false;
    }
}

bool isNumericType(SQLSMALLINT t) {
    switch (t) {
    case SQL_DECIMAL:
    case SQL_NUMERIC:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_TINYINT:
    case SQL_BIGINT: return true;
    default: return false;
    }
}

bool isLongType(SQLSMALLINT t) {
    return t == SQL_LONGVARCHAR || t == SQL_WLONGVARCHAR || t == SQL_LONGVARBINARY;
}

bool isBinaryType(SQLSMALLINT t) { return t == SQL_BINARY || t == SQL_VARBINARY || t == SQL_LONGVARBINARY; }

int precision(SQLSMALLINT t, SQLULEN columnSize, SQLLEN displaySize) {
    if (isNumericType(t)) return columnSize > 0 ? int(std::min<SQLULEN>(columnSize, 255)) : 255;
    if (displaySize <= 0 || displaySize == SQL_NO_TOTAL) return 255;
    return int(std::min<SQLLEN>(displaySize, 255));
}

} // namespace db::odbc
