#include "tests/catalogue/RecordingFiles.h"

#include <cstdio>
#include <stdexcept>

#include "tools/SampleRecording.h"

void WriteRecording(const std::string& dir, const std::string& name, const RecordingFields& f, uint32_t size) {
    auto header = MakeRecordingHeader(f.type, f.phone, f.year, f.month, f.day, f.hour, f.minute);
    std::vector<uint8_t> bytes = MakeRecordingHead(header, size > 512 ? size - 512 : 0);
    bytes.resize(size);
    WriteRaw(dir, name, bytes);
}

void WriteRaw(const std::string& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
    if (!WriteFileBytes(dir + "/" + name, bytes)) throw std::runtime_error("cannot write " + name);
}

std::string RecordingName(int number) {
    char name[16];
    std::snprintf(name, sizeof name, "VOC%05d.wav", number);
    return name;
}
