#include "grid/TextMatch.h"

namespace grid {
namespace {
inline char lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c | 0x20) : c; }
} // namespace

TextMatch::TextMatch(const QString& needle) : needle_(needle) {
    for (QChar c : needle) {
        if (c.unicode() >= 0x80) {
            ascii_ = false;
            break;
        }
        lower_ += lower(char(c.unicode()));
    }
}

size_t TextMatch::find(std::string_view text, size_t from) const {
    const size_t n = lower_.size();
    if (n == 0) return from <= text.size() ? from : std::string_view::npos;
    if (text.size() < n) return std::string_view::npos;
    const char first = lower_[0];
    const bool letter = first >= 'a' && first <= 'z';
    const char* p = text.data();
    const size_t last = text.size() - n;
    for (size_t i = from; i <= last; ++i) {
        const char c = p[i];
        if (c != first && !(letter && char(c | 0x20) == first)) continue;
        size_t k = 1;
        while (k < n && lower(p[i + k]) == lower_[k]) ++k;
        if (k == n) return i;
    }
    return std::string_view::npos;
}

bool TextMatch::in(std::string_view text) const {
    if (ascii_) return find(text, 0) != std::string_view::npos;
    return QString::fromUtf8(text.data(), qsizetype(text.size())).contains(needle_, Qt::CaseInsensitive);
}

} // namespace grid
