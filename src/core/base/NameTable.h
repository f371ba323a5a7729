#pragma once
// An enumeration's values with the names the user reads (in dialogs,
// options, messages) in one table, and the three questions asked of it:
// every value in table order, the name of a value, the value of a name
// (any case, blanks around it ignored).

#include <QString>

#include <cstddef>
#include <optional>
#include <vector>

template <typename E>
struct Named {
    E value;
    const char* name;
};

template <typename E, std::size_t N>
std::vector<E> valuesOf(const Named<E> (&table)[N]) {
    std::vector<E> out;
    out.reserve(N);
    for (const Named<E>& n : table) out.push_back(n.value);
    return out;
}

template <typename E, std::size_t N>
QString nameIn(const Named<E> (&table)[N], E value) {
    for (const Named<E>& n : table)
        if (n.value == value) return QString::fromLatin1(n.name);
    return {};
}

template <typename E, std::size_t N>
std::optional<E> valueNamed(const Named<E> (&table)[N], const QString& name) {
    for (const Named<E>& n : table)
        if (name.trimmed().compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0) return n.value;
    return std::nullopt;
}
