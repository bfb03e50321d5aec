#pragma once
// The demo folder of device recordings that tolvan-make-samples writes: 45
// recordings VOC00001.wav .. VOC00045.wav (three pages of the list) covering
// every call type, a range of phone numbers (with '-', short, empty, exactly
// 17 digits) and dates across 2016 to 2018 with several on one day; three
// .wav files whose names the recording-name rule rejects; and notes.txt.

#include <string>
#include <vector>

struct SampleRecordingSpec {
    std::string name;   // file name, e.g. "VOC00001.wav"
    char type;          // call type letter
    std::string phone;  // as stored (at most 17 characters)
    int year, month, day, hour, minute;
    double seconds;     // length of the speech-like signal before encoding
};

// The 45 recordings of the demo folder, in name order.
std::vector<SampleRecordingSpec> SampleFolderRecordings();

// The .wav names in the demo folder that are not recordings by name (they
// hold valid recordings nevertheless).
std::vector<std::string> SampleFolderRejectedNames();

// Creates folder (file-system form) if it is missing and writes the demo
// folder into it, replacing files of the same names. The bytes are the same
// on every run. False when the folder or a file cannot be written.
bool WriteSampleFolder(const std::string& folder);
