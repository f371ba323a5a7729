#pragma once
// Fast appending to a QByteArray: room(n) makes sure n more bytes fit and
// returns where to write them; done(end) keeps what was written up to end.
// Formats reserve a row's worst case once and then write through a pointer,
// instead of growing the buffer for every piece.

#include <QByteArray>
#include <algorithm>
#include <cstring>
#include <string_view>

namespace exports {

inline char* room(QByteArray& out, size_t n) {
    const qsizetype at = out.size();
    const qsizetype need = at + qsizetype(n);
    if (out.capacity() < need) out.reserve(std::max(need, out.capacity() * 2));
    out.resize(need);
    return out.data() + at;
}

inline void done(QByteArray& out, const char* end) {
    out.resize(end - out.constData());
}

inline char* put(char* p, std::string_view s) {
    std::memcpy(p, s.data(), s.size());
    return p + s.size();
}

inline char* put(char* p, const QByteArray& s) {
    return put(p, std::string_view(s.constData(), size_t(s.size())));
}
inline char* put(char* p, const char* s) {
    return put(p, std::string_view(s));
}

} // namespace exports

#include <charconv>

namespace exports {

// Writes n in decimal (room for 20 characters).
inline char* putNumber(char* p, qint64 n) {
    return std::to_chars(p, p + 20, n).ptr;
}

} // namespace exports
