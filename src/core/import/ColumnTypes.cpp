#include "import/ColumnTypes.h"

#include "base/NameTable.h"

#include <QDate>

#include <algorithm>
#include <cctype>

namespace csv {
namespace {

const Named<ColumnType> kTypes[] = {{ColumnType::Integer, "Integer"}, {ColumnType::BigInt, "BigInt"},
                           {ColumnType::Decimal, "Decimal"}, {ColumnType::Double, "Double"},
                           {ColumnType::Boolean, "Boolean"}, {ColumnType::Date, "Date"},
                           {ColumnType::Timestamp, "Timestamp"}, {ColumnType::Text, "Text"}};

bool digit(char c) { return c >= '0' && c <= '9'; }

// Digits from i on; returns how many.
size_t digits(std::string_view v, size_t& i) {
    const size_t from = i;
    while (i < v.size() && digit(v[i])) ++i;
    return i - from;
}

int number(std::string_view v, size_t from, size_t n) {
    int x = 0;
    for (size_t i = from; i < from + n; ++i) x = x * 10 + (v[i] - '0');
    return x;
}

bool isDate(std::string_view v) {
    if (v.size() != 10 || v[4] != '-' || v[7] != '-') return false;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (!digit(v[i])) return false;
    return QDate(number(v, 0, 4), number(v, 5, 2), number(v, 8, 2)).isValid();
}

bool isTimestamp(std::string_view v) {
    if (v.size() < 16 || !isDate(v.substr(0, 10)) || (v[10] != ' ' && v[10] != 'T')) return false;
    const std::string_view t = v.substr(11); // hh:mm[:ss[.f…]]
    auto two = [&](size_t at, int max) {
        return at + 2 <= t.size() && digit(t[at]) && digit(t[at + 1]) && number(t, at, 2) <= max;
    };
    if (!two(0, 23) || t[2] != ':' || !two(3, 59)) return false;
    if (t.size() == 5) return true;
    if (t[5] != ':' || !two(6, 59)) return false;
    if (t.size() == 8) return true;
    size_t i = 9;
    return t[8] == '.' && digits(t, i) > 0 && i == t.size();
}

std::optional<bool> boolean(std::string_view v) {
    std::string lower(v);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (lower == "true" || lower == "yes") return true;
    if (lower == "false" || lower == "no") return false;
    return std::nullopt;
}

// Which numeric type v is, if any, with its digits around the point.
// Numbers with leading zeros are not numbers unless leadingZeros.
std::optional<ColumnType> numeric(std::string_view v, int* integerDigits = nullptr, int* scale = nullptr,
                                  bool leadingZeros = false) {
    size_t i = 0;
    if (i < v.size() && (v[i] == '-' || v[i] == '+')) ++i;
    const size_t intStart = i;
    const size_t intDigits = digits(v, i);
    if (intDigits > 1 && v[intStart] == '0' && !leadingZeros) return std::nullopt; // "007": a code
    size_t fraction = 0;
    bool point = false;
    if (i < v.size() && v[i] == '.') {
        point = true;
        ++i;
        fraction = digits(v, i);
    }
    if (intDigits + fraction == 0) return std::nullopt;
    if (i < v.size() && (v[i] == 'e' || v[i] == 'E')) {
        ++i;
        if (i < v.size() && (v[i] == '-' || v[i] == '+')) ++i;
        if (digits(v, i) == 0 || i != v.size()) return std::nullopt;
        return ColumnType::Double;
    }
    if (i != v.size()) return std::nullopt;
    if (integerDigits) *integerDigits = int(intDigits);
    if (scale) *scale = int(fraction);
    if (point) return ColumnType::Decimal;
    if (intDigits > 18) return ColumnType::Decimal;
    const long long n = std::stoll(std::string(v.substr(v[0] == '+' ? 1 : 0)));
    return n >= INT32_MIN && n <= INT32_MAX ? ColumnType::Integer : ColumnType::BigInt;
}

// The type both a and b fit.
ColumnType widen(ColumnType a, ColumnType b) {
    if (a == b) return a;
    auto rank = [](ColumnType t) { return t == ColumnType::Integer ? 0 : t == ColumnType::BigInt ? 1 : t == ColumnType::Decimal ? 2 : t == ColumnType::Double ? 3 : -1; };
    if (rank(a) >= 0 && rank(b) >= 0) return rank(a) > rank(b) ? a : b;
    if ((a == ColumnType::Date && b == ColumnType::Timestamp) || (a == ColumnType::Timestamp && b == ColumnType::Date))
        return ColumnType::Timestamp;
    return ColumnType::Text;
}

} // namespace

const std::vector<ColumnType>& columnTypes() {
    static const std::vector<ColumnType> all = valuesOf(kTypes);
    return all;
}

QString columnTypeName(ColumnType type) { return nameIn(kTypes, type); }

std::optional<ColumnType> columnTypeNamed(const QString& name) {
    return valueNamed(kTypes, name);
}

ColumnType typeOfValue(std::string_view v) {
    if (const auto n = numeric(v)) return *n;
    if (boolean(v)) return ColumnType::Boolean;
    if (isDate(v)) return ColumnType::Date;
    if (isTimestamp(v)) return ColumnType::Timestamp;
    return ColumnType::Text;
}

void TypeGuess::add(std::string_view value) {
    if (value.empty()) return;
    longest_ = std::max(longest_, int(QString::fromUtf8(value.data(), qsizetype(value.size())).size()));
    int whole = 0, fraction = 0;
    ColumnType t = typeOfValue(value);
    if (t == ColumnType::Decimal && numeric(value, &whole, &fraction)) {
        integerDigits_ = std::max(integerDigits_, whole);
        scale_ = std::max(scale_, fraction);
    } else if (t == ColumnType::Integer || t == ColumnType::BigInt) {
        integerDigits_ = std::max(integerDigits_, int(value.size()) - (value[0] == '-' || value[0] == '+'));
    }
    type_ = any_ ? widen(type_, t) : t;
    any_ = true;
}

ColumnType TypeGuess::type() const { return any_ ? type_ : ColumnType::Text; }

QString sqlType(ColumnType type, db::ServerFamily server, const TypeGuess& guess) {
    using db::ServerFamily;
    const bool pg = server == ServerFamily::PostgreSQL, maria = server == ServerFamily::MariaDB;
    switch (type) {
    case ColumnType::Integer: return maria ? QStringLiteral("INT") : QStringLiteral("INTEGER");
    case ColumnType::BigInt: return server == ServerFamily::SQLite ? QStringLiteral("INTEGER") : QStringLiteral("BIGINT");
    case ColumnType::Decimal: {
        if (!maria) return QStringLiteral("NUMERIC");
        // room for the widest value seen, and some to spare before the point
        const int scale = std::min(30, std::max(guess.scale(), 2));
        const int precision = std::min(65, std::max(guess.integerDigits() + 4, 10) + scale);
        return QStringLiteral("DECIMAL(%1,%2)").arg(precision).arg(scale);
    }
    case ColumnType::Double: return pg ? QStringLiteral("DOUBLE PRECISION") : maria ? QStringLiteral("DOUBLE") : QStringLiteral("REAL");
    case ColumnType::Boolean: return maria ? QStringLiteral("TINYINT(1)") : QStringLiteral("BOOLEAN");
    case ColumnType::Date: return QStringLiteral("DATE");
    case ColumnType::Timestamp: return maria ? QStringLiteral("DATETIME(6)") : QStringLiteral("TIMESTAMP");
    case ColumnType::Text:
        if (!maria) return QStringLiteral("TEXT");
        return guess.longest() <= 255 ? QStringLiteral("VARCHAR(255)") : QStringLiteral("MEDIUMTEXT");
    }
    return QStringLiteral("TEXT");
}

ValueCheck checkFor(ColumnType type) {
    switch (type) {
    case ColumnType::Integer:
    case ColumnType::BigInt: return ValueCheck::WholeNumber;
    case ColumnType::Decimal:
    case ColumnType::Double: return ValueCheck::Number;
    case ColumnType::Date: return ValueCheck::Date;
    case ColumnType::Timestamp: return ValueCheck::Timestamp;
    default: return ValueCheck::None;
    }
}

ValueCheck checkForDeclared(const QString& declaredType) {
    // SQLite's affinity rules, in its order
    const QString t = declaredType.toUpper();
    if (t.contains(QLatin1String("INT"))) return ValueCheck::WholeNumber;
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("CLOB")) || t.contains(QLatin1String("TEXT")) ||
        t.contains(QLatin1String("BLOB")) || t.isEmpty())
        return ValueCheck::None;
    if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) || t.contains(QLatin1String("DOUB")) ||
        t.contains(QLatin1String("NUMERIC")) || t.contains(QLatin1String("DECIMAL")))
        return ValueCheck::Number;
    return ValueCheck::None;
}

bool passes(ValueCheck check, std::string_view value) {
    switch (check) {
    case ValueCheck::None: return true;
    case ValueCheck::WholeNumber: {
        const auto n = numeric(value, nullptr, nullptr, true);
        return n == ColumnType::Integer || n == ColumnType::BigInt;
    }
    case ValueCheck::Number: return numeric(value, nullptr, nullptr, true).has_value();
    case ValueCheck::Date: return isDate(value);
    case ValueCheck::Timestamp: return isDate(value) || isTimestamp(value);
    }
    return true;
}

QString checkName(ValueCheck check) {
    switch (check) {
    case ValueCheck::WholeNumber: return QStringLiteral("a whole number");
    case ValueCheck::Number: return QStringLiteral("a number");
    case ValueCheck::Date: return QStringLiteral("a date");
    case ValueCheck::Timestamp: return QStringLiteral("a timestamp");
    case ValueCheck::None: break;
    }
    return {};
}

std::optional<std::string_view> booleanText(std::string_view value, db::ServerFamily server) {
    if (server == db::ServerFamily::PostgreSQL) return value;
    const auto b = boolean(value);
    if (!b) return value == "1" || value == "0" ? std::optional(value) : std::nullopt;
    return *b ? std::string_view("1") : std::string_view("0");
}

} // namespace csv
