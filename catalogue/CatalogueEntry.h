#pragma once
// One recording as the catalogue keeps it: 60 bytes of CP936 text, the file
// name and its terminator, then the summary string made from the recording's
// header (empty until first shown), then zero bytes.

#include <cstddef>
#include <cstring>
#include <string_view>

inline constexpr size_t kCatalogueEntrySize = 60;
inline constexpr size_t kEntriesPerPage = 20;

struct CatalogueEntry {
    char bytes[kCatalogueEntrySize];

    // The file name: the text up to the first zero byte.
    std::string_view Name() const { return {bytes, strnlen(bytes, kCatalogueEntrySize)}; }
    // The summary: the zero-terminated text after the name's terminator.
    std::string_view Summary() const {
        size_t start = Name().size() + 1;
        if (start >= kCatalogueEntrySize) return {};
        return {bytes + start, strnlen(bytes + start, kCatalogueEntrySize - start)};
    }
};
static_assert(sizeof(CatalogueEntry) == kCatalogueEntrySize);
