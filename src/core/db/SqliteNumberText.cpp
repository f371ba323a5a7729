#include "db/SqliteNumberText_p.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <sqlite3.h>

namespace db::sqlite {
namespace {

constexpr int kDigits = 15; // SQLite's significant digits
// Digits read beyond them to see which way they round, and how close to
// half-way (in units of the last of them) a value may lie before SQLite's
// own rounding could decide otherwise than exact rounding does. Measured on
// 20 million random doubles: SQLite strays up to 30 units below 1e100 and up
// to 4,700 above (its scaling by 1e100 is inexact); the margins are wider.
constexpr int kGuardDigits = 5;
constexpr long kHalfWay = 50000;
long tooClose(int exponent) {
    return exponent >= 100 ? 12000 : 500;
}

// A positive finite number as significant digits and a decimal exponent:
// value = d.ddd… × 10^exponent.
struct Decimal {
    char digits[kDigits + kGuardDigits + 1] = {};
    int count = 0;
    int exponent = 0;
};

// Parses to_chars' scientific form ("d.ddde+XX") into digits and exponent.
Decimal parseScientific(const char* begin, const char* end) {
    Decimal d;
    const char* p = begin;
    for (; p < end && *p != 'e'; ++p)
        if (*p != '.') d.digits[d.count++] = *p;
    std::from_chars(p + 1 + (p[1] == '+'), end, d.exponent);
    return d;
}

// SQLite's "%!.15g" of digits (count of them significant, no trailing
// zeros needed) and exponent.
size_t render(bool negative, const char* digits, int count, int exponent, char* out) {
    while (count > 1 && digits[count - 1] == '0')
        --count;
    char* p = out;
    if (negative) *p++ = '-';
    if (exponent < -4 || exponent >= kDigits) {
        *p++ = digits[0];
        *p++ = '.';
        if (count > 1) {
            std::memcpy(p, digits + 1, size_t(count - 1));
            p += count - 1;
        } else {
            *p++ = '0';
        }
        *p++ = 'e';
        *p++ = exponent < 0 ? '-' : '+';
        int e = std::abs(exponent);
        if (e >= 100) {
            *p++ = char('0' + e / 100);
            e %= 100;
        }
        *p++ = char('0' + e / 10);
        *p++ = char('0' + e % 10);
        return size_t(p - out);
    }
    if (exponent < 0) {
        *p++ = '0';
        *p++ = '.';
        for (int i = exponent + 1; i < 0; ++i)
            *p++ = '0';
        std::memcpy(p, digits, size_t(count));
        return size_t(p + count - out);
    }
    for (int i = 0; i <= exponent; ++i)
        *p++ = i < count ? digits[i] : '0';
    *p++ = '.';
    if (count > exponent + 1) {
        std::memcpy(p, digits + exponent + 1, size_t(count - exponent - 1));
        p += count - exponent - 1;
    } else {
        *p++ = '0';
    }
    return size_t(p - out);
}

size_t sqliteOwn(double value, char* out) {
    sqlite3_snprintf(int(kMaxNumberText), out, "%!.15g", value);
    return std::strlen(out);
}

} // namespace

size_t integerText(std::int64_t value, char* out) {
    return size_t(std::to_chars(out, out + kMaxNumberText, value).ptr - out);
}

size_t realText(double value, char* out) {
    if (std::isnan(value)) return sqliteOwn(value, out);
    const bool negative = value < 0;
    if (std::isinf(value)) {
        std::memcpy(out, negative ? "-Inf" : "Inf", negative ? 4 : 3);
        return negative ? 4 : 3;
    }
    if (value == 0) { // -0.0 too: SQLite writes no sign for it
        std::memcpy(out, "0.0", 3);
        return 3;
    }
    const double a = std::fabs(value);
    char buf[48];
    // The shortest digits that read back as the value: when there are no
    // more than fifteen, they are what rounding to fifteen gives (a normal
    // double is within 1.2e-16 of them, a fifteen-digit rounding boundary at
    // least 5e-16 away). Not so for the few bits of a subnormal value.
    Decimal d;
    if (a >= std::numeric_limits<double>::min()) {
        const auto r = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific);
        d = parseScientific(buf, r.ptr);
        if (d.count <= kDigits) return render(negative, d.digits, d.count, d.exponent, out);
    }

    const auto r =
        std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, kDigits + kGuardDigits - 1);
    d = parseScientific(buf, r.ptr);
    long guard = 0;
    for (int i = kDigits; i < kDigits + kGuardDigits; ++i)
        guard = guard * 10 + (d.digits[i] - '0');
    if (std::labs(guard - kHalfWay) <= tooClose(d.exponent)) return sqliteOwn(value, out);
    if (guard > kHalfWay) { // round up, carrying
        int i = kDigits - 1;
        while (i >= 0 && d.digits[i] == '9')
            d.digits[i--] = '0';
        if (i < 0) {
            d.digits[0] = '1';
            ++d.exponent;
        } else {
            ++d.digits[i];
        }
    }
    return render(negative, d.digits, kDigits, d.exponent, out);
}

} // namespace db::sqlite
