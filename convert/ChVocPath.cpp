#include "convert/ChVocPath.h"

#include <sys/stat.h>

#include <cstdint>
#include <vector>

#include "platform/AppDataFolder.h"
#include "platform/Files.h"
#include "platform/PendingOutputFile.h"

namespace {

std::string SettingsPath() {
    const std::string folder = platform::AppDataFolder();
    return folder.empty() ? std::string() : folder + "/" + kChVocPathName;
}

}  // namespace

bool WriteChVocPath(std::u16string_view folder) {
    const std::string path = SettingsPath();
    if (path.empty() || folder.size() >= kChVocPathBytes / 2) return false;
    mkdir(platform::AppDataFolder().c_str(), 0700);  // a fresh account may not have it yet
    uint8_t bytes[kChVocPathBytes] = {};
    for (size_t i = 0; i < folder.size(); ++i) {
        bytes[2 * i] = static_cast<uint8_t>(folder[i]);
        bytes[2 * i + 1] = static_cast<uint8_t>(folder[i] >> 8);
    }
    PendingOutputFile out(path);
    if (!out.IsOpen()) return false;
    out.Write(bytes, sizeof bytes);
    return out.Commit();
}

std::u16string ReadChVocPath() {
    const std::string path = SettingsPath();
    std::vector<uint8_t> bytes;
    if (path.empty() || !platform::ReadWholeFile(path, bytes) || bytes.size() < kChVocPathBytes) return {};
    std::u16string folder;
    for (size_t i = 0; i + 1 < kChVocPathBytes; i += 2) {
        const char16_t unit = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
        if (unit == 0) break;
        folder += unit;
    }
    return folder;
}
