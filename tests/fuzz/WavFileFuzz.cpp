// A file's bytes as a WAV recording the player is asked to play: told apart
// by its chunks, converted into temp.$$$ (and into an open file, as
// tolvan-cli normalise does), then loaded and its samples located. A PCM WAV
// file gives its data chunk's whole samples, a device recording the blocks
// lying whole inside its data, and a WAV of another form nothing at all.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/TextCodec.h"
#include "playback/ImaAdpcm.h"
#include "playback/NormaliseWav.h"
#include "playback/PcmWavHeader.h"
#include "playback/RecordingLoader.h"
#include "playback/WavLayout.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/fuzz/FuzzFolder.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

// The whole blocks the conversion takes from a device file of these bytes.
uint64_t BlocksOf(const uint8_t* data, size_t size) {
    if (size < 512) return 0;
    return std::min<uint64_t>(U32At(data + 508), size - 512) / kImaBlockBytes;
}

bool SameLayout(const WavLayout& a, const WavLayout& b) {
    return a.form == b.form && a.dataOffset == b.dataOffset && a.dataBytes == b.dataBytes &&
           a.formatTag == b.formatTag && a.channels == b.channels && a.samplesPerSec == b.samplesPerSec &&
           a.bitsPerSample == b.bitsPerSample;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = WriteFuzzFile("VOC00001.wav", data, size);
    const std::u16string widePath = platform::Utf8ToWide(path);
    const InFuzzFolder inFolder;

    // The file read from disk has the layout of its bytes in memory.
    const WavLayout layout = ReadWavLayout(std::span<const uint8_t>(data, size));
    {
        platform::File file = platform::File::OpenForReading(path);
        Check(SameLayout(ReadWavLayout(file), layout));
    }
    const std::string outPath = FuzzFolder().File("out.wav");
    std::vector<uint8_t> loaded;
    uint32_t recBytes = 0;
    if (layout.form == WavForm::kRefused) {
        Check(!NormaliseWav(widePath));
        Check(!platform::DeleteFileAt(kNormalisedWavName));
        platform::File out = platform::File::CreateForWriting(outPath);
        Check(NormaliseWavTo(widePath, out) == NormaliseOutcome::Refused);
        Check(out.Size() == 0);
        Check(LoadWavRecording(widePath, loaded, recBytes) == LoadResult::kRefused);
        return 0;
    }

    Check(NormaliseWav(widePath));
    std::vector<uint8_t> converted;
    Check(platform::ReadWholeFile(kNormalisedWavName, converted));
    Check(platform::DeleteFileAt(kNormalisedWavName));
    // The samples: a PCM file's data chunk, cut to whole samples, or the
    // device recording's whole blocks.
    const uint64_t sampleBytes = layout.form == WavForm::kPcm ? layout.dataBytes & ~uint64_t{1}
                                                              : BlocksOf(data, size) * kImaBlockSamples * 2;
    Check(converted.size() == kPcmWavHeaderSize + sampleBytes);
    Check(IsPcmWavHeader(converted.data()));
    Check(U32At(converted.data() + 4) == converted.size() - 8);
    Check(U32At(converted.data() + 40) == converted.size() - 44);
    if (layout.form == WavForm::kPcm)
        Check(std::memcmp(converted.data() + kPcmWavHeaderSize, data + layout.dataOffset, sampleBytes) == 0);

    // The same conversion into a file the caller opened.
    {
        platform::File out = platform::File::CreateForWriting(outPath);
        Check(static_cast<bool>(out));
        Check(NormaliseWavTo(widePath, out) == NormaliseOutcome::Converted);
    }
    std::vector<uint8_t> again;
    Check(platform::ReadWholeFile(outPath, again));
    Check(again == converted);

    // The player's loader plays the same samples, never more than the file
    // held.
    Check(LoadWavRecording(widePath, loaded, recBytes) == LoadResult::kLoaded);
    Check(recBytes % 2 == 0 && recBytes <= loaded.size());
    Check(recBytes == sampleBytes);
    Check(std::memcmp(loaded.data(), converted.data() + kPcmWavHeaderSize, recBytes) == 0);
    if (layout.form == WavForm::kPcm) Check(loaded.size() == size);
    return 0;
}
