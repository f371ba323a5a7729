#include "db/PgTypes.h"

#include <sqlext.h>
#include <sqlucode.h>

#include <algorithm>

namespace db::pg {
namespace {

// Type numbers of the built-in types (pg_type.oid).
enum : Oid {
    kBool = 16, kBytea = 17, kChar = 18, kName = 19, kInt8 = 20, kInt2 = 21, kInt4 = 23, kText = 25, kOid = 26,
    kXid = 28, kXml = 142, kXmlArray = 143, kCidr = 650, kFloat4 = 700, kFloat8 = 701, kAbstime = 702, kMoney = 790,
    kMacaddr = 829, kInet = 869, kBpchar = 1042, kVarchar = 1043, kDate = 1082, kTime = 1083, kTimestamp = 1114,
    kTimestampTz = 1184, kInterval = 1186, kTimeTz = 1266, kOldTimestamp = 1296, kBit = 1560, kNumeric = 1700, kRefcursor = 1790,
    kUuid = 2950,
};

// The driver's limits as the ODBC backend configures it (its defaults).
constexpr int kMaxVarchar = 255;
constexpr int kMaxLongVarchar = 8190;
constexpr int kNameLength = 63;
constexpr int kRealDigits = 9;
constexpr int kDoubleDigits = 17;
constexpr int kNumericDigits = 28;

bool mayBeArray(Oid t) { return t == kXmlArray || (t >= 1000 && t <= 1041); }

// The size a character (or unknown) type is given.
int characterSize(Oid type, int typmod, int longest) {
    const int maxSize = type == kText ? kMaxLongVarchar : kMaxVarchar;
    if (mayBeArray(type)) return longest > 0 ? longest : maxSize;
    if (typmod > 0) return typmod;
    if (type == kBpchar || type == kVarchar || type == kText) return maxSize;
    return std::max(maxSize, longest);
}

int numericSize(int typmod, int longest) {
    if (typmod > -1) return (typmod >> 16) & 0xffff;
    return longest <= 0 ? kNumericDigits : std::max(longest, kNumericDigits);
}

// Fraction digits of a time type and the sizes that follow from them.
int fractionSize(int typmod) {
    const int scale = typmod > -1 ? typmod : 6;
    return scale > 0 ? 1 + scale : 0;
}
int timestampSize(int typmod) { return 19 + fractionSize(typmod); }
// The server's text of a zone offset is at most "+hh:mm" for today's zones.
constexpr int kOffsetSize = 6;

// Interval qualifiers as the typmod carries them.
constexpr int kMonth = 1 << 17, kYear = 1 << 18, kDay = 1 << 19, kHour = 1 << 26, kMinute = 1 << 27,
              kSecond = 1 << 28;

int intervalSize(int typmod) {
    int total = 25;
    if (typmod != -1) {
        if (typmod & kYear) total = (typmod & kMonth) ? 24 : 16;
        else if (typmod & kMonth) total = 16;
        else if (typmod & kDay) total = (typmod & (kSecond | kMinute | kHour)) ? 25 : 16;
        else if (typmod & kHour) total = 17;
        else if (typmod & kMinute) total = 15;
        else if (typmod & kSecond) total = 9;
    }
    int scale = 0;
    if (typmod & kSecond) scale = (typmod & 0xffff) == 0xffff ? 6 : (typmod & 0xffff);
    return scale > 0 ? total + 1 + scale : total;
}

// The type modifier as the driver reads it: without the 4 bytes the server
// adds to character lengths.
int effectiveTypmod(Oid type, int typmod) {
    if ((type == kBpchar || type == kVarchar) && typmod >= 4) return typmod - 4;
    if (type == kNumeric && typmod >= 4) return typmod - 4;
    return typmod;
}

} // namespace

bool sizedByValues(Oid type, int typmod) {
    typmod = effectiveTypmod(type, typmod);
    switch (type) {
    case kNumeric: return typmod < 0;
    case kChar: case kName: case kRefcursor: case kInt2: case kOid: case kXid: case kInt4: case kInt8:
    case kMoney: case kFloat4: case kFloat8: case kDate: case kTime: case kAbstime: case kOldTimestamp:
    case kTimestamp: case kTimestampTz: case kTimeTz: case kBool: case kMacaddr: case kInet: case kCidr: case kUuid:
    case kInterval: case kBytea: case kBpchar: case kVarchar: case kText: return false;
    default: return mayBeArray(type) || typmod <= 0;
    }
}

odbc::ColumnDescription describe(Oid type, int typmod, int longest) {
    typmod = effectiveTypmod(type, typmod);
    odbc::ColumnDescription d;
    auto fixed = [&](SQLSMALLINT sqlType, SQLULEN size, SQLLEN display) {
        d.sqlType = sqlType;
        d.columnSize = size;
        d.displaySize = display;
        return d;
    };
    switch (type) {
    case kChar: return fixed(SQL_WCHAR, 1, 1);
    case kName:
    case kRefcursor: return fixed(SQL_WVARCHAR, kNameLength, kNameLength);
    case kInt2: return fixed(SQL_SMALLINT, 5, 6);
    case kOid:
    case kXid:
        d.isUnsigned = true;
        return fixed(SQL_INTEGER, 10, 10);
    case kInt4: return fixed(SQL_INTEGER, 10, 11);
    case kInt8: return fixed(SQL_BIGINT, 19, 20);
    case kNumeric: {
        const int size = numericSize(typmod, longest);
        return fixed(SQL_NUMERIC, SQLULEN(size), size + 2);
    }
    case kMoney: return fixed(SQL_FLOAT, 22, 15); // wide enough for -$92,233,720,368,547,758.08
    case kFloat4: return fixed(SQL_REAL, kRealDigits, 1 + kRealDigits + 1 + 1 + 3);
    case kFloat8: return fixed(SQL_FLOAT, kDoubleDigits, 1 + kDoubleDigits + 1 + 1 + 1 + 3);
    case kDate: return fixed(SQL_TYPE_DATE, 10, 10);
    // the driver's sizes, with the server's fractions of a second and offsets shown
    case kTime: return fixed(SQL_TYPE_TIME, 8, 8 + fractionSize(typmod));
    case kTimeTz: return fixed(SQL_TYPE_TIME, 8, 8 + fractionSize(typmod) + kOffsetSize);
    case kAbstime:
    case kOldTimestamp: return fixed(SQL_TYPE_TIMESTAMP, 22, 22);
    case kTimestamp: {
        const int size = timestampSize(typmod);
        return fixed(SQL_TYPE_TIMESTAMP, SQLULEN(size), size);
    }
    case kTimestampTz: {
        const int size = timestampSize(typmod);
        return fixed(SQL_TYPE_TIMESTAMP, SQLULEN(size), size + kOffsetSize);
    }
    case kBool: return fixed(SQL_VARCHAR, 5, 5); // booleans as characters "1" and "0"
    case kMacaddr: return fixed(SQL_WVARCHAR, 17, 17);
    case kInet:
    case kCidr: return fixed(SQL_WVARCHAR, 50, 50);
    case kUuid: return fixed(SQL_GUID, 37, 36);
    case kInterval: return fixed(SQL_WVARCHAR, SQLULEN(intervalSize(typmod)), 30);
    case kBytea: return fixed(SQL_LONGVARBINARY, 0, SQL_NO_TOTAL);
    case kXml: {
        const int size = characterSize(type, typmod, longest);
        return fixed(SQL_WLONGVARCHAR, SQLULEN(size), size);
    }
    case kBit: {
        const int size = characterSize(type, typmod, longest);
        return fixed(SQL_VARCHAR, SQLULEN(size), size);
    }
    case kBpchar:
    case kVarchar:
    case kText: {
        const int size = characterSize(type, typmod, longest);
        const SQLSMALLINT t = size > kMaxVarchar ? SQL_WLONGVARCHAR : type == kBpchar ? SQL_WCHAR : SQL_WVARCHAR;
        return fixed(t, SQLULEN(size), size);
    }
    default: {
        const int size = characterSize(type, typmod, longest);
        return fixed(SQL_WVARCHAR, SQLULEN(size), size);
    }
    }
}

SQLLEN catalogLength(const odbc::ColumnDescription& d) {
    switch (d.sqlType) {
    case SQL_SMALLINT: return 2;
    case SQL_INTEGER:
    case SQL_REAL: return 4;
    case SQL_BIGINT:
    case SQL_FLOAT:
    case SQL_DOUBLE: return 8;
    case SQL_NUMERIC: return SQLLEN(d.columnSize) + 2;
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIME: return 6;
    case SQL_TYPE_TIMESTAMP:
    case SQL_GUID: return 16;
    default: return SQLLEN(d.columnSize);
    }
}

} // namespace db::pg
