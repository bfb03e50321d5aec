#pragma once
// The texts of one row of the record list, worked out from a catalogue entry
// when its page is shown.

#include <cstdint>
#include <string>
#include <string_view>

#include "catalogue/CatalogueView.h"

// Fills columns 2 to 6 (phone, type, start time, length, size) of row from
// the entry's UTF-16 name and summary. The recording in folder is opened for
// its size each time. A row whose summary is empty shows empty phone, type
// and start texts; a recording that cannot be opened shows empty length and
// size texts.
void FormatRow(std::u16string_view folder, std::u16string_view name, std::u16string_view summary, RowTexts& row);

// The decimal text of value ("%ld").
std::u16string DecimalText(int64_t value);

// Seconds of audio the list shows for a recording of size bytes: 4096 bytes
// a second after the 512-byte head; 0 for a file no longer than the head.
uint32_t RecordingSeconds(uint32_t size);
