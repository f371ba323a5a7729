#include "grid/Collation.h"

#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <cstring>

namespace grid {

Collation::Collation(const QLocale& locale) {
    UErrorCode status = U_ZERO_ERROR;
    collator_ = ucol_open(locale.name().toLatin1().constData(), &status);
    if (U_FAILURE(status)) {
        status = U_ZERO_ERROR;
        collator_ = ucol_open("", &status); // the root order
    }
    if (U_FAILURE(status)) collator_ = nullptr;
}

Collation::~Collation() {
    if (collator_) ucol_close(collator_);
}

int Collation::compare(std::string_view a, std::string_view b) const {
    if (!collator_) return a.compare(b);
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult r =
        ucol_strcollUTF8(collator_, a.data(), int32_t(a.size()), b.data(), int32_t(b.size()), &status);
    if (U_FAILURE(status)) return a.compare(b);
    return r == UCOL_LESS ? -1 : r == UCOL_GREATER ? 1 : 0;
}

void Collation::appendKey(std::string_view text, std::string& out) const {
    if (!collator_) {
        out.append(text);
        return;
    }
    // ASCII needs no decoding: widen it directly.
    scratch_.resize(text.size());
    size_t n = 0;
    bool ascii = true;
    for (; n < text.size(); ++n) {
        const unsigned char c = static_cast<unsigned char>(text[n]);
        if (c >= 0x80) {
            ascii = false;
            break;
        }
        scratch_[n] = char16_t(c);
    }
    int32_t length = int32_t(n);
    if (!ascii) {
        UErrorCode status = U_ZERO_ERROR;
        u_strFromUTF8Lenient(nullptr, 0, &length, text.data(), int32_t(text.size()), &status);
        scratch_.resize(size_t(length));
        status = U_ZERO_ERROR;
        u_strFromUTF8Lenient(reinterpret_cast<UChar*>(scratch_.data()), length, &length, text.data(),
                             int32_t(text.size()), &status);
    }
    const size_t at = out.size();
    out.resize(at + 64 + 4 * size_t(length));
    int32_t k = ucol_getSortKey(collator_, reinterpret_cast<const UChar*>(scratch_.data()), length,
                                reinterpret_cast<uint8_t*>(out.data() + at), int32_t(out.size() - at));
    if (size_t(k) > out.size() - at) {
        out.resize(at + size_t(k));
        k = ucol_getSortKey(collator_, reinterpret_cast<const UChar*>(scratch_.data()), length,
                            reinterpret_cast<uint8_t*>(out.data() + at), k);
    }
    out.resize(at + size_t(k > 0 ? k - 1 : 0)); // without its closing NUL
}

} // namespace grid
