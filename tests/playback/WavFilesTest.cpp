// The PCM WAV header test, the sample extraction from a loaded image and the
// size fix-up of a written file.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/Files.h"
#include "playback/ExtractPcm.h"
#include "playback/FixWavSizes.h"
#include "playback/PcmWavHeader.h"
#include "tests/playback/FileBytes.h"
#include "tests/support/TempFolder.h"

namespace {

std::vector<uint8_t> Header() { return std::vector<uint8_t>(PcmWavHeader, PcmWavHeader + kPcmWavHeaderSize); }

void PutU32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

TEST(PcmWavHeader, IsTheStandardHeaderWithPlaceholderSizes) {
    const std::vector<uint8_t> h = Header();
    EXPECT_EQ(std::memcmp(h.data(), "RIFF", 4), 0);
    EXPECT_EQ(U32At(h, 4), 631264u);
    EXPECT_EQ(std::memcmp(h.data() + 8, "WAVEfmt ", 8), 0);
    EXPECT_EQ(U32At(h, 16), 16u);
    EXPECT_EQ(h[20] | (h[21] << 8), 1);     // PCM
    EXPECT_EQ(h[22] | (h[23] << 8), 1);     // mono
    EXPECT_EQ(U32At(h, 24), 8000u);
    EXPECT_EQ(U32At(h, 28), 16000u);
    EXPECT_EQ(h[32] | (h[33] << 8), 2);
    EXPECT_EQ(h[34] | (h[35] << 8), 16);
    EXPECT_EQ(std::memcmp(h.data() + 36, "data", 4), 0);
    EXPECT_EQ(U32At(h, 40), 631228u);
}

TEST(IsPcmWavHeader, ComparesBytes8To39Only) {
    EXPECT_TRUE(IsPcmWavHeader(PcmWavHeader));
    for (size_t i = 0; i < kPcmWavHeaderSize; ++i) {
        std::vector<uint8_t> h = Header();
        h[i] ^= 0x40;
        EXPECT_EQ(IsPcmWavHeader(h.data()), i < 8 || i >= 40) << "byte " << i;
    }
}

TEST(IsPcmWavHeader, RejectsAPcmFileWithAn18ByteFmtChunk) {
    // A valid 8000 Hz mono 16-bit PCM file whose fmt chunk carries the
    // two-byte extension size: "data" then starts at byte 38.
    std::vector<uint8_t> h = Header();
    h.insert(h.begin() + 36, {0, 0});
    PutU32(h, 16, 18);
    EXPECT_FALSE(IsPcmWavHeader(h.data()));
}

struct ExtractCase {
    const char* what;
    uint32_t fmtSize;      // at byte 16
    uint32_t dataSize;     // in the data chunk header
    size_t presentBytes;   // bytes actually after the data chunk header
    uint32_t samples;      // expected result
};

class ExtractPcmTest : public testing::TestWithParam<ExtractCase> {};

TEST_P(ExtractPcmTest, MovesTheDataChunkToTheStart) {
    const ExtractCase& c = GetParam();
    std::vector<uint8_t> image = Header();
    image.insert(image.begin() + 36, c.fmtSize - 16, 0xEE);
    PutU32(image, 16, c.fmtSize);
    PutU32(image, 20 + c.fmtSize + 4, c.dataSize);
    const size_t dataStart = image.size();
    for (size_t i = 0; i < c.presentBytes; ++i) image.push_back(static_cast<uint8_t>(i * 7 + 1));
    const std::vector<uint8_t> before = image;

    EXPECT_EQ(ExtractPcm(image), c.samples);
    EXPECT_EQ(image.size(), before.size());
    const size_t moved = std::min<size_t>(c.dataSize, c.presentBytes);
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + moved, before.begin() + dataStart));
    EXPECT_TRUE(std::equal(image.begin() + moved, image.end(), before.begin() + moved)) << "bytes after the data";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtractPcmTest,
    testing::Values(ExtractCase{"standard", 16, 800, 800, 400}, ExtractCase{"empty", 16, 0, 0, 0},
                    ExtractCase{"odd size drops the last byte", 16, 801, 801, 400},
                    ExtractCase{"fmt of 18 bytes", 18, 100, 100, 50},
                    ExtractCase{"data size beyond the image is cut", 16, 631228, 1000, 500},
                    ExtractCase{"data size beyond, odd rest", 16, 0xFFFFFFFF, 7, 3},
                    ExtractCase{"image longer than the data size", 16, 10, 30, 5}),
    [](const testing::TestParamInfo<ExtractCase>& info) {
        std::string name = info.param.what;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

TEST(ExtractPcm, AFmtSizeThatPutsTheDataHeaderOutsideGivesNothing) {
    for (uint32_t fmtSize : {17u, 100u, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
        std::vector<uint8_t> image = Header();  // 44 bytes: the data header fits only for fmt size 16
        PutU32(image, 16, fmtSize);
        const std::vector<uint8_t> before = image;
        EXPECT_EQ(ExtractPcm(image), 0u) << fmtSize;
        EXPECT_EQ(image, before);
    }
}

TEST(ExtractPcm, ImagesShorterThanAHeader) {
    for (size_t size : {0, 3, 19, 20, 43}) {
        std::vector<uint8_t> image(PcmWavHeader, PcmWavHeader + size);
        EXPECT_EQ(ExtractPcm(image), 0u) << size;
    }
}

TEST(FixWavSizes, WritesTheSizesFromTheFileLength) {
    TempFolder folder;
    for (size_t samplesBytes : {0, 1, 4082, 160000}) {
        const std::string path = folder.File("out.wav");
        {
            platform::File file = platform::File::CreateForWriting(path);
            ASSERT_TRUE(file);
            file.Write(PcmWavHeader, kPcmWavHeaderSize);
            const std::vector<uint8_t> samples(samplesBytes, 0x5A);
            file.Write(samples.data(), samples.size());
            EXPECT_TRUE(FixWavSizes(file));
        }
        const std::vector<uint8_t> bytes = ReadWholeFile(path);
        ASSERT_EQ(bytes.size(), kPcmWavHeaderSize + samplesBytes);
        EXPECT_EQ(U32At(bytes, 4), 36 + samplesBytes);
        EXPECT_EQ(U32At(bytes, 40), samplesBytes);
        std::vector<uint8_t> expected = Header();
        PutU32(expected, 4, static_cast<uint32_t>(36 + samplesBytes));
        PutU32(expected, 40, static_cast<uint32_t>(samplesBytes));
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), bytes.begin()));
    }
}

TEST(FixWavSizes, LeavesAFileShorterThanTheHeaderAlone) {
    TempFolder folder;
    const std::string path = folder.File("short.wav");
    {
        platform::File file = platform::File::CreateForWriting(path);
        file.Write(PcmWavHeader, 40);
        EXPECT_FALSE(FixWavSizes(file));
    }
    EXPECT_EQ(ReadWholeFile(path), std::vector<uint8_t>(PcmWavHeader, PcmWavHeader + 40));
    platform::File closed;
    EXPECT_FALSE(FixWavSizes(closed));
}

}  // namespace
