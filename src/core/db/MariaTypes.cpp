#include "db/MariaTypes.h"

#include "db/ClientLibraries.h"

#include <sqlext.h>
#include <sqlucode.h>

namespace db::maria {
namespace {

constexpr unsigned kBinaryCharset = 63;
constexpr SQLLEN kHexPrefix = 2; // bytes show as "0x" and two hex digits each

bool isStringType(enum_field_types t) {
    switch (t) {
    case MYSQL_TYPE_TINY_BLOB: case MYSQL_TYPE_MEDIUM_BLOB: case MYSQL_TYPE_LONG_BLOB: case MYSQL_TYPE_BLOB:
    case MYSQL_TYPE_VAR_STRING: case MYSQL_TYPE_VARCHAR: case MYSQL_TYPE_STRING: case MYSQL_TYPE_ENUM:
    case MYSQL_TYPE_SET: case MYSQL_TYPE_JSON: return true;
    default: return false;
    }
}

// Digits after the point of a time value, and the characters they take.
SQLLEN fraction(unsigned decimals) { return decimals > 0 && decimals <= 6 ? SQLLEN(decimals) + 1 : 0; }

unsigned charMaxLen(unsigned charset) {
    const MARIADB_CHARSET_INFO* cs = my().mariadb_get_charset_by_nr(charset);
    return cs ? cs->char_maxlen : 1;
}

} // namespace

bool isBinary(const MYSQL_FIELD& f) {
    if (f.type == MYSQL_TYPE_BIT || f.type == MYSQL_TYPE_GEOMETRY) return true;
    return isStringType(f.type) && f.charsetnr == kBinaryCharset && f.type != MYSQL_TYPE_ENUM &&
           f.type != MYSQL_TYPE_SET;
}

odbc::ColumnDescription describe(const MYSQL_FIELD& f) {
    odbc::ColumnDescription d;
    d.isUnsigned = f.flags & UNSIGNED_FLAG;
    const SQLLEN length = SQLLEN(std::min<unsigned long>(f.length, 0x7fffffffUL * 2 + 1));
    const bool binary = isBinary(f);
    // characters of a text column: its bytes over the most a character takes
    const unsigned maxLen = binary ? 1 : charMaxLen(f.charsetnr);
    const SQLLEN chars = maxLen < 2 ? length : length / maxLen;
    auto number = [&](SQLSMALLINT t, SQLULEN size, SQLLEN display, SQLLEN octets) {
        d.sqlType = t;
        d.columnSize = size;
        d.displaySize = display;
        d.octetLength = octets;
        return d;
    };
    const int unsignedOne = d.isUnsigned ? 1 : 0;
    switch (f.type) {
    case MYSQL_TYPE_NULL: return number(SQL_WVARCHAR, 0, 1, 1);
    case MYSQL_TYPE_TINY:
        if (!(f.flags & NUM_FLAG)) return number(SQL_WCHAR, 1, 1, 1);
        return number(SQL_TINYINT, 3, 4 - unsignedOne, 1);
    case MYSQL_TYPE_SHORT: return number(SQL_SMALLINT, 5, 6 - unsignedOne, 2);
    case MYSQL_TYPE_YEAR: return number(SQL_SMALLINT, 5, 6 - unsignedOne, 2);
    case MYSQL_TYPE_INT24: return number(SQL_INTEGER, 10, 9 - unsignedOne, 4);
    case MYSQL_TYPE_LONG: return number(SQL_INTEGER, 10, 11 - unsignedOne, 4);
    case MYSQL_TYPE_LONGLONG: return number(SQL_BIGINT, SQLULEN(20 - unsignedOne), 20, 8);
    case MYSQL_TYPE_FLOAT: return number(SQL_REAL, 7, 7, 4);
    case MYSQL_TYPE_DOUBLE: return number(SQL_DOUBLE, 15, 15, 8);
    case MYSQL_TYPE_DECIMAL:
    case MYSQL_TYPE_NEWDECIMAL: {
        // digits: the length without a sign and a decimal point
        const SQLLEN digits = length - (d.isUnsigned ? 0 : 1) - (f.decimals != 0 ? 1 : 0);
        const SQLLEN display = length + (digits == SQLLEN(f.decimals) ? 1 : 0);
        return number(SQL_DECIMAL, SQLULEN(std::max<SQLLEN>(digits, 0)), display, display);
    }
    case MYSQL_TYPE_DATE:
    case MYSQL_TYPE_NEWDATE: return number(SQL_TYPE_DATE, 10, 10, 6);
    case MYSQL_TYPE_TIME:
    case MYSQL_TYPE_TIME2: {
        const SQLLEN size = 8 + fraction(f.decimals);
        return number(SQL_TYPE_TIME, SQLULEN(size), size, 6);
    }
    case MYSQL_TYPE_TIMESTAMP:
    case MYSQL_TYPE_DATETIME:
    case MYSQL_TYPE_TIMESTAMP2:
    case MYSQL_TYPE_DATETIME2: {
        const SQLLEN size = 19 + fraction(f.decimals);
        return number(SQL_TYPE_TIMESTAMP, SQLULEN(size), size, 16);
    }
    case MYSQL_TYPE_BIT: return number(SQL_BINARY, SQLULEN(length), kHexPrefix + (length + 7) / 8 * 2, (length + 7) / 8);
    case MYSQL_TYPE_GEOMETRY: return number(SQL_LONGVARBINARY, SQLULEN(length), kHexPrefix + length * 2, length);
    case MYSQL_TYPE_TINY_BLOB:
    case MYSQL_TYPE_MEDIUM_BLOB:
    case MYSQL_TYPE_LONG_BLOB:
    case MYSQL_TYPE_BLOB:
    case MYSQL_TYPE_JSON:
        if (binary) return number(SQL_LONGVARBINARY, SQLULEN(length), kHexPrefix + length * 2, length);
        return number(SQL_WLONGVARCHAR, SQLULEN(chars), chars, length);
    case MYSQL_TYPE_STRING:
        if (binary) return number(SQL_BINARY, SQLULEN(length), kHexPrefix + length * 2, length);
        return number(SQL_WCHAR, SQLULEN(chars), chars, length);
    case MYSQL_TYPE_ENUM:
    case MYSQL_TYPE_SET: return number(SQL_WCHAR, SQLULEN(chars), chars, length);
    case MYSQL_TYPE_VARCHAR:
    case MYSQL_TYPE_VAR_STRING:
    default:
        if (binary) return number(SQL_VARBINARY, SQLULEN(length), kHexPrefix + length * 2, length);
        return number(SQL_WVARCHAR, SQLULEN(chars), chars, length);
    }
}

CatalogColumn catalogColumn(const QString& dataType, const QString& columnType, const QString& charLength,
                            const QString& octetLength, const QString& numericPrecision, const QString& numericScale) {
    const QString t = dataType.toLower();
    const bool isUnsigned = columnType.contains(QLatin1String("unsigned"), Qt::CaseInsensitive);
    CatalogColumn c;
    c.typeName = t.toUpper() + (isUnsigned ? QStringLiteral(" UNSIGNED") : QString());
    auto set = [&](FieldType type, const QString& length) {
        c.type = type;
        c.length = length;
        return c;
    };
    if (t == QLatin1String("tinyint")) return set(isUnsigned ? FieldType::UnsignedTinyInt : FieldType::TinyInt, QStringLiteral("1"));
    if (t == QLatin1String("smallint")) return set(isUnsigned ? FieldType::UnsignedSmallInt : FieldType::SmallInt, QStringLiteral("2"));
    if (t == QLatin1String("year")) return set(FieldType::SmallInt, QStringLiteral("2"));
    if (t == QLatin1String("mediumint")) return set(isUnsigned ? FieldType::UnsignedInt : FieldType::Integer, QStringLiteral("3"));
    if (t == QLatin1String("int") || t == QLatin1String("integer"))
        return set(isUnsigned ? FieldType::UnsignedInt : FieldType::Integer, QStringLiteral("4"));
    if (t == QLatin1String("bigint")) return set(isUnsigned ? FieldType::UnsignedBigInt : FieldType::BigInt, QStringLiteral("20"));
    if (t == QLatin1String("float")) return set(FieldType::Single, QStringLiteral("4"));
    if (t == QLatin1String("double") || t == QLatin1String("real")) return set(FieldType::Double, QStringLiteral("8"));
    if (t == QLatin1String("decimal") || t == QLatin1String("numeric"))
        return set(FieldType::Decimal, QString::number(numericPrecision.toInt() + 1 + (numericScale.toInt() > 0 ? 1 : 0)));
    if (t == QLatin1String("date")) return set(FieldType::DbDate, QStringLiteral("6"));
    if (t == QLatin1String("time")) return set(FieldType::DbTime, QStringLiteral("6"));
    if (t == QLatin1String("datetime") || t == QLatin1String("timestamp")) return set(FieldType::DbTimeStamp, QStringLiteral("16"));
    if (t == QLatin1String("bit")) return set(FieldType::Binary, QString::number((numericPrecision.toInt() + 7) / 8 * 2));
    if (t == QLatin1String("binary")) return set(FieldType::Binary, octetLength);
    if (t == QLatin1String("varbinary")) return set(FieldType::VarBinary, octetLength);
    if (t.endsWith(QLatin1String("blob"))) return set(FieldType::LongVarBinary, octetLength);
    if (t == QLatin1String("char") || t == QLatin1String("enum") || t == QLatin1String("set"))
        return set(FieldType::WChar, charLength);
    if (t == QLatin1String("varchar")) return set(FieldType::VarWChar, charLength);
    if (t.endsWith(QLatin1String("text")) || t == QLatin1String("json")) return set(FieldType::LongVarWChar, charLength);
    return set(FieldType::LongVarBinary, QString()); // geometry and the like
}

} // namespace db::maria
