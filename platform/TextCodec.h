#pragma once
// Conversions between the three text forms the program meets: CP936 ("narrow",
// what the recording device and the catalogue store), UTF-16 ("wide", what the
// window and the paths use) and UTF-8 (what the file system and the terminal
// take).

#include <string>
#include <string_view>

namespace platform {

// CP936 to UTF-16. A byte sequence CP936 does not define becomes U+FFFD, so
// display text never fails. Embedded zero bytes are carried across.
std::u16string NarrowToWide(std::string_view narrow);

// UTF-16 to CP936. Returns false (and leaves out unchanged) when a character
// has no CP936 form.
bool WideToNarrow(std::u16string_view wide, std::string& out);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string WideToUtf8(std::u16string_view wide);

// UTF-8 to UTF-16; a malformed sequence becomes U+FFFD.
std::u16string Utf8ToWide(std::string_view utf8);

// CP936 to UTF-8 for the system call. Returns false when the bytes are not
// valid CP936.
bool NarrowToUtf8(std::string_view narrow, std::string& out);

}  // namespace platform
