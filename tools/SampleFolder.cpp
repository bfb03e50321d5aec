#include "tools/SampleFolder.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "tools/SampleRecording.h"
#include "tools/SpeechSignal.h"

namespace {

struct Day {
    int year, month, day;
};

// Nine days, five recordings each.
constexpr Day kDays[] = {{2016, 3, 5},  {2016, 11, 20}, {2017, 1, 1},  {2017, 3, 5},  {2017, 7, 18},
                         {2017, 12, 31}, {2018, 2, 14},  {2018, 6, 9},  {2018, 9, 30}};

const char* const kPhones[] = {"13812345678", "0755-88886666", "95588", "", "12345678901234567",
                               "13900001111", "02087654321", "10086", "18688889999", "4008123123"};

std::vector<uint8_t> MakeSampleFile(const SampleRecordingSpec& s, uint32_t seed) {
    const std::vector<int16_t> pcm = MakeSpeechLikeSignal(static_cast<size_t>(s.seconds * 8000), seed);
    return MakeDeviceRecording(s.type, s.phone, s.year, s.month, s.day, s.hour, s.minute, pcm);
}

}  // namespace

std::vector<SampleRecordingSpec> SampleFolderRecordings() {
    std::vector<SampleRecordingSpec> list;
    for (int i = 0; i < 45; ++i) {
        SampleRecordingSpec s;
        char name[16];
        std::snprintf(name, sizeof name, "VOC%05d.wav", i + 1);
        s.name = name;
        s.type = "ZBLX"[(i * 3 + i / 4) % 4];
        // On-site recordings have no other party.
        s.phone = s.type == 'X' ? "" : kPhones[(i * 7) % 10];
        const Day& d = kDays[i / 5];
        s.year = d.year;
        s.month = d.month;
        s.day = d.day;
        s.hour = 8 + (i % 5) * 3 - (i % 2);
        s.minute = (i * 13) % 60;
        s.seconds = 2.0 + ((i * 37) % 61) / 10.0;  // 2.0 .. 8.0 s
        list.push_back(s);
    }
    return list;
}

std::vector<std::string> SampleFolderRejectedNames() { return {"VOC1.wav", "VOC123456.wav", "VOC1234A.wav"}; }

bool WriteSampleFolder(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) return false;
    auto path = [&](const std::string& name) { return (std::filesystem::path(folder) / name).string(); };
    uint32_t seed = 1;
    for (const SampleRecordingSpec& s : SampleFolderRecordings()) {
        if (!WriteFileBytes(path(s.name), MakeSampleFile(s, seed++))) return false;
    }
    for (const std::string& name : SampleFolderRejectedNames()) {
        const SampleRecordingSpec s{name, 'B', "13812345678", 2017, 5, 6, 10, 30, 2.0};
        if (!WriteFileBytes(path(name), MakeSampleFile(s, seed++))) return false;
    }
    const std::string notes = "Demo recordings for the player. Only VOC + five digits + .wav are recordings.\n";
    return WriteFileBytes(path("notes.txt"), {reinterpret_cast<const uint8_t*>(notes.data()), notes.size()});
}
