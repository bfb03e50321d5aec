#pragma once
// The workbook's shared string table (SST): every text cell refers to its
// string by index, and each distinct string is stored once. Written as an SST
// record that goes on in CONTINUE records when it outgrows one record, and
// the EXTSST index over it.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/BiffRecords.h"

namespace platform::biff {

class SharedStrings {
public:
    // The index of text, adding it when it is new; counts one more reference.
    uint32_t Add(std::u16string_view text);
    uint32_t UniqueCount() const { return static_cast<uint32_t>(order_.size()); }

    // Appends the SST (with its CONTINUE records) and EXTSST records. Strings
    // are stored as UTF-16; a string that does not fit in the record it starts
    // in goes on in the next CONTINUE record after a fresh option byte, and a
    // string's count and option byte are never split.
    void WriteTo(Stream& stream) const;

private:
    std::unordered_map<std::u16string, uint32_t> index_;
    std::vector<const std::u16string*> order_;  // keys of index_, by index
    uint32_t references_ = 0;
};

}  // namespace platform::biff
