#pragma once
// The workbook's shared string table (SST): every text cell refers to its
// string by index, and each distinct string is stored once. Written as an SST
// record that goes on in CONTINUE records when it outgrows one record, and
// the EXTSST index over it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/BiffRecords.h"

namespace workbook::biff {

class SharedStrings {
public:
    // The index of text, adding it when it is new; counts one more reference.
    uint32_t Add(std::u16string_view text);
    uint32_t UniqueCount() const { return static_cast<uint32_t>(spans_.size()); }

    // Appends the SST (with its CONTINUE records) and EXTSST records. Strings
    // are stored as UTF-16; a string that does not fit in the record it starts
    // in goes on in the next CONTINUE record after a fresh option byte, and a
    // string's count and option byte are never split.
    void WriteTo(Stream& stream) const;

private:
    std::u16string_view Text(uint32_t index) const { return {chars_.data() + spans_[index].first, spans_[index].second}; }
    void Grow();

    // The strings back to back, and where each lies: one allocation for all
    // of them, which keeps an export of many rows from chasing pointers.
    std::u16string chars_;
    std::vector<std::pair<uint32_t, uint32_t>> spans_;  // offset and length, by index
    // Open addressing with linear probing: per slot the string's hash in the
    // high half and its index + 1 in the low half; 0 is an empty slot.
    std::vector<uint64_t> slots_;
    uint32_t references_ = 0;
};

}  // namespace workbook::biff
