#pragma once
// "Contains" as the grid's filter and find mean it: the text appears in a
// cell, ignoring case. An ASCII needle is searched in the stored UTF-8 bytes
// directly (a whole column at a time); any other needle compares decoded,
// case-folded text.

#include <QString>

#include <string>
#include <string_view>

namespace grid {

class TextMatch {
public:
    explicit TextMatch(const QString& needle);
    bool empty() const { return needle_.isEmpty(); }
    // True when the needle is ASCII and find() may be used on raw bytes.
    bool bytewise() const { return ascii_; }
    // The needle's length in bytes (bytewise only).
    size_t length() const { return lower_.size(); }
    bool in(std::string_view text) const;
    // The first occurrence at or after from in text (bytewise only); npos when none.
    size_t find(std::string_view text, size_t from) const;

private:
    QString needle_;
    std::string lower_; // the ASCII needle in lower case
    bool ascii_ = true;
};

} // namespace grid
