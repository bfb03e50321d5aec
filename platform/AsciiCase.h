#pragma once
// Names compared without regard to the case of ASCII letters, as the
// device's FAT volumes and Windows compare them; every other character is
// compared as it is.

#include <string_view>

namespace platform {

// c in lower case when it is an ASCII letter; narrow and UTF-16 text alike.
template <typename Char>
constexpr Char FoldAscii(Char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<Char>(c - 'A' + 'a') : c;
}

inline bool SameIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
}

}  // namespace platform
