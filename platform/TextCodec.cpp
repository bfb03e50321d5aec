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
    if (IsAscii(utf8)) return std::u16string(utf8.begin(), utf8.end());
    thread_local Converter conv("UTF-16LE", "UTF-8");
    std::string bytes;
    conv.Convert(utf8, bytes, std::string_view(kReplacementUtf16, 2), 1);
    return FromBytes(bytes);
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
