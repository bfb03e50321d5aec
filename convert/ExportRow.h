#pragma once
// The texts of one recording's row in the exported workbook.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Files.h"

struct ExportRow {
    std::u16string phone;  // as the record list shows them
    std::u16string type;
    std::u16string start;
    // False when the recording could not be opened (removed, or held by
    // another program): its duration and size are unknown, seconds is 0 and
    // the size text empty.
    bool measured = false;
    uint32_t seconds = 0;  // the duration, a number in the workbook
    std::u16string size;   // KiB rounded down with "K"; "1K" below 1024 bytes
};

// Seconds of audio in the open recording called name, from its size: an LDV
// stream (name holding ".ldv", ".LDV" or ".Ldv") has 1000 bytes a second; a
// file the player plays as PCM is measured as the record list measures it
// (PcmWavSeconds); a device recording has 4000 bytes a second after its
// 512-byte head, and 0 when it is no longer than the head.
uint32_t ExportSeconds(std::u16string_view name, platform::File& file);

// The row of the recording called name in folder, whose catalogue summary
// is summary. Opens the recording once for its size and form.
ExportRow FormatExportRow(std::u16string_view folder, std::u16string_view name, std::u16string_view summary);
