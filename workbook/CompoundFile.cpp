#include "workbook/CompoundFile.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace workbook {

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
constexpr uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

// Header fields, by offset.
constexpr size_t kMajorVersionAt = 26;
constexpr size_t kByteOrderAt = 28;
constexpr size_t kSectorShiftAt = 30;
constexpr size_t kFatSectorsAt = 44;
constexpr size_t kDirectoryAt = 48;
constexpr size_t kFirstDifatAt = 68;
constexpr size_t kHeaderDifatAt = 76;
constexpr uint16_t kMajorVersion = 3;  // 512-byte sectors
constexpr uint16_t kLittleEndian = 0xFFFE;
constexpr uint16_t kSectorShift = 9;

// Directory entry fields, by offset, and the entry types used.
constexpr size_t kNameBytesAt = 64;
constexpr size_t kTypeAt = 66;
constexpr size_t kStartAt = 116;
constexpr size_t kSizeAt = 120;
constexpr uint8_t kStreamEntry = 2;
constexpr uint8_t kRootEntry = 5;

void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
    Put16(p, static_cast<uint16_t>(v));
    Put16(p + 2, static_cast<uint16_t>(v >> 16));
}

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t* p) { return Get16(p) | (uint32_t{Get16(p + 2)} << 16); }

uint32_t DivUp(uint64_t a, uint64_t b) { return static_cast<uint32_t>((a + b - 1) / b); }

// One 128-byte directory entry.
void PutDirEntry(uint8_t* e, std::u16string_view name, uint8_t type, uint32_t child, uint32_t start,
                 uint32_t size) {
    for (size_t i = 0; i < name.size(); ++i) Put16(e + 2 * i, name[i]);
    Put16(e + kNameBytesAt, static_cast<uint16_t>((name.size() + 1) * 2));  // bytes, with the terminator
    e[kTypeAt] = type;
    e[67] = 1;  // black: a tree of one node per level is a valid red-black tree
    Put32(e + 68, kNoStream);
    Put32(e + 72, kNoStream);
    Put32(e + 76, child);
    Put32(e + kStartAt, start);
    Put32(e + kSizeAt, size);
}

// A compound file on disk, read a sector at a time. Sector n lies at byte
// 512 * (n + 1), behind the header.
class SectorReader {
public:
    explicit SectorReader(platform::File& file) : file_(file) {}

    // Reads the header and the DIFAT; false when this is not a compound file
    // of 512-byte sectors.
    bool Start() {
        const int64_t size = file_.Size();
        if (size < static_cast<int64_t>(2 * kSector) || file_.ReadAt(0, header_, kSector) != kSector) return false;
        sectors_ = static_cast<uint32_t>(std::min<int64_t>(size / kSector - 1, kFatSector));
        if (std::memcmp(header_, kSignature, sizeof kSignature) != 0 ||
            Get16(header_ + kMajorVersionAt) != kMajorVersion || Get16(header_ + kByteOrderAt) != kLittleEndian ||
            Get16(header_ + kSectorShiftAt) != kSectorShift)
            return false;
        const uint32_t fatSectors = Get32(header_ + kFatSectorsAt);
        if (fatSectors > sectors_) return false;
        for (uint32_t i = 0; i < kHeaderDifatEntries && difat_.size() < fatSectors; ++i)
            difat_.push_back(Get32(header_ + kHeaderDifatAt + 4 * i));
        // Each DIFAT sector adds entries, so this ends; a loop among them
        // only repeats entries.
        uint8_t sector[kSector];
        for (uint32_t next = Get32(header_ + kFirstDifatAt); difat_.size() < fatSectors;) {
            if (!Read(next, sector)) return false;
            for (uint32_t i = 0; i < kDifatEntriesPerSector && difat_.size() < fatSectors; ++i)
                difat_.push_back(Get32(sector + 4 * i));
            next = Get32(sector + 4 * kDifatEntriesPerSector);
        }
        return true;
    }

    uint32_t Directory() const { return Get32(header_ + kDirectoryAt); }

    bool Read(uint32_t sector, uint8_t (&out)[kSector]) {
        return sector < sectors_ && file_.ReadAt(kSector * (int64_t{sector} + 1), out, kSector) == kSector;
    }

    // Walks a chain from first, handing each sector's bytes to take until it
    // returns false. False when the chain leaves the file, loops (more steps
    // than the file has sectors) or ends before take is satisfied.
    template <typename Take>
    bool Walk(uint32_t first, Take take) {
        uint8_t sector[kSector];
        uint32_t steps = 0;
        for (uint32_t s = first; s != kEndOfChain; s = Next(s)) {
            if (++steps > sectors_ || !Read(s, sector)) return false;
            if (!take(sector)) return true;
        }
        return false;
    }

private:
    // The FAT entry of sector s; a value no sector has when the FAT does not
    // cover s.
    uint32_t Next(uint32_t s) {
        const uint32_t index = s / kFatEntriesPerSector;
        if (index >= difat_.size()) return kFree;
        if (index != cachedIndex_) {
            if (!Read(difat_[index], cached_)) return kFree;
            cachedIndex_ = index;
        }
        return Get32(cached_ + 4 * (s % kFatEntriesPerSector));
    }

    platform::File& file_;
    uint8_t header_[kSector] = {};
    uint32_t sectors_ = 0;
    std::vector<uint32_t> difat_;           // the FAT's sectors
    uint8_t cached_[kSector] = {};          // the FAT sector last read
    uint32_t cachedIndex_ = kFree;
};

bool HasName(const uint8_t* entry, std::u16string_view name) {
    if (Get16(entry + kNameBytesAt) != (name.size() + 1) * 2) return false;
    for (size_t i = 0; i < name.size(); ++i)
        if (Get16(entry + 2 * i) != name[i]) return false;
    return true;
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
    std::memcpy(h, kSignature, sizeof kSignature);
    Put16(h + 24, 0x003E);  // minor version
    Put16(h + kMajorVersionAt, kMajorVersion);
    Put16(h + kByteOrderAt, kLittleEndian);
    Put16(h + kSectorShiftAt, kSectorShift);
    Put16(h + 32, 6);  // mini sector size 2^6
    Put32(h + kFatSectorsAt, fatSectors);
    Put32(h + kDirectoryAt, dirSector);
    Put32(h + 56, kMiniStreamCutoff);
    Put32(h + 60, kEndOfChain);  // no mini FAT
    Put32(h + kFirstDifatAt, difatSectors ? firstDifat : kEndOfChain);
    Put32(h + 72, difatSectors);
    for (uint32_t i = 0; i < kHeaderDifatEntries; ++i)
        Put32(h + kHeaderDifatAt + 4 * i, i < fatSectors ? firstFat + i : kFree);

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
    PutDirEntry(dir, u"Root Entry", kRootEntry, 1, kEndOfChain, 0);
    PutDirEntry(dir + kDirEntry, name, kStreamEntry, kNoStream, 0, static_cast<uint32_t>(content.size()));
    for (int i = 2; i < 4; ++i) {
        uint8_t* e = dir + kDirEntry * i;
        Put32(e + 68, kNoStream);
        Put32(e + 72, kNoStream);
        Put32(e + 76, kNoStream);
    }

    std::memcpy(sector(0), content.data(), content.size());
    return file;
}

std::optional<std::vector<uint8_t>> ReadCompoundStream(platform::File& file, std::u16string_view name,
                                                       size_t limit) {
    SectorReader reader(file);
    if (!reader.Start()) return std::nullopt;
    // The directory, entry by entry, up to the stream of that name.
    uint32_t start = kEndOfChain, size = 0;
    bool found = false;
    reader.Walk(reader.Directory(), [&](const uint8_t* sector) {
        for (size_t e = 0; e < kSector && !found; e += kDirEntry) {
            if (sector[e + kTypeAt] != kStreamEntry || !HasName(sector + e, name)) continue;
            start = Get32(sector + e + kStartAt);
            size = Get32(sector + e + kSizeAt);
            found = true;
        }
        return !found;
    });
    // A shorter stream would lie in the mini stream, which the writer never
    // makes.
    if (!found || size < kMiniStreamCutoff) return std::nullopt;
    std::vector<uint8_t> bytes;
    const size_t wanted = std::min<size_t>(size, limit);
    bytes.reserve(wanted);
    const bool whole = reader.Walk(start, [&](const uint8_t* sector) {
        bytes.insert(bytes.end(), sector, sector + std::min(kSector, wanted - bytes.size()));
        return bytes.size() < wanted;
    });
    if (!whole) return std::nullopt;
    return bytes;
}

}  // namespace workbook
