#pragma once
// Text order as the user's locale sorts it (the collation QCollator uses,
// through ICU), on UTF-8 text as the grid stores it. One object per thread:
// a collator is not shared between threads.

#include <QLocale>

#include <string>
#include <string_view>

struct UCollator;

namespace grid {

class Collation {
public:
    explicit Collation(const QLocale& locale = QLocale());
    ~Collation();
    Collation(const Collation&) = delete;
    Collation& operator=(const Collation&) = delete;

    // <0, 0, >0 as a sorts before, with or after b.
    int compare(std::string_view a, std::string_view b) const;
    // Appends bytes that compare (as unsigned bytes, shorter first on a
    // common start) in the order compare() gives.
    void appendKey(std::string_view text, std::string& out) const;

private:
    UCollator* collator_ = nullptr;
    mutable std::u16string scratch_;
};

} // namespace grid
