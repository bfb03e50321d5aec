#pragma once
// The compound-file (OLE2 structured storage, version 3) container around one
// stream: 512-byte sectors, a FAT (with DIFAT sectors when it needs more than
// the header's 109 entries), and a directory holding the root and the stream.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace platform {

// The streams the compound file leaves to a mini stream: anything shorter
// than this. The file holds no mini stream, so the caller pads shorter
// streams to this size.
inline constexpr size_t kMiniStreamCutoff = 4096;

// The bytes of a compound file whose root holds the one stream called name
// (at most 31 characters) with content (at least kMiniStreamCutoff bytes).
std::vector<uint8_t> MakeCompoundFile(std::u16string_view name, std::span<const uint8_t> content);

}  // namespace platform
