// A file's bytes as a WAV recording the player is asked to play: converted
// into temp.$$$ (and into an open file, as tolvan-cli normalise does) when
// it is not already a PCM WAV file, then loaded and its samples located.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/TextCodec.h"
#include "playback/ImaAdpcm.h"
#include "playback/NormaliseWav.h"
#include "playback/PcmWavHeader.h"
#include "playback/RecordingLoader.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/fuzz/FuzzFolder.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

// The whole blocks the conversion takes from a device file of these bytes.
uint64_t BlocksOf(const uint8_t* data, size_t size) {
    if (size < 512) return 0;
    const uint64_t length = U32At(data + 508);
    const uint64_t present = std::min<uint64_t>(length, size - 512);
    return std::min<uint64_t>(length > 0 ? (length - 1) / kImaBlockBytes : 0, present / kImaBlockBytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = WriteFuzzFile("VOC00001.wav", data, size);
    const std::u16string widePath = platform::Utf8ToWide(path);
    const InFuzzFolder inFolder;

    Check(NormaliseWav(widePath));
    std::vector<uint8_t> converted;
    Check(platform::ReadWholeFile(kNormalisedWavName, converted));
    Check(platform::DeleteFileAt(kNormalisedWavName));
    const uint64_t blocks = BlocksOf(data, size);
    Check(converted.size() == kPcmWavHeaderSize + blocks * kImaBlockSamples * 2);
    Check(IsPcmWavHeader(converted.data()));
    Check(U32At(converted.data() + 4) == converted.size() - 8);
    Check(U32At(converted.data() + 40) == converted.size() - 44);

    // The same conversion into a file the caller opened.
    const std::string outPath = FuzzFolder().File("out.wav");
    {
        platform::File out = platform::File::CreateForWriting(outPath);
        Check(static_cast<bool>(out));
        Check(NormaliseWavTo(widePath, out) == NormaliseOutcome::Converted);
    }
    std::vector<uint8_t> again;
    Check(platform::ReadWholeFile(outPath, again));
    Check(again == converted);

    // The player's loader: the samples are never more than the file held.
    std::vector<uint8_t> loaded;
    uint32_t recBytes = 0;
    Check(LoadWavRecording(widePath, loaded, recBytes) == LoadResult::kLoaded);
    Check(recBytes % 2 == 0 && recBytes <= loaded.size());
    if (size >= kPcmWavHeaderSize && IsPcmWavHeader(data)) {
        Check(loaded.size() == size);
    } else {
        Check(recBytes == blocks * kImaBlockSamples * 2);
        Check(std::memcmp(loaded.data(), converted.data() + kPcmWavHeaderSize, recBytes) == 0);
    }
    return 0;
}
