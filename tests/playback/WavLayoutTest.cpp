// WAV files told apart by their chunks: the player's PCM form wherever its
// chunks lie, PCM or float of another form refused, anything else a device
// recording; hand-made files for each layout, and files that ffmpeg and sox
// wrote, through the layout, the player's loader and its conversion.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/TextCodec.h"
#include "playback/ExtractPcm.h"
#include "playback/ImaAdpcm.h"
#include "playback/NormaliseWav.h"
#include "playback/PcmWavHeader.h"
#include "playback/RecordingLoader.h"
#include "playback/WavLayout.h"
#include "tests/playback/FileBytes.h"
#include "tests/support/OtherWavWriters.h"
#include "tests/support/TempFolder.h"
#include "tools/ImaAdpcmWav.h"
#include "tools/SampleRecording.h"
#include "tools/SpeechSignal.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// A chunk: its id, its size field (the body's size unless told) and its
// body, then the pad byte an odd size is followed by.
Bytes Chunk(const char* id, const Bytes& body, std::optional<uint32_t> sizeField = std::nullopt) {
    Bytes c(id, id + 4);
    Put32(c, sizeField.value_or(static_cast<uint32_t>(body.size())));
    c.insert(c.end(), body.begin(), body.end());
    if (body.size() % 2) c.push_back(0);
    return c;
}

// "RIFF", the size, "WAVE" and the chunks.
Bytes Riff(const std::vector<Bytes>& chunks) {
    Bytes file{'R', 'I', 'F', 'F'};
    Bytes body{'W', 'A', 'V', 'E'};
    for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
    Put32(file, static_cast<uint32_t>(body.size()));
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

// A fmt chunk body of extra.size() + 16 bytes.
Bytes Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& extra = {}) {
    Bytes f;
    Put16(f, tag);
    Put16(f, channels);
    Put32(f, rate);
    Put32(f, rate * channels * bits / 8);
    Put16(f, static_cast<uint16_t>(channels * bits / 8));
    Put16(f, bits);
    f.insert(f.end(), extra.begin(), extra.end());
    return f;
}

// A WAVE_FORMAT_EXTENSIBLE fmt body whose subformat GUID carries subTag.
Bytes Extensible(uint16_t subTag, uint16_t channels, uint32_t rate, uint16_t bits, uint8_t guidByte = 0x71) {
    Bytes extra;
    Put16(extra, 22);    // cbSize
    Put16(extra, bits);  // valid bits
    Put32(extra, 4);     // channel mask
    Put16(extra, subTag);
    const Bytes tail{0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, guidByte};
    extra.insert(extra.end(), tail.begin(), tail.end());
    return Fmt(0xFFFE, channels, rate, bits, extra);
}

const Bytes kSamples{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
const Bytes kPcmFmt = Fmt(1, 1, 8000, 16);

struct LayoutCase {
    const char* what;
    Bytes file;
    WavForm form;
    uint64_t dataOffset;
    uint64_t dataBytes;
};

std::vector<LayoutCase> LayoutCases() {
    Bytes ownHeader(PcmWavHeader, PcmWavHeader + kPcmWavHeaderSize);
    ownHeader.insert(ownHeader.end(), kSamples.begin(), kSamples.end());
    Bytes garbageAt0 = ownHeader;  // bytes 0 to 7 are not looked at
    for (int i = 0; i < 8; ++i) garbageAt0[i] = 0xA5;
    Bytes noWave = ownHeader;
    noWave[8] = 'w';
    Bytes truncatedFmt = Riff({Chunk("fmt ", kPcmFmt)});
    truncatedFmt.resize(12 + 8 + 14);
    const Bytes device = MakeRecordingHead(MakeRecordingHeader('Z', "1", 2020, 1, 1, 1, 1), 2048);
    return {
        {"the player's own header", ownHeader, WavForm::kPcm, 44, 10},
        {"bytes 0 to 7 of any value", garbageAt0, WavForm::kPcm, 44, 10},
        {"LIST of odd size between fmt and data",
         Riff({Chunk("fmt ", kPcmFmt), Chunk("LIST", Bytes(7, 'x')), Chunk("data", kSamples)}), WavForm::kPcm,
         12 + 24 + 16 + 8, 10},
        {"LIST and fact before fmt",
         Riff({Chunk("LIST", Bytes(26, 'y')), Chunk("fact", {1, 0, 0, 0}), Chunk("fmt ", kPcmFmt),
               Chunk("data", kSamples)}),
         WavForm::kPcm, 12 + 34 + 12 + 24 + 8, 10},
        {"an 18-byte fmt", Riff({Chunk("fmt ", Fmt(1, 1, 8000, 16, {0, 0})), Chunk("data", kSamples)}), WavForm::kPcm,
         12 + 26 + 8, 10},
        {"data before fmt", Riff({Chunk("data", kSamples), Chunk("fmt ", kPcmFmt)}), WavForm::kPcm, 20, 10},
        {"an odd data size, padded", Riff({Chunk("fmt ", kPcmFmt), Chunk("data", {1, 2, 3}), Chunk("LIST", {})}),
         WavForm::kPcm, 44, 3},
        {"extensible PCM", Riff({Chunk("fmt ", Extensible(1, 1, 8000, 16)), Chunk("data", kSamples)}), WavForm::kPcm,
         12 + 48 + 8, 10},
        {"a data size beyond the end", Riff({Chunk("fmt ", kPcmFmt), Chunk("data", kSamples, 631228)}), WavForm::kPcm,
         44, 10},
        {"a data size of 0xFFFFFFFF", Riff({Chunk("fmt ", kPcmFmt), Chunk("data", kSamples, 0xFFFFFFFF)}),
         WavForm::kPcm, 44, 10},
        {"no data chunk", Riff({Chunk("fmt ", kPcmFmt)}), WavForm::kPcm, 0, 0},
        {"the first data chunk counts", Riff({Chunk("fmt ", kPcmFmt), Chunk("data", {1, 2}), Chunk("data", kSamples)}),
         WavForm::kPcm, 44, 2},
        {"44100 Hz stereo", Riff({Chunk("fmt ", Fmt(1, 2, 44100, 16)), Chunk("data", kSamples)}), WavForm::kRefused, 0,
         0},
        {"16000 Hz", Riff({Chunk("fmt ", Fmt(1, 1, 16000, 16)), Chunk("data", kSamples)}), WavForm::kRefused, 0, 0},
        {"8-bit", Riff({Chunk("fmt ", Fmt(1, 1, 8000, 8)), Chunk("data", kSamples)}), WavForm::kRefused, 0, 0},
        {"float",
         Riff({Chunk("fmt ", Fmt(3, 1, 8000, 32, {0, 0})), Chunk("fact", {5, 0, 0, 0}), Chunk("data", kSamples)}),
         WavForm::kRefused, 0, 0},
        {"extensible float", Riff({Chunk("fmt ", Extensible(3, 1, 8000, 32)), Chunk("data", kSamples)}),
         WavForm::kRefused, 0, 0},
        {"extensible 24-bit PCM", Riff({Chunk("fmt ", Extensible(1, 1, 8000, 24)), Chunk("data", kSamples)}),
         WavForm::kRefused, 0, 0},
        {"a device recording", device, WavForm::kDevice, 0, 0},
        {"IMA ADPCM", MakeImaAdpcmWav(Bytes(2048, 0x11)), WavForm::kDevice, 0, 0},
        {"extensible of another subformat",
         Riff({Chunk("fmt ", Extensible(1, 1, 8000, 16, 0x72)), Chunk("data", kSamples)}), WavForm::kDevice, 0, 0},
        {"no WAVE", noWave, WavForm::kDevice, 0, 0},
        {"no fmt", Riff({Chunk("data", kSamples)}), WavForm::kDevice, 0, 0},
        {"a fmt of 14 bytes",
         Riff({Chunk("fmt ", Bytes(kPcmFmt.begin(), kPcmFmt.begin() + 14)), Chunk("data", kSamples)}), WavForm::kDevice,
         0, 0},
        {"a fmt cut by the end of the file", truncatedFmt, WavForm::kDevice, 0, 0},
        {"a chunk size beyond the end before fmt", Riff({Chunk("LIST", {}, 0xFFFFFFF0), Chunk("fmt ", kPcmFmt)}),
         WavForm::kDevice, 0, 0},
        {"eleven bytes", Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V'}, WavForm::kDevice, 0, 0},
        {"empty", {}, WavForm::kDevice, 0, 0},
    };
}

TEST(WavLayout, ChunksAreFoundWhereverTheyLieAndSizesStayInsideTheFile) {
    TempFolder folder;
    for (const LayoutCase& c : LayoutCases()) {
        SCOPED_TRACE(c.what);
        const WavLayout layout = ReadWavLayout(c.file);
        EXPECT_EQ(layout.form, c.form);
        EXPECT_EQ(layout.dataOffset, c.dataOffset);
        EXPECT_EQ(layout.dataBytes, c.dataBytes);
        EXPECT_LE(layout.dataOffset + layout.dataBytes, c.file.size());

        // The same file on disk reads the same.
        WriteWholeFile(folder.File("x.wav"), c.file);
        platform::File file = platform::File::OpenForReading(folder.File("x.wav"));
        const WavLayout onDisk = ReadWavLayout(file);
        EXPECT_EQ(onDisk.form, c.form);
        EXPECT_EQ(onDisk.dataOffset, c.dataOffset);
        EXPECT_EQ(onDisk.dataBytes, c.dataBytes);

        // Only the data chunk's whole samples are taken.
        Bytes image = c.file;
        const uint32_t samples = ExtractPcm(image);
        EXPECT_EQ(samples, c.form == WavForm::kPcm ? c.dataBytes / 2 : 0);
        if (samples > 0) {
            EXPECT_TRUE(std::equal(image.begin(), image.begin() + 2 * samples,
                                   c.file.begin() + static_cast<long>(c.dataOffset)));
        }
    }
}

TEST(WavLayout, ARefusalNamesTheForm) {
    const WavLayout stereo = ReadWavLayout(Riff({Chunk("fmt ", Fmt(1, 2, 44100, 16))}));
    EXPECT_EQ(WavRefusal(stereo),
              "44100 Hz, 2 channels, 16-bit PCM samples; the player plays 8000 Hz mono 16-bit PCM only");
    const WavLayout floats = ReadWavLayout(Riff({Chunk("fmt ", Extensible(3, 1, 8000, 32))}));
    EXPECT_EQ(WavRefusal(floats),
              "8000 Hz, 1 channel, 32-bit float samples; the player plays 8000 Hz mono 16-bit PCM only");
}

// A WAV file another program wrote with options for its output, and whether
// the player plays it.
enum class Writer { kFfmpeg, kSox, kFfmpegFrom16kHzStereo };
struct WrittenCase {
    const char* what;
    Writer writer;
    std::vector<std::string> options;
    bool playable;
};

std::string Write(const WrittenCase& c, const std::string& path, const std::vector<int16_t>& samples) {
    switch (c.writer) {
    case Writer::kFfmpeg: return WriteWithFfmpeg(path, samples, c.options);
    case Writer::kSox: return WriteWithSox(path, samples, c.options);
    case Writer::kFfmpegFrom16kHzStereo: break;
    }
    // "ffmpeg -i x.wav -ar 8000 -ac 1 out.wav" from a 16 kHz stereo file.
    const std::string wide = path + ".16k.wav";
    const std::string error = WriteWithFfmpeg(wide, samples, {"-ar", "16000", "-ac", "2"});
    return error.empty() ? ConvertWithFfmpeg(wide, path, {"-ar", "8000", "-ac", "1"}) : error;
}

const WrittenCase kWritten[] = {
    {"ffmpeg", Writer::kFfmpeg, {}, true},
    {"ffmpeg from 16 kHz stereo", Writer::kFfmpegFrom16kHzStereo, {}, true},
    {"sox", Writer::kSox, {}, true},
    {"ffmpeg 16 kHz stereo", Writer::kFfmpeg, {"-ar", "16000", "-ac", "2"}, false},
    {"ffmpeg float", Writer::kFfmpeg, {"-c:a", "pcm_f32le"}, false},
    {"ffmpeg 8-bit", Writer::kFfmpeg, {"-c:a", "pcm_u8"}, false},
    {"sox float", Writer::kSox, {"-e", "floating-point", "-b", "32"}, false},
    {"sox 24-bit", Writer::kSox, {"-b", "24"}, false},
    {"sox 11025 Hz", Writer::kSox, {"-r", "11025"}, false},
};

TEST(WavLayout, FilesOtherProgramsWroteArePlayedAsTheirSamplesOrRefused) {
    TempFolder folder(/*enter=*/true);  // where temp.$$$ would go
    const std::vector<int16_t> speech = MakeSpeechLikeSignal(4001, 7);
    for (const WrittenCase& c : kWritten) {
        SCOPED_TRACE(c.what);
        const std::string path = folder.File("VOC00001.wav");
        ASSERT_EQ(Write(c, path, speech), "");
        const std::u16string wide = platform::Utf8ToWide(path);
        Bytes loaded;
        uint32_t recBytes = 0;
        const LoadResult loadResult = LoadWavRecording(wide, loaded, recBytes);
        platform::File out = platform::File::CreateForWriting(folder.File("out.wav"));
        const NormaliseOutcome outcome = NormaliseWavTo(wide, out);
        out.Close();
        if (!c.playable) {
            EXPECT_EQ(loadResult, LoadResult::kRefused);
            EXPECT_FALSE(NormaliseWav(wide));
            EXPECT_FALSE(std::filesystem::exists(kNormalisedWavName));
            EXPECT_EQ(outcome, NormaliseOutcome::Refused);
            EXPECT_EQ(std::filesystem::file_size(folder.File("out.wav")), 0u);
            continue;
        }
        // What sox reads from the file is what the player plays.
        const std::vector<int16_t> expected = SamplesReadBySox(path);
        ASSERT_GT(expected.size(), 3900u);
        ASSERT_EQ(loadResult, LoadResult::kLoaded);
        EXPECT_EQ(SamplesFrom(Bytes(loaded.begin(), loaded.begin() + recBytes), 0), expected);
        ASSERT_EQ(outcome, NormaliseOutcome::Converted);
        const Bytes wav = ReadWholeFile(folder.File("out.wav"));
        ASSERT_GE(wav.size(), kPcmWavHeaderSize);
        EXPECT_TRUE(IsPcmWavHeader(wav.data()));
        EXPECT_EQ(U32At(wav, 40), wav.size() - kPcmWavHeaderSize);
        EXPECT_EQ(SamplesFrom(wav, kPcmWavHeaderSize), expected);
        ASSERT_TRUE(NormaliseWav(wide));
        EXPECT_EQ(ReadWholeFile(kNormalisedWavName), wav);
        std::filesystem::remove(kNormalisedWavName);
    }
}

}  // namespace
