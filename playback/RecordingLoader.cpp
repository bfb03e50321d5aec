#include "playback/RecordingLoader.h"

#include <optional>
#include <span>
#include <string>

#include "platform/Files.h"
#include "playback/ExtractPcm.h"
#include "playback/NormaliseWav.h"
#include "playback/WavLayout.h"

RecordingKind RecordingKindOf(std::u16string_view name) {
    auto has = [name](std::u16string_view part) { return name.find(part) != std::u16string_view::npos; };
    if (has(u".ldv") || has(u".LDV")) return RecordingKind::kLdv;
    if (has(u".wav") || has(u".WAV")) return RecordingKind::kWav;
    return RecordingKind::kUnknown;
}

LoadResult LoadLdvRecording(std::u16string_view path, std::vector<uint8_t>& data, uint32_t& recBytes) {
    std::optional<std::string> system = platform::SystemPath(path);
    if (!system || !platform::ReadWholeFile(*system, data)) return LoadResult::kOpenFailed;
    recBytes = static_cast<uint32_t>(data.size());
    return LoadResult::kLoaded;
}

LoadResult LoadWavRecording(std::u16string_view path, std::vector<uint8_t>& data, uint32_t& recBytes) {
    std::optional<std::string> system = platform::SystemPath(path);
    WavForm form;
    {
        platform::File file = system ? platform::File::OpenForReading(*system) : platform::File();
        if (!file) return LoadResult::kOpenFailed;
        form = ReadWavLayout(file).form;
    }
    switch (form) {
    case WavForm::kRefused:
        // Played as the player's form or as ADPCM, such samples would be
        // heard at the wrong speed or as noise.
        return LoadResult::kRefused;
    case WavForm::kPcm:
        if (!platform::ReadWholeFile(*system, data)) return LoadResult::kFailed;
        break;
    case WavForm::kDevice:
        if (!NormaliseWav(path)) {
            platform::DeleteFileAt(kNormalisedWavName);
            return LoadResult::kFailed;
        }
        if (!platform::ReadWholeFile(kNormalisedWavName, data)) return LoadResult::kFailed;
        platform::DeleteFileAt(kNormalisedWavName);
        break;
    }
    recBytes = 2 * ExtractPcm(std::span<uint8_t>(data));
    return LoadResult::kLoaded;
}
