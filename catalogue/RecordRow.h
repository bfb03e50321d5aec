#pragma once
// The texts of one row of the record list, worked out from a catalogue entry
// when its page is shown.

#include <cstdint>
#include <string>
#include <string_view>

#include "catalogue/CatalogueView.h"
#include "platform/Files.h"

// The phone, call-type and start-time texts of a summary, the way the record
// list and the export show them; all empty for an empty summary. The phone is
// empty for an on-site recording.
struct SummaryTexts {
    std::u16string phone;
    std::u16string type;
    std::u16string start;
};
SummaryTexts SummaryColumnTexts(std::u16string_view summary);

// The recording called name in folder, opened for reading without sharing;
// not open when it is missing, held by another program or its path too long.
platform::File OpenRecording(std::u16string_view folder, std::u16string_view name);

// Fills columns 2 to 6 (phone, type, start time, length, size) of row from
// the entry's UTF-16 name and summary. The recording in folder is opened for
// its size and form each time: a file the player plays as PCM is measured as
// the export measures it (PcmWavSeconds), any other by RecordingSeconds. A
// row whose summary is empty shows empty phone, type and start texts; a
// recording that cannot be opened shows empty length and size texts.
void FormatRow(std::u16string_view folder, std::u16string_view name, std::u16string_view summary, RowTexts& row);

// The decimal text of value ("%ld").
std::u16string DecimalText(int64_t value);

// Seconds of audio the list shows for a device recording of size bytes: 4096
// bytes a second after the 512-byte head; 0 for a file no longer than the
// head.
uint32_t RecordingSeconds(uint32_t size);
