#include "platform/CompoundFile.h"

#include <cstring>
#include <stdexcept>

namespace platform {

namespace {

constexpr size_t kSector = 512;
constexpr uint32_t kFatEntriesPerSector = kSector / 4;
constexpr uint32_t kHeaderDifatEntries = 109;
constexpr uint32_t kDifatEntriesPerSector = kFatEntriesPerSector - 1;  // the last one links on
constexpr uint32_t kFree = 0xFFFFFFFF;
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFatSector = 0xFFFFFFFD;
constexpr uint32_t kDifatSector = 0xFFFFFFFC;
constexpr uint32_t kNoStream = 0xFFFFFFFF;
constexpr size_t kDirEntry = 128;

void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
    Put16(p, static_cast<uint16_t>(v));
    Put16(p + 2, static_cast<uint16_t>(v >> 16));
}

uint32_t DivUp(uint64_t a, uint64_t b) { return static_cast<uint32_t>((a + b - 1) / b); }

// One 128-byte directory entry.
void PutDirEntry(uint8_t* e, std::u16string_view name, uint8_t type, uint32_t child, uint32_t start,
                 uint32_t size) {
    for (size_t i = 0; i < name.size(); ++i) Put16(e + 2 * i, name[i]);
    Put16(e + 64, static_cast<uint16_t>((name.size() + 1) * 2));  // bytes, with the terminator
    e[66] = type;
    e[67] = 1;  // black: a tree of one node per level is a valid red-black tree
    Put32(e + 68, kNoStream);
    Put32(e + 72, kNoStream);
    Put32(e + 76, child);
    Put32(e + 116, start);
    Put32(e + 120, size);
}

}  // namespace

std::vector<uint8_t> MakeCompoundFile(std::u16string_view name, std::span<const uint8_t> content) {
    if (name.empty() || name.size() > 31) throw std::invalid_argument("compound-file stream name length");
    if (content.size() < kMiniStreamCutoff) throw std::invalid_argument("compound-file stream below the cutoff");
    if (content.size() > 0xFFFFFFFFu - kSector) throw std::length_error("compound-file stream too long");

    // Sector order: the stream, the directory, the FAT, the DIFAT.
    const uint32_t streamSectors = DivUp(content.size(), kSector);
    const uint32_t dirSector = streamSectors;
    uint32_t fatSectors = 0, difatSectors = 0;
    for (;;) {
        const uint64_t total = uint64_t{streamSectors} + 1 + fatSectors + difatSectors;
        const uint32_t fat = DivUp(total, kFatEntriesPerSector);
        const uint32_t difat = fat > kHeaderDifatEntries ? DivUp(fat - kHeaderDifatEntries, kDifatEntriesPerSector) : 0;
        if (fat == fatSectors && difat == difatSectors) break;
        fatSectors = fat;
        difatSectors = difat;
    }
    const uint32_t firstFat = dirSector + 1;
    const uint32_t firstDifat = firstFat + fatSectors;
    const uint32_t totalSectors = firstDifat + difatSectors;

    std::vector<uint8_t> file(kSector * (size_t{totalSectors} + 1), 0);
    auto sector = [&](uint32_t n) { return file.data() + kSector * (size_t{n} + 1); };

    // Header.
    uint8_t* h = file.data();
    static const uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::memcpy(h, kSignature, 8);
    Put16(h + 24, 0x003E);  // minor version
    Put16(h + 26, 0x0003);  // major version: 512-byte sectors
    Put16(h + 28, 0xFFFE);  // byte order: little-endian
    Put16(h + 30, 9);       // sector size 2^9
    Put16(h + 32, 6);       // mini sector size 2^6
    Put32(h + 44, fatSectors);
    Put32(h + 48, dirSector);
    Put32(h + 56, kMiniStreamCutoff);
    Put32(h + 60, kEndOfChain);  // no mini FAT
    Put32(h + 68, difatSectors ? firstDifat : kEndOfChain);
    Put32(h + 72, difatSectors);
    for (uint32_t i = 0; i < kHeaderDifatEntries; ++i) Put32(h + 76 + 4 * i, i < fatSectors ? firstFat + i : kFree);

    // DIFAT sectors: the FAT sectors after the header's 109, linked in order.
    for (uint32_t d = 0; d < difatSectors; ++d) {
        uint8_t* s = sector(firstDifat + d);
        for (uint32_t i = 0; i < kDifatEntriesPerSector; ++i) {
            const uint32_t fat = kHeaderDifatEntries + d * kDifatEntriesPerSector + i;
            Put32(s + 4 * i, fat < fatSectors ? firstFat + fat : kFree);
        }
        Put32(s + 4 * kDifatEntriesPerSector, d + 1 < difatSectors ? firstDifat + d + 1 : kEndOfChain);
    }

    // FAT: the stream's chain, the directory's one sector, then the marks of
    // the FAT and DIFAT sectors; the rest is free.
    const uint32_t fatEntries = fatSectors * kFatEntriesPerSector;
    for (uint32_t n = 0; n < fatEntries; ++n) {
        uint32_t v = kFree;
        if (n + 1 < streamSectors)
            v = n + 1;
        else if (n + 1 == streamSectors || n == dirSector)
            v = kEndOfChain;
        else if (n >= firstFat && n < firstDifat)
            v = kFatSector;
        else if (n >= firstDifat && n < totalSectors)
            v = kDifatSector;
        Put32(sector(firstFat + n / kFatEntriesPerSector) + 4 * (n % kFatEntriesPerSector), v);
    }

    // Directory: the root (no mini stream), the stream, two unused entries.
    uint8_t* dir = sector(dirSector);
    PutDirEntry(dir, u"Root Entry", 5, 1, kEndOfChain, 0);
    PutDirEntry(dir + kDirEntry, name, 2, kNoStream, 0, static_cast<uint32_t>(content.size()));
    for (int i = 2; i < 4; ++i) {
        uint8_t* e = dir + kDirEntry * i;
        Put32(e + 68, kNoStream);
        Put32(e + 72, kNoStream);
        Put32(e + 76, kNoStream);
    }

    std::memcpy(sector(0), content.data(), content.size());
    return file;
}

}  // namespace platform
