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
    kTimestampTz = 1184, kInterval = 1186, kOldTimestamp = 1296, kBit = 1560, kNumeric = 1700, kRefcursor = 1790,
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
int timestampSize(int typmod) {
    const int scale = typmod > -1 ? typmod : 6;
    return scale > 0 ? 19 + 1 + scale : 19;
}

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
    case kTimestamp: case kTimestampTz: case kBool: case kMacaddr: case kInet: case kCidr: case kUuid:
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
    case kMoney: return fixed(SQL_FLOAT, 10, 15);
    case kFloat4: return fixed(SQL_REAL, kRealDigits, 1 + kRealDigits + 1 + 1 + 3);
    case kFloat8: return fixed(SQL_FLOAT, kDoubleDigits, 1 + kDoubleDigits + 1 + 1 + 1 + 3);
    case kDate: return fixed(SQL_TYPE_DATE, 10, 10);
    case kTime: return fixed(SQL_TYPE_TIME, 8, 8);
    case kAbstime:
    case kOldTimestamp: return fixed(SQL_TYPE_TIMESTAMP, 22, 22);
    case kTimestamp:
    case kTimestampTz: {
        const int size = timestampSize(typmod);
        return fixed(SQL_TYPE_TIMESTAMP, SQLULEN(size), size);
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

ValueKind valueKind(Oid type) {
    switch (type) {
    case kBool: return ValueKind::Boolean;
    case kBytea: return ValueKind::Bytes;
    case kUuid: return ValueKind::Uuid;
    case kDate: return ValueKind::Date;
    case kTimestamp: return ValueKind::Timestamp;
    case kTimestampTz: return ValueKind::TimestampTz;
    default: return ValueKind::AsSent;
    }
}

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// bytea in the server's escape format ("abc\\001") as its bytes.
std::vector<unsigned char> unescapeBytes(std::string_view s) {
    std::vector<unsigned char> out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 >= s.size()) {
            out.push_back(static_cast<unsigned char>(s[i]));
        } else if (s[i + 1] == '\\') {
            out.push_back('\\');
            ++i;
        } else if (i + 3 < s.size()) {
            out.push_back(static_cast<unsigned char>(((s[i + 1] - '0') << 6) | ((s[i + 2] - '0') << 3) | (s[i + 3] - '0')));
            i += 3;
        }
    }
    return out;
}

// The end of a timestamp's text before its zone offset ("+02", "-05:30").
size_t withoutOffset(std::string_view s) {
    const size_t time = s.find(':');
    if (time == std::string_view::npos) return s.size();
    const size_t sign = s.find_first_of("+-", time);
    return sign == std::string_view::npos ? s.size() : sign;
}

} // namespace

void appendValue(RowBlock& block, ValueKind kind, std::string_view s) {
    auto& out = block.bytes();
    switch (kind) {
    case ValueKind::AsSent: out.insert(out.end(), s.begin(), s.end()); break;
    case ValueKind::Boolean: out.push_back(s == "t" ? '1' : s == "f" ? '0' : (s.empty() ? '0' : s.front())); break;
    case ValueKind::Bytes:
        if (s.size() >= 2 && s[0] == '\\' && s[1] == 'x') {
            for (size_t i = 2; i < s.size(); ++i) {
                const int d = hexDigit(s[i]);
                out.push_back(d < 0 ? s[i] : "0123456789ABCDEF"[d]);
            }
        } else {
            const auto bytes = unescapeBytes(s);
            block.appendHex(bytes.data(), bytes.size());
        }
        break;
    case ValueKind::Uuid:
        for (char c : s) out.push_back(c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c);
        break;
    case ValueKind::Date:
        if (s == "infinity" || s == "-infinity") {
            static constexpr std::string_view kNoDate = "0000-00-00";
            out.insert(out.end(), kNoDate.begin(), kNoDate.end());
        } else {
            out.insert(out.end(), s.begin(), s.end());
        }
        break;
    case ValueKind::Timestamp:
    case ValueKind::TimestampTz:
        if (s == "infinity" || s == "-infinity") {
            const std::string_view v = s == "infinity" ? "9999-12-31 23:59:59" : "9999-01-01 00:00:00 BC";
            out.insert(out.end(), v.begin(), v.end());
        } else if (kind == ValueKind::TimestampTz) {
            const size_t end = withoutOffset(s);
            out.insert(out.end(), s.begin(), s.begin() + std::ptrdiff_t(end));
            if (s.ends_with(" BC")) out.insert(out.end(), s.end() - 3, s.end());
        } else {
            out.insert(out.end(), s.begin(), s.end());
        }
        break;
    }
    block.closeCell();
}

} // namespace db::pg
