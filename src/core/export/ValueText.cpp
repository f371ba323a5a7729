#include "export/ValueText.h"

#include <charconv>
#include <cmath>
#include <string>

namespace exports {

ValueKind valueKind(const db::Field& field) {
    switch (field.type) {
    case db::FieldType::Boolean:
        return ValueKind::Boolean;
    case db::FieldType::Binary:
    case db::FieldType::VarBinary:
    case db::FieldType::LongVarBinary:
        return ValueKind::Binary;
    default:
        return db::isNumberType(field.type) ? ValueKind::Number : ValueKind::Text;
    }
}

namespace {
bool digit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

bool isPlainNumber(std::string_view s) {
    size_t i = 0;
    const size_t n = s.size();
    if (i < n && s[i] == '-') ++i;
    if (i >= n || !digit(s[i])) return false;
    if (s[i] == '0') {
        ++i;
    } else {
        while (i < n && digit(s[i]))
            ++i;
    }
    if (i < n && s[i] == '.') {
        ++i;
        if (i >= n || !digit(s[i])) return false;
        while (i < n && digit(s[i]))
            ++i;
    }
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
        if (i >= n || !digit(s[i])) return false;
        while (i < n && digit(s[i]))
            ++i;
    }
    return i == n;
}

std::optional<bool> booleanValue(std::string_view s) {
    auto is = [&](std::string_view word) {
        if (s.size() != word.size()) return false;
        for (size_t i = 0; i < s.size(); ++i)
            if ((s[i] | 0x20) != word[i]) return false;
        return true;
    };
    if (s == "1" || is("t") || is("true")) return true;
    if (s == "0" || is("f") || is("false")) return false;
    return std::nullopt;
}

namespace {

// The decimal digits of a plain number without leading and trailing zeros,
// and the power of ten of its last digit: "-0.0120" -> ("12", -4). Zero is ("", 0).
struct Decimal {
    bool negative = false;
    std::string digits;
    long exponent = 0;
};

Decimal decimalOf(std::string_view s) {
    Decimal d;
    size_t i = 0;
    if (i < s.size() && s[i] == '-') {
        d.negative = true;
        ++i;
    }
    long fraction = 0;
    bool afterPoint = false;
    for (; i < s.size() && s[i] != 'e' && s[i] != 'E'; ++i) {
        if (s[i] == '.') {
            afterPoint = true;
            continue;
        }
        if (afterPoint) ++fraction;
        if (d.digits.empty() && s[i] == '0') continue;
        d.digits += s[i];
    }
    long exponent = 0;
    if (i < s.size()) {
        std::string_view e = s.substr(i + 1);
        if (!e.empty() && e.front() == '+') e.remove_prefix(1);
        if (std::from_chars(e.data(), e.data() + e.size(), exponent).ec != std::errc()) exponent = 1L << 30;
    }
    d.exponent = exponent - fraction;
    while (!d.digits.empty() && d.digits.back() == '0') {
        d.digits.pop_back();
        ++d.exponent;
    }
    if (d.digits.empty()) d = Decimal{}; // zero: no sign either
    return d;
}

} // namespace

std::optional<double> exactDouble(std::string_view text) {
    if (!isPlainNumber(text)) return std::nullopt;
    const Decimal want = decimalOf(text);
    if (want.digits.size() > 15) return std::nullopt;
    double value = 0;
    if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc() ||
        !std::isfinite(value))
        return std::nullopt;
    char shortest[40];
    const auto r = std::to_chars(shortest, shortest + sizeof(shortest), value);
    const Decimal got = decimalOf(std::string_view(shortest, size_t(r.ptr - shortest)));
    if (got.digits != want.digits || got.exponent != want.exponent || got.negative != want.negative)
        return std::nullopt;
    return value == 0 ? 0.0 : value; // no negative zero
}

bool isInteger64(std::string_view text) {
    long long v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    return r.ec == std::errc() && r.ptr == text.data() + text.size() && isPlainNumber(text);
}

} // namespace exports
