#include "db/OdbcTypes.h"

#include <sqlext.h>
#include <sqlucode.h>

#include <algorithm>

namespace db::odbc {

FieldType fieldType(SQLSMALLINT t, bool isUnsigned) {
    switch (t) {
    case SQL_CHAR: return FieldType::Char;
    case SQL_VARCHAR: return FieldType::VarChar;
    case SQL_LONGVARCHAR: return FieldType::LongVarChar;
    case SQL_WCHAR: return FieldType::WChar;
    case SQL_WVARCHAR: return FieldType::VarWChar;
    case SQL_WLONGVARCHAR: return FieldType::LongVarWChar;
    case SQL_DECIMAL: return FieldType::Decimal;
    case SQL_NUMERIC: return FieldType::Numeric;
    case SQL_SMALLINT: return isUnsigned ? FieldType::UnsignedSmallInt : FieldType::SmallInt;
    case SQL_INTEGER: return isUnsigned ? FieldType::UnsignedInt : FieldType::Integer;
    case SQL_REAL: return FieldType::Single;
    case SQL_FLOAT:
    case SQL_DOUBLE: return FieldType::Double;
    case SQL_BIT: return FieldType::Boolean;
    case SQL_TINYINT: return isUnsigned ? FieldType::UnsignedTinyInt : FieldType::TinyInt;
    case SQL_BIGINT: return isUnsigned ? FieldType::UnsignedBigInt : FieldType::BigInt;
    case SQL_BINARY: return FieldType::Binary;
    case SQL_VARBINARY: return FieldType::VarBinary;
    case SQL_LONGVARBINARY: return FieldType::LongVarBinary;
    case SQL_TYPE_DATE:
    case SQL_DATE: return FieldType::DbDate;
    case SQL_TYPE_TIME:
    case SQL_TIME: return FieldType::DbTime;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP: return FieldType::DbTimeStamp;
    case SQL_GUID: return FieldType::Guid;
    default: return FieldType::VarChar; // intervals and driver-specific types read as text
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

bool isLongValue(const ColumnDescription& d) {
    if (isBinaryType(d.sqlType))
        return isLongType(d.sqlType) || d.columnSize == 0 || SQLLEN(d.columnSize) > kMaxBoundChars;
    const SQLLEN chars = SQLLEN(std::max<SQLULEN>(d.columnSize, SQLULEN(std::max<SQLLEN>(d.displaySize, 0))));
    return isLongType(d.sqlType) || chars <= 0 || chars > kMaxBoundChars;
}

Field describedField(const QString& name, const ColumnDescription& d) {
    Field f;
    f.name = name;
    f.type = fieldType(d.sqlType, d.isUnsigned);
    f.precision = precision(d.sqlType, d.columnSize, d.displaySize);
    const bool sized = isCharacterType(d.sqlType) || isBinaryType(d.sqlType);
    f.definedSize = sized ? qint64(d.columnSize) : qint64(d.octetLength ? d.octetLength : SQLLEN(d.columnSize));
    // text and binary types without a declared size (text, blobs) lay out by their values
    f.unsized = sized && isLongValue(d);
    return f;
}

} // namespace db::odbc
