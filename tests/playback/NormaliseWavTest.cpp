// Conversion of device recordings into temp.$$$ in the current directory.

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/TextCodec.h"
#include "playback/ImaAdpcm.h"
#include "playback/ImaAdpcmEncoder.h"
#include "playback/NormaliseWav.h"
#include "playback/PcmWavHeader.h"
#include "tests/playback/FileBytes.h"
#include "tests/support/TempFolder.h"
#include "tools/SampleRecording.h"
#include "tools/SpeechSignal.h"

namespace {

// Valid ADPCM data of the given number of bytes (whole blocks of speech, cut).
std::vector<uint8_t> AdpcmData(size_t bytes) {
    std::vector<uint8_t> data = EncodeImaAdpcm(MakeSpeechLikeSignal((bytes / kImaBlockBytes + 1) * kImaBlockSamples, 5));
    data.resize(bytes);
    return data;
}

// A device recording whose head claims dataLength while presentBytes follow it.
std::vector<uint8_t> Recording(uint32_t dataLength, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> file =
        MakeRecordingHead(MakeRecordingHeader('Z', "13812345678", 2017, 3, 5, 9, 7), dataLength);
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

// What temp.$$$ must hold after converting the first `blocks` blocks of data.
std::vector<uint8_t> ExpectedWav(const std::vector<uint8_t>& data, size_t blocks) {
    std::vector<uint8_t> wav(PcmWavHeader, PcmWavHeader + kPcmWavHeaderSize);
    int16_t samples[kImaBlockSamples];
    for (size_t b = 0; b < blocks; ++b) {
        DecodeImaBlock(data.data() + b * kImaBlockBytes, samples);
        for (int16_t s : samples) {
            wav.push_back(static_cast<uint8_t>(s & 0xFF));
            wav.push_back(static_cast<uint8_t>((s >> 8) & 0xFF));
        }
    }
    const uint32_t riff = static_cast<uint32_t>(wav.size() - 8), pcm = static_cast<uint32_t>(wav.size() - 44);
    for (int i = 0; i < 4; ++i) {
        wav[4 + i] = static_cast<uint8_t>(riff >> (8 * i));
        wav[40 + i] = static_cast<uint8_t>(pcm >> (8 * i));
    }
    return wav;
}

class NormaliseWavTest : public testing::Test {
protected:
    TempFolder folder_{/*enter=*/true};

    std::u16string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        WriteWholeFile(folder_.File(name), bytes);
        return platform::Utf8ToWide(folder_.File(name));
    }
    bool TempExists() const { return std::filesystem::exists(folder_.Path() / kNormalisedWavName); }
    std::vector<uint8_t> Temp() const { return ReadWholeFile(folder_.File(kNormalisedWavName)); }
};

struct LengthCase {
    const char* what;
    uint32_t dataLength;   // L in the head
    size_t presentBytes;   // data bytes that follow the head
    size_t blocks;         // blocks converted
};

class NormaliseWavLengthTest : public NormaliseWavTest, public testing::WithParamInterface<LengthCase> {};

TEST_P(NormaliseWavLengthTest, ConvertsEveryBlockLyingWholeInsideTheData) {
    const LengthCase& c = GetParam();
    const std::vector<uint8_t> data = AdpcmData(c.presentBytes);
    const std::u16string source = Write("VOC00001.wav", Recording(c.dataLength, data));
    ASSERT_TRUE(NormaliseWav(source));
    EXPECT_EQ(Temp(), ExpectedWav(data, c.blocks));

    // The same conversion into a file of the caller's.
    platform::File out = platform::File::CreateForWriting(folder_.File("direct.wav"));
    ASSERT_EQ(NormaliseWavTo(source, out), NormaliseOutcome::Converted);
    out.Close();
    EXPECT_EQ(ReadWholeFile(folder_.File("direct.wav")), ExpectedWav(data, c.blocks));
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, NormaliseWavLengthTest,
    testing::Values(LengthCase{"L0", 0, 0, 0}, LengthCase{"L1", 1, 1, 0}, LengthCase{"L1023", 1023, 1023, 0},
                    LengthCase{"L1024", 1024, 1024, 1}, LengthCase{"L1025", 1025, 1025, 1},
                    LengthCase{"L2048", 2048, 2048, 2}, LengthCase{"L3071", 3071, 3071, 2},
                    LengthCase{"L3072", 3072, 3072, 3}, LengthCase{"L3073", 3073, 3073, 3},
                    // More data in the file than L: only L counts.
                    LengthCase{"L2048WithMoreData", 2048, 5000, 2},
                    // Less data than L: the whole blocks present.
                    LengthCase{"TruncatedMidBlock", 10240, 2500, 2},
                    LengthCase{"TruncatedAtABlockEnd", 10240, 3072, 3},
                    LengthCase{"TruncatedNoWholeBlock", 10240, 1000, 0},
                    LengthCase{"HugeLength", 0xFFFFFFFF, 3 * 1024 + 10, 3},
                    // Longer than one run of blocks read and written at once.
                    LengthCase{"SeveralRuns", 33 * 1024, 33 * 1024, 33},
                    LengthCase{"TruncatedInALaterRun", 50 * 1024, 37 * 1024 + 500, 37}),
    [](const testing::TestParamInfo<LengthCase>& info) { return std::string(info.param.what); });

TEST_F(NormaliseWavTest, TwoThousandAndFortyEightBytesGiveTwoBlocksOf4082Bytes) {
    ASSERT_TRUE(NormaliseWav(Write("VOC00001.wav", Recording(2048, AdpcmData(2048)))));
    const std::vector<uint8_t> wav = Temp();
    ASSERT_EQ(wav.size(), 8208u);
    EXPECT_EQ(U32At(wav, 4), 8200u);
    EXPECT_EQ(U32At(wav, 40), 8164u);
    EXPECT_TRUE(IsPcmWavHeader(wav.data()));
}

TEST_F(NormaliseWavTest, HeaderOnlyFileHasRiffSize36) {
    ASSERT_TRUE(NormaliseWav(Write("VOC00001.wav", Recording(0, {}))));
    const std::vector<uint8_t> wav = Temp();
    ASSERT_EQ(wav.size(), 44u);
    EXPECT_EQ(U32At(wav, 4), 36u);
    EXPECT_EQ(U32At(wav, 40), 0u);
}

TEST_F(NormaliseWavTest, SourceShorterThanItsHeadGivesAHeaderOnlyFile) {
    // Bytes 508..511 hold a large L where they exist, so only the missing
    // head can stop the conversion.
    std::vector<uint8_t> full = Recording(0x10000, AdpcmData(0x10000));
    for (size_t size : {0, 300, 508, 510, 511, 512}) {
        ASSERT_TRUE(NormaliseWav(Write("VOC00001.wav", std::vector<uint8_t>(full.begin(), full.begin() + size))))
            << size;
        EXPECT_EQ(Temp(), ExpectedWav({}, 0)) << size;
    }
}

TEST_F(NormaliseWavTest, ReplacesAStaleTemporaryFile) {
    WriteWholeFile(folder_.File(kNormalisedWavName), std::vector<uint8_t>(100000, 0x77));
    const std::vector<uint8_t> data = AdpcmData(3 * 1024);
    ASSERT_TRUE(NormaliseWav(Write("VOC00001.wav", Recording(3 * 1024, data))));
    EXPECT_EQ(Temp(), ExpectedWav(data, 3));
}

TEST_F(NormaliseWavTest, DirectConversionReportsAnUnreadableSourceAndAFailedWrite) {
    platform::File out = platform::File::CreateForWriting(folder_.File("direct.wav"));
    EXPECT_EQ(NormaliseWavTo(platform::Utf8ToWide(folder_.File("VOC00009.wav")), out),
              NormaliseOutcome::SourceUnreadable);
    out.Close();
    EXPECT_EQ(std::filesystem::file_size(folder_.Path() / "direct.wav"), 0u);
    EXPECT_FALSE(TempExists());

    // A file-size limit of 5000 bytes cuts the samples short (the writes
    // fail with EFBIG once SIGXFSZ is ignored).
    const std::u16string source = Write("VOC00001.wav", Recording(3 * 1024, AdpcmData(3 * 1024)));
    platform::File small = platform::File::CreateForWriting(folder_.File("small.wav"));
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 5000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const NormaliseOutcome outcome = NormaliseWavTo(source, small);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(outcome, NormaliseOutcome::WriteFailed);
    EXPECT_FALSE(TempExists());
}

TEST_F(NormaliseWavTest, SourceThatCannotBeOpenedCreatesNothing) {
    EXPECT_FALSE(NormaliseWav(platform::Utf8ToWide(folder_.File("VOC00009.wav"))));
    EXPECT_FALSE(TempExists());

    std::filesystem::create_directory(folder_.Path() / "VOC00002.wav");
    EXPECT_FALSE(NormaliseWav(platform::Utf8ToWide(folder_.File("VOC00002.wav"))));
    EXPECT_FALSE(TempExists());

    // Held for writing by another opener: files are opened without sharing.
    const std::u16string held = Write("VOC00003.wav", Recording(3 * 1024, AdpcmData(3 * 1024)));
    platform::File writer = platform::File::CreateForWriting(folder_.File("VOC00003.wav"));
    ASSERT_TRUE(writer);
    EXPECT_FALSE(NormaliseWav(held));
    EXPECT_FALSE(TempExists());
}

TEST_F(NormaliseWavTest, ATemporaryFileHeldElsewhereIsLeftAsItIs) {
    WriteWholeFile(folder_.File(kNormalisedWavName), {'k', 'e', 'e', 'p'});
    platform::File holder = platform::File::OpenForReading(folder_.File(kNormalisedWavName));
    ASSERT_TRUE(holder);
    EXPECT_TRUE(NormaliseWav(Write("VOC00001.wav", Recording(3 * 1024, AdpcmData(3 * 1024)))));
    EXPECT_EQ(Temp(), (std::vector<uint8_t>{'k', 'e', 'e', 'p'}));
}

TEST_F(NormaliseWavTest, PathsAreOpenedByTheirOwnNames) {
    const std::vector<uint8_t> data = AdpcmData(3 * 1024);
    std::filesystem::create_directory(folder_.Path() / "录音");
    ASSERT_TRUE(NormaliseWav(Write("录音/VOC00001.wav", Recording(3 * 1024, data))));
    EXPECT_EQ(Temp(), ExpectedWav(data, 3));

    // Names CP936 cannot hold, and bytes that are not UTF-8, open all the same.
    std::filesystem::create_directory(folder_.Path() / "녹음\xFF");
    for (const char* name : {"VOC\U0001F600.wav", "녹음\xFF/VOC00002.wav"}) {
        const std::u16string path = Write(name, Recording(3 * 1024, data));
        std::filesystem::remove(folder_.Path() / kNormalisedWavName);
        EXPECT_TRUE(NormaliseWav(path)) << name;
        EXPECT_EQ(Temp(), ExpectedWav(data, 3)) << name;
    }
}

TEST_F(NormaliseWavTest, PathsLongerThan259BytesAreOpened) {
    // Each of these characters is two bytes in CP936 but three in the file
    // system's UTF-8.
    std::string chinese;
    for (int i = 0; i < 40; ++i) chinese += "录";
    const std::string base = folder_.Path().string() + "/" + chinese + "/";
    const size_t narrowBase = folder_.Path().string().size() + 1 + 80 + 1;
    const std::string name = "VOC00001.wav";
    auto pathOfNarrowLength = [&](size_t length) {
        const std::string padding(length - narrowBase - 1 - name.size(), 'p');
        std::filesystem::create_directories(base + padding);
        return base + padding + "/" + name;
    };
    const std::vector<uint8_t> data = AdpcmData(3 * 1024);
    for (size_t length : {259, 260}) {
        const std::string path = pathOfNarrowLength(length);
        WriteWholeFile(path, Recording(3 * 1024, data));
        std::string narrow;
        ASSERT_TRUE(platform::WideToNarrow(platform::Utf8ToWide(path), narrow));
        ASSERT_EQ(narrow.size(), length);
        EXPECT_TRUE(NormaliseWav(platform::Utf8ToWide(path))) << length;
        EXPECT_EQ(Temp(), ExpectedWav(data, 3)) << length;
    }
}

}  // namespace
