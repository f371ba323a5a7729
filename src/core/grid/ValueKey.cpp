#include "grid/ValueKey.h"

#include "grid/Collation.h"

#include <QDate>

namespace grid {
namespace {

// Key classes: NULL, a value of the column's kind, any other value.
constexpr char kNullClass = 0x00;
constexpr char kValueClass = 0x10;
constexpr char kOtherClass = 0x20;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

void appendBigEndian(std::string& out, quint64 v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out += char((v >> (8 * i)) & 0xFF);
}

// Reads n digits at p as a number; false when they are not all digits.
bool readDigits(std::string_view s, size_t& p, size_t n, int& value) {
    if (p + n > s.size()) return false;
    value = 0;
    for (size_t i = 0; i < n; ++i, ++p) {
        if (!isDigit(s[p])) return false;
        value = value * 10 + (s[p] - '0');
    }
    return true;
}

// "[.ffffff]" at p: microseconds (further digits are dropped).
qint64 readFraction(std::string_view s, size_t& p) {
    if (p >= s.size() || s[p] != '.') return 0;
    ++p;
    qint64 micros = 0;
    int digits = 0;
    for (; p < s.size() && isDigit(s[p]); ++p, ++digits)
        if (digits < 6) micros = micros * 10 + (s[p] - '0');
    for (; digits < 6; ++digits) micros *= 10;
    return micros;
}

constexpr qint64 kSecond = 1000000;

} // namespace

ValueOrder valueOrder(const db::Field& field) {
    using T = db::FieldType;
    switch (field.type) {
    case T::Date:
    case T::DbDate:
    case T::DbTimeStamp:
    case T::FileTime:
    case T::DbFileTime: return ValueOrder::DateTime;
    case T::DbTime: return ValueOrder::Time;
    case T::Boolean: return ValueOrder::Boolean;
    case T::Binary:
    case T::VarBinary:
    case T::LongVarBinary: return ValueOrder::Binary;
    default: return db::isNumberType(field.type) ? ValueOrder::Number : ValueOrder::Text;
    }
}

bool appendNumberKey(std::string_view s, std::string& out) {
    size_t p = 0;
    bool negative = false;
    if (p < s.size() && (s[p] == '-' || s[p] == '+')) negative = s[p++] == '-';
    // the significant digits and where the decimal point falls among them
    std::string digits;
    qint64 exponent = 0; // value = 0.digits × 10^exponent
    bool any = false, point = false;
    for (; p < s.size(); ++p) {
        const char c = s[p];
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (!isDigit(c)) break;
        any = true;
        if (digits.empty() && c == '0') {
            if (point) --exponent; // 0.00x: each zero after the point moves it
            continue;
        }
        digits += c;
        if (!point) ++exponent;
    }
    if (!any) return false;
    if (p < s.size() && (s[p] == 'e' || s[p] == 'E')) {
        ++p;
        bool minus = false;
        if (p < s.size() && (s[p] == '-' || s[p] == '+')) minus = s[p++] == '-';
        if (p >= s.size()) return false;
        qint64 e = 0;
        for (; p < s.size() && isDigit(s[p]); ++p)
            if (e < 100000000) e = e * 10 + (s[p] - '0');
        exponent += minus ? -e : e;
    }
    if (p != s.size()) return false;
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    out += kValueClass;
    if (digits.empty()) {
        out += char(0x01); // zero, between the negative and the positive numbers
        return true;
    }
    const quint64 biased = quint64(exponent + (qint64(1) << 31));
    if (!negative) {
        out += char(0x02);
        appendBigEndian(out, biased, 4);
        out += digits;
    } else { // everything inverted, and an end above any digit: -0.12 > -0.123
        out += char(0x00);
        appendBigEndian(out, ~biased & 0xFFFFFFFFu, 4);
        for (char d : digits) out += char('9' - d + '0');
        out += char(0x7F);
    }
    return true;
}

bool dateTimeMicros(std::string_view s, qint64& micros) {
    size_t p = 0;
    // a year before the common era: "-0043-03-15", or PostgreSQL's "0044-03-15 BC"
    bool bc = s.size() > 3 && s.substr(s.size() - 3) == " BC";
    if (bc) s.remove_suffix(3);
    if (!bc && p < s.size() && s[p] == '-') {
        bc = true;
        ++p;
    }
    int year = 0, month = 0, day = 0;
    size_t yearStart = p;
    while (p < s.size() && isDigit(s[p])) year = year * 10 + (s[p++] - '0');
    if (p - yearStart < 4 || p >= s.size() || s[p++] != '-' || !readDigits(s, p, 2, month) || p >= s.size() ||
        s[p++] != '-' || !readDigits(s, p, 2, day))
        return false;
    const QDate date(bc ? -year : year, month, day);
    if (!date.isValid()) return false;
    micros = (date.toJulianDay() - QDate(1, 1, 1).toJulianDay()) * 86400 * kSecond;
    if (p < s.size() && (s[p] == ' ' || s[p] == 'T')) {
        ++p;
        int h = 0, m = 0, sec = 0;
        if (!readDigits(s, p, 2, h) || p >= s.size() || s[p++] != ':' || !readDigits(s, p, 2, m)) return false;
        if (p < s.size() && s[p] == ':' && !(++p, readDigits(s, p, 2, sec))) return false;
        micros += ((qint64(h) * 60 + m) * 60 + sec) * kSecond + readFraction(s, p);
        if (p < s.size() && (s[p] == 'Z' || s[p] == 'z')) {
            ++p;
        } else if (p < s.size() && (s[p] == '+' || s[p] == '-')) {
            const int sign = s[p++] == '-' ? -1 : 1;
            int zh = 0, zm = 0;
            if (!readDigits(s, p, 2, zh)) return false;
            if (p < s.size() && s[p] == ':') ++p;
            if (p < s.size() && !readDigits(s, p, 2, zm)) return false;
            micros -= sign * (qint64(zh) * 60 + zm) * 60 * kSecond;
        }
    }
    return p == s.size();
}

bool timeMicros(std::string_view s, qint64& micros) {
    size_t p = 0;
    const bool negative = p < s.size() && s[p] == '-';
    if (negative) ++p;
    qint64 h = 0;
    const size_t start = p;
    while (p < s.size() && isDigit(s[p])) h = h * 10 + (s[p++] - '0');
    int m = 0, sec = 0;
    if (p == start || p >= s.size() || s[p++] != ':' || !readDigits(s, p, 2, m)) return false;
    if (p < s.size() && s[p] == ':' && !(++p, readDigits(s, p, 2, sec))) return false;
    micros = ((h * 60 + m) * 60 + sec) * kSecond + readFraction(s, p);
    if (negative) micros = -micros;
    return p == s.size();
}

void ValueKey::append(std::string_view text, bool isNull, std::string& out) const {
    if (isNull) {
        out += kNullClass;
        return;
    }
    const size_t at = out.size();
    qint64 micros = 0;
    switch (order_) {
    case ValueOrder::Number:
        if (appendNumberKey(text, out)) return;
        break;
    case ValueOrder::DateTime:
    case ValueOrder::Time:
        if (order_ == ValueOrder::DateTime ? dateTimeMicros(text, micros) : timeMicros(text, micros)) {
            out += kValueClass;
            appendBigEndian(out, quint64(micros) ^ (quint64(1) << 63), 8);
            return;
        }
        break;
    case ValueOrder::Boolean:
        if (text == "0" || text == "f" || text == "false" || text == "1" || text == "t" || text == "true") {
            out += kValueClass;
            out += char(text[0] == '1' || text[0] == 't' ? 1 : 0);
            return;
        }
        break;
    case ValueOrder::Binary: // upper-case hex digits: their order is the bytes' order
        out += kValueClass;
        out += text;
        return;
    case ValueOrder::Text:
        out += kValueClass;
        collation_.appendKey(text, out);
        return;
    }
    out.resize(at);
    out += kOtherClass;
    collation_.appendKey(text, out);
}

} // namespace grid
