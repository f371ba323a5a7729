#include "export/ValueText.h"

#include <charconv>
#include <cmath>

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

// The significant digits of a plain number: without the zeros before the
// first digit that is not zero and after the last one ("-0.0120" has 2).
int significantDigits(std::string_view s) {
    int count = 0, zeros = 0;
    bool started = false;
    for (char c : s) {
        if (c == 'e' || c == 'E') break;
        if (!digit(c)) continue;
        if (c == '0') {
            if (started) ++zeros;
            continue;
        }
        count += started ? zeros + 1 : 1;
        started = true;
        zeros = 0;
    }
    return count;
}

} // namespace

std::optional<double> exactDouble(std::string_view text) {
    // A decimal of at most 15 significant digits comes back unchanged from the
    // nearest double (printed to 15 digits), as long as that double is a
    // normal one: the guarantee of the double format (DBL_DIG).
    if (!isPlainNumber(text) || significantDigits(text) > 15) return std::nullopt;
    double value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec != std::errc() || !std::isfinite(value) || (value != 0 && !std::isnormal(value))) return std::nullopt;
    return value == 0 ? 0.0 : value; // no negative zero
}

bool isInteger64(std::string_view text) {
    long long v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    return r.ec == std::errc() && r.ptr == text.data() + text.size() && isPlainNumber(text);
}

} // namespace exports
