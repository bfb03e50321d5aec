// Texts through the CP936/UTF-8/UTF-16 conversions, the keyword's wildcard
// match, the date splitting of the query panel and the atoi-like reading of
// numbers, each against a plain statement of what it must give.
//
// Input: one byte choosing the entry point, then the text.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/QueryFilter.h"
#include "platform/TextCodec.h"
#include "platform/TextNumber.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

bool IsSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }

void Narrow(std::string_view bytes) {
    const std::u16string wide = platform::NarrowToWide(bytes);
    std::string utf8;
    if (platform::NarrowToUtf8(bytes, utf8)) {
        // Valid CP936: both ways to UTF-16 agree, and it goes back to CP936.
        Check(platform::Utf8ToWide(utf8) == wide);
        std::string back;
        Check(platform::WideToNarrow(wide, back));
        Check(platform::NarrowToWide(back) == wide);
    }
    std::string narrow = "unchanged";
    if (!platform::WideToNarrow(wide, narrow)) Check(narrow == "unchanged");
}

// A byte that is not part of well-formed UTF-8 travels as U+DC80..U+DCFF.
bool IsEscapedByte(char16_t c) { return c >= 0xDC80 && c <= 0xDCFF; }

void Utf8(std::string_view bytes) {
    const std::u16string wide = platform::Utf8ToWide(bytes);
    for (size_t i = 0; i < wide.size(); ++i) {
        if (wide[i] >= 0xD800 && wide[i] <= 0xDBFF) {
            Check(i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF);
            ++i;
        } else {
            Check(!IsSurrogate(wide[i]) || IsEscapedByte(wide[i]));
        }
    }
    // Whatever the bytes, they come back as they were: file names that are
    // not UTF-8 still open.
    Check(platform::WideToUtf8(wide) == bytes);
    Check(platform::Utf8ToWide(platform::WideToUtf8(wide)) == wide);
}

void Utf16(std::string_view bytes) {
    std::u16string wide(bytes.size() / 2, u'\0');
    std::memcpy(wide.data(), bytes.data(), wide.size() * 2);
    // Each unpaired surrogate becomes one U+FFFD, but an escaped byte becomes
    // that byte; everything else survives.
    std::u16string expected = wide;
    bool escapes = false;
    for (size_t i = 0; i < expected.size(); ++i) {
        if (expected[i] >= 0xD800 && expected[i] <= 0xDBFF && i + 1 < expected.size() && expected[i + 1] >= 0xDC00 &&
            expected[i + 1] <= 0xDFFF) {
            ++i;
        } else if (IsEscapedByte(expected[i])) {
            escapes = true;
        } else if (IsSurrogate(expected[i])) {
            expected[i] = u'\uFFFD';
        }
    }
    const std::string utf8 = platform::WideToUtf8(wide);
    // The bytes are a fixed point; without escaped bytes (which may join
    // into a well-formed sequence) the text itself comes back.
    Check(platform::WideToUtf8(platform::Utf8ToWide(utf8)) == utf8);
    if (!escapes) Check(platform::Utf8ToWide(utf8) == expected);
    std::string narrow;
    if (platform::WideToNarrow(wide, narrow)) Check(platform::NarrowToWide(narrow) == wide);
}

// '*' any run, '?' one character, everything else itself.
bool Matches(std::string_view pattern, std::string_view text) {
    std::vector<std::vector<bool>> m(pattern.size() + 1, std::vector<bool>(text.size() + 1, false));
    m[0][0] = true;
    for (size_t p = 1; p <= pattern.size(); ++p) {
        for (size_t t = 0; t <= text.size(); ++t) {
            if (pattern[p - 1] == '*')
                m[p][t] = m[p - 1][t] || (t > 0 && m[p][t - 1]);
            else if (t > 0)
                m[p][t] = m[p - 1][t - 1] && (pattern[p - 1] == '?' || pattern[p - 1] == text[t - 1]);
        }
    }
    return m[pattern.size()][text.size()];
}

void Wildcard(std::string_view bytes) {
    // Pattern and text are the two parts either side of the first zero byte.
    const size_t zero = std::min(bytes.find('\0'), bytes.size());
    const std::string pattern(bytes.substr(0, zero));
    const std::string rest(zero < bytes.size() ? bytes.substr(zero + 1) : std::string_view());
    const std::string text(rest.c_str());
    if (pattern.size() > 64 || text.size() > 64) return;  // the reference is quadratic
    Check(WildcardMatch(pattern.c_str(), text.c_str()) == (Matches(pattern, text) ? 1 : 0));
    if (pattern.size() < 32)
        Check(MatchesKeyword(pattern.c_str(), text.c_str()) == (pattern.empty() || Matches("*" + pattern + "*", text)));
}

void Date(std::string_view bytes) {
    const std::u16string text = platform::Utf8ToWide(bytes);
    std::u16string year = u"y", month = u"m", day = u"d";
    if (SplitDate(text, year, month, day)) {
        Check(year.find(u'-') == std::u16string::npos && month.find(u'-') == std::u16string::npos);
        Check(year + u"-" + month + u"-" + day == text);
    } else {
        Check(year == u"y" && month == u"m" && day == u"d");
        size_t dashes = 0;
        for (char16_t c : text) dashes += c == u'-';
        Check(dashes < 2);
    }
}

void Number(std::string_view bytes) {
    // As glibc's atoi reads the text up to its first zero byte.
    const std::string text(bytes.substr(0, std::min(bytes.find('\0'), bytes.size())));
    const int expected = static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
    Check(platform::TextToInt(std::string_view(text)) == expected);
    // The same characters as UTF-16 read the same, other characters being
    // no digits, blanks or signs.
    std::u16string wide = platform::Utf8ToWide(bytes);
    std::string ascii;
    for (char16_t c : wide) ascii += c < 0x80 ? static_cast<char>(c) : 'x';
    const std::string asciiText = ascii.substr(0, std::min(ascii.find('\0'), ascii.size()));
    Check(platform::TextToInt(std::u16string_view(wide)) ==
          static_cast<int>(std::strtol(asciiText.c_str(), nullptr, 10)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 6) {
    case 0: Narrow(text); break;
    case 1: Utf8(text); break;
    case 2: Utf16(text); break;
    case 3: Wildcard(text); break;
    case 4: Date(text); break;
    default: Number(text); break;
    }
    return 0;
}
