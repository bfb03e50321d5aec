#pragma once
// ChVocPath.txt in the application-data folder: the last destination of the
// batch conversion, so that the next one's folder browser opens there.
// Exactly 520 bytes: the folder as UTF-16LE with its trailing separator, a
// zero unit, zero bytes to the end; no byte-order mark.

#include <string>
#include <string_view>

inline constexpr char kChVocPathName[] = "ChVocPath.txt";
inline constexpr size_t kChVocPathBytes = 520;

// Replaces the file with folder (at most 259 units). False when it cannot be
// written; nothing half-written is left under its name.
bool WriteChVocPath(std::u16string_view folder);

// The folder the file names; empty when it is missing, shorter than 520
// bytes or empty.
std::u16string ReadChVocPath();
