#include "workbook/SharedStrings.h"

#include <algorithm>
#include <functional>
#include <stdexcept>

namespace workbook::biff {

namespace {
constexpr size_t kStringHead = 3;         // character count (u16) and option byte
constexpr uint8_t kUncompressed = 0x01;   // option byte: two bytes a character
constexpr uint32_t kMaxBuckets = 128;     // EXTSST entries
constexpr uint32_t kMinBucketStrings = 8;
}  // namespace

uint32_t SharedStrings::Add(std::u16string_view text) {
    ++references_;
    if (2 * (spans_.size() + 1) > slots_.size()) Grow();
    const uint32_t hash = static_cast<uint32_t>(std::hash<std::u16string_view>{}(text));
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const uint64_t slot = slots_[i];
        if (slot == 0) {
            if (chars_.size() + text.size() > UINT32_MAX) throw std::length_error("string table too large");
            const uint32_t index = UniqueCount();
            spans_.emplace_back(static_cast<uint32_t>(chars_.size()), static_cast<uint32_t>(text.size()));
            chars_.append(text);
            slots_[i] = (uint64_t{hash} << 32) | (index + 1);
            return index;
        }
        const uint32_t index = static_cast<uint32_t>(slot) - 1;
        if (static_cast<uint32_t>(slot >> 32) == hash && Text(index) == text) return index;
    }
}

void SharedStrings::Grow() {
    std::vector<uint64_t> old = std::move(slots_);
    slots_.assign(std::max<size_t>(64, old.size() * 2), 0);
    const size_t mask = slots_.size() - 1;
    for (uint64_t slot : old) {
        if (slot == 0) continue;
        size_t i = (slot >> 32) & mask;
        while (slots_[i] != 0) i = (i + 1) & mask;
        slots_[i] = slot;
    }
}

void SharedStrings::WriteTo(Stream& stream) const {
    const uint32_t count = UniqueCount();
    const uint32_t perBucket = std::max(kMinBucketStrings, (count + kMaxBuckets - 1) / kMaxBuckets);

    uint16_t id = kSst;
    RecordData record;
    record.U32(references_).U32(count);
    auto flush = [&] {
        stream.Append(id, record);
        id = kContinue;
        record = RecordData();
    };

    RecordData extsst;
    extsst.U16(static_cast<uint16_t>(perBucket));
    for (uint32_t i = 0; i < count; ++i) {
        const std::u16string_view text = Text(i);
        // The head and at least one character start in the same record.
        const size_t needed = kStringHead + (text.empty() ? 0 : 2);
        if (kMaxRecordData - record.Size() < needed) flush();
        if (i % perBucket == 0) {
            // Where the string starts: in the stream, and inside its record
            // counted from the record's id.
            extsst.U32(static_cast<uint32_t>(stream.Size() + 4 + record.Size()));
            extsst.U16(static_cast<uint16_t>(4 + record.Size()));
            extsst.U16(0);
        }
        record.U16(static_cast<uint16_t>(text.size())).U8(kUncompressed);
        for (size_t done = 0; done < text.size();) {
            size_t room = (kMaxRecordData - record.Size()) / 2;
            if (room == 0) {
                flush();
                record.U8(kUncompressed);
                room = (kMaxRecordData - record.Size()) / 2;
            }
            const size_t n = std::min(room, text.size() - done);
            for (size_t k = 0; k < n; ++k) record.U16(text[done + k]);
            done += n;
        }
    }
    flush();
    stream.Append(kExtSst, extsst);
}

}  // namespace workbook::biff
