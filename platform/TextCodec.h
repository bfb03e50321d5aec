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

// UTF-8 to UTF-16. A byte that does not belong to a well-formed sequence
// becomes the lone surrogate U+DC00 + byte (U+DC80..U+DCFF), as file-system
// names are carried elsewhere too, so that a name that is not UTF-8 comes
// back to the same bytes; Qt shows such a unit as a replacement character.
std::u16string Utf8ToWide(std::string_view utf8);

// UTF-16 to UTF-8; a lone surrogate U+DC80..U+DCFF becomes the byte it
// stands for, any other unpaired surrogate U+FFFD. Utf8ToWide's output comes
// back byte for byte.
std::string WideToUtf8(std::u16string_view wide);

// CP936 to UTF-8 for the system call. Returns false when the bytes are not
// valid CP936.
bool NarrowToUtf8(std::string_view narrow, std::string& out);

}  // namespace platform
