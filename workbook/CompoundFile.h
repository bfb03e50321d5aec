#pragma once
// The compound-file (OLE2 structured storage, version 3) container around one
// stream: 512-byte sectors, a FAT (with DIFAT sectors when it needs more than
// the header's 109 entries), and a directory holding the root and the stream.
// Written whole in memory; read back a sector at a time, so that telling what
// an existing file is reads little of it.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "platform/Files.h"

namespace workbook {

// The streams the compound file leaves to a mini stream: anything shorter
// than this. The file holds no mini stream, so the caller pads shorter
// streams to this size.
inline constexpr size_t kMiniStreamCutoff = 4096;

// The bytes of a compound file whose root holds the one stream called name
// (at most 31 characters) with content (at least kMiniStreamCutoff bytes).
std::vector<uint8_t> MakeCompoundFile(std::u16string_view name, std::span<const uint8_t> content);

// The first bytes, at most limit, of the stream called name in the compound
// file open as file. Nothing when file is not a compound file of 512-byte
// sectors, when its directory names no such stream, or when a chain leads
// outside the file or ends before the stream does. Whatever the bytes, it
// reads no more sectors than the file holds for any one chain.
std::optional<std::vector<uint8_t>> ReadCompoundStream(platform::File& file, std::u16string_view name,
                                                       size_t limit);

}  // namespace workbook
