#include "platform/TextCodec.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace platform {
namespace {

// One iconv descriptor per direction and thread: iconv_open is far more
// expensive than a conversion, and descriptors carry shift state.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts in to out. On an invalid or unconvertible input sequence,
    // either stops and returns false (replacement empty) or appends the
    // replacement bytes and skips skip_units input bytes.
    bool Convert(std::string_view in, std::string& out, std::string_view replacement, size_t skip_bytes) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        out.clear();
        char* src = const_cast<char*>(in.data());
        size_t src_left = in.size();
        char buffer[1024];
        while (src_left > 0) {
            char* dst = buffer;
            size_t dst_left = sizeof buffer;
            size_t rc = iconv(cd_, &src, &src_left, &dst, &dst_left);
            out.append(buffer, static_cast<size_t>(dst - buffer));
            if (rc != static_cast<size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL (truncated sequence at the end)
            if (replacement.empty()) return false;
            out.append(replacement);
            size_t skip = std::min(skip_bytes, src_left);
            src += skip;
            src_left -= skip;
        }
        return true;
    }

private:
    iconv_t cd_;
};

bool IsAscii(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

std::string_view AsBytes(std::u16string_view s) {
    return {reinterpret_cast<const char*>(s.data()), s.size() * sizeof(char16_t)};
}

std::u16string FromBytes(const std::string& bytes) {
    return std::u16string(reinterpret_cast<const char16_t*>(bytes.data()), bytes.size() / sizeof(char16_t));
}

const char kReplacementUtf16[] = {'\xFD', '\xFF'};  // U+FFFD, little-endian

// Bytes that are not UTF-8 travel in UTF-16 as lone surrogates U+DC80..U+DCFF.
constexpr char16_t kEscapedByteFirst = 0xDC80;
constexpr char16_t kEscapedByteLast = 0xDCFF;

}  // namespace

std::u16string NarrowToWide(std::string_view narrow) {
    if (IsAscii(narrow)) return std::u16string(narrow.begin(), narrow.end());
    thread_local Converter conv("UTF-16LE", "CP936");
    std::string bytes;
    conv.Convert(narrow, bytes, std::string_view(kReplacementUtf16, 2), 1);
    return FromBytes(bytes);
}

bool WideToNarrow(std::u16string_view wide, std::string& out) {
    bool ascii = true;
    for (char16_t c : wide)
        if (c >= 0x80) { ascii = false; break; }
    if (ascii) {
        out.assign(wide.begin(), wide.end());
        return true;
    }
    thread_local Converter conv("CP936", "UTF-16LE");
    std::string bytes;
    if (!conv.Convert(AsBytes(wide), bytes, {}, 0)) return false;
    out = std::move(bytes);
    return true;
}

std::string WideToUtf8(std::u16string_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        char32_t c = wide[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
            ++i;
        } else if (c >= kEscapedByteFirst && c <= kEscapedByteLast) {
            out += static_cast<char>(c - 0xDC00);  // a byte Utf8ToWide could not decode, given back
            continue;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string Utf8ToWide(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
    const size_t n = utf8.size();
    for (size_t i = 0; i < n;) {
        const unsigned char b = s[i];
        if (b < 0x80) {
            out += static_cast<char16_t>(b);
            ++i;
            continue;
        }
        // The length of a well-formed sequence led by b, and the range its
        // second byte must lie in (no overlong forms, no encoded surrogates,
        // nothing past U+10FFFF).
        size_t len = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            len = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            len = 3;
            if (b == 0xE0) lo = 0xA0;
            if (b == 0xED) hi = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            len = 4;
            if (b == 0xF0) lo = 0x90;
            if (b == 0xF4) hi = 0x8F;
        }
        bool ok = len > 0 && i + len <= n && s[i + 1] >= lo && s[i + 1] <= hi;
        for (size_t k = 2; ok && k < len; ++k) ok = s[i + k] >= 0x80 && s[i + k] <= 0xBF;
        if (!ok) {
            out += static_cast<char16_t>(0xDC00 + b);
            ++i;
            continue;
        }
        char32_t c = b & (len == 2 ? 0x1F : len == 3 ? 0x0F : 0x07);
        for (size_t k = 1; k < len; ++k) c = (c << 6) | (s[i + k] & 0x3F);
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += len;
    }
    return out;
}

bool NarrowToUtf8(std::string_view narrow, std::string& out) {
    if (IsAscii(narrow)) {
        out.assign(narrow);
        return true;
    }
    thread_local Converter conv("UTF-8", "CP936");
    std::string bytes;
    if (!conv.Convert(narrow, bytes, {}, 0)) return false;
    out = std::move(bytes);
    return true;
}

}  // namespace platform
