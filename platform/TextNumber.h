#pragma once
// Text to number the way the C run-time's atoi reads it.

#include <climits>
#include <cstdint>
#include <string_view>

namespace platform {

// The decimal number at the start of text, after optional blanks and an
// optional sign; 0 when there is none. The value is taken as a long
// (saturating, as strtol does) and then cut to int, as glibc's atoi does.
// Works on narrow and on UTF-16 text alike.
template <typename Char>
int TextToInt(std::basic_string_view<Char> text) {
    size_t i = 0;
    auto isBlank = [](Char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (i < text.size() && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const unsigned long limit = negative ? static_cast<unsigned long>(LONG_MAX) + 1 : LONG_MAX;
    unsigned long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        unsigned digit = static_cast<unsigned>(text[i] - '0');
        if (magnitude > (limit - digit) / 10) {
            magnitude = limit;  // saturated; the remaining digits change nothing
            break;
        }
        magnitude = magnitude * 10 + digit;
    }
    long value = negative ? static_cast<long>(0UL - magnitude) : static_cast<long>(magnitude);
    return static_cast<int>(static_cast<uint32_t>(static_cast<uint64_t>(value)));
}

inline int TextToInt(std::string_view text) { return TextToInt<char>(text); }
inline int TextToInt(std::u16string_view text) { return TextToInt<char16_t>(text); }

}  // namespace platform
