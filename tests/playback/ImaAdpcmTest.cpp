// IMA ADPCM decoding checked by hand at the limits and against sox (which
// decodes with the standard shift-and-add step, as the device does), and the
// project's encoder checked by a round trip.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "playback/ImaAdpcm.h"
#include "playback/ImaAdpcmEncoder.h"
#include "tests/playback/FileBytes.h"
#include "tests/support/TempFolder.h"
#include "tools/ImaAdpcmWav.h"
#include "tools/SpeechSignal.h"

namespace {

using Block = std::vector<uint8_t>;

Block MakeBlock(int16_t first, uint8_t index, uint8_t codes) {
    Block block(kImaBlockBytes, codes);
    block[0] = static_cast<uint8_t>(first & 0xFF);
    block[1] = static_cast<uint8_t>((first >> 8) & 0xFF);
    block[2] = index;
    block[3] = 0xA5;  // reserved: must not matter
    return block;
}

std::vector<int16_t> Decode(const Block& block) {
    std::vector<int16_t> out(kImaBlockSamples);
    EXPECT_EQ(DecodeImaBlock(block.data(), out.data()), static_cast<int>(kImaBlockSamples));
    return out;
}

std::vector<int16_t> DecodeAll(const std::vector<uint8_t>& blocks) {
    std::vector<int16_t> out;
    for (size_t a = 0; a + kImaBlockBytes <= blocks.size(); a += kImaBlockBytes) {
        const std::vector<int16_t> samples = Decode(Block(blocks.begin() + a, blocks.begin() + a + kImaBlockBytes));
        out.insert(out.end(), samples.begin(), samples.end());
    }
    return out;
}

// Decodes the blocks with sox from a standard IMA ADPCM WAV file.
std::vector<int16_t> DecodeWithSox(const std::vector<uint8_t>& blocks) {
    TempFolder folder;
    WriteWholeFile(folder.File("ima.wav"), MakeImaAdpcmWav(blocks));
    const std::string command = "sox '" + folder.File("ima.wav") + "' -t raw -e signed -b 16 -L '" +
                                folder.File("out.raw") + "' 2>'" + folder.File("sox.err") + "'";
    if (std::system(command.c_str()) != 0) {
        const std::vector<uint8_t> err = ReadWholeFile(folder.File("sox.err"));
        ADD_FAILURE() << "sox failed: " << std::string(err.begin(), err.end());
    }
    return SamplesFrom(ReadWholeFile(folder.File("out.raw")), 0);
}

void ExpectSameAsSox(const std::vector<uint8_t>& blocks) {
    const std::vector<int16_t> ours = DecodeAll(blocks);
    const std::vector<int16_t> sox = DecodeWithSox(blocks);
    ASSERT_EQ(ours.size(), sox.size());
    for (size_t i = 0; i < ours.size(); ++i)
        ASSERT_EQ(ours[i], sox[i]) << "sample " << i << " (block " << i / kImaBlockSamples << ")";
}

// A signal that drives the codec to its limits: full-scale square waves
// (predictor saturation, step index 88), silence (index down to 0), a fast
// sweep and runs at the extreme values.
std::vector<int16_t> HarshSignal() {
    std::vector<int16_t> pcm;
    for (int i = 0; i < 6000; ++i) pcm.push_back((i / 4) % 2 ? 32767 : -32768);
    pcm.insert(pcm.end(), 5000, 0);
    for (int i = 0; i < 8000; ++i) {
        const double t = i / 8000.0;
        pcm.push_back(static_cast<int16_t>(32767 * std::sin(2 * M_PI * (50 + 1900 * t) * t * 2)));
    }
    pcm.insert(pcm.end(), 3000, -32768);
    pcm.insert(pcm.end(), 3000, 32767);
    for (int i = 0; i < 4000; ++i) pcm.push_back(static_cast<int16_t>((i % 3) * 20000 - 20000));
    return pcm;
}

// Blocks of arbitrary codes and headers from a fixed generator.
std::vector<uint8_t> ArbitraryBlocks(int count) {
    std::vector<uint8_t> bytes(count * kImaBlockBytes);
    uint32_t x = 12345;
    for (uint8_t& b : bytes) {
        x = x * 1103515245u + 12345u;
        b = static_cast<uint8_t>(x >> 23);
    }
    for (int b = 0; b < count; ++b) bytes[b * kImaBlockBytes + 2] %= kImaMaxIndex + 1;
    return bytes;
}

std::vector<uint8_t> Concatenate(const std::vector<Block>& blocks) {
    std::vector<uint8_t> out;
    for (const Block& b : blocks) out.insert(out.end(), b.begin(), b.end());
    return out;
}

double SnrDb(const std::vector<int16_t>& reference, const std::vector<int16_t>& decoded) {
    double signal = 0, noise = 0;
    for (size_t i = 0; i < reference.size(); ++i) {
        signal += double(reference[i]) * reference[i];
        noise += (double(reference[i]) - decoded[i]) * (double(reference[i]) - decoded[i]);
    }
    return 10 * std::log10(signal / noise);
}

TEST(DecodeImaBlock, MagnitudeZeroMovesByAnEighthOfTheStepWithItsSign) {
    Block block = MakeBlock(1000, 10, 0);
    block[4] = 0x80;  // low nibble 0, high nibble 8
    const std::vector<int16_t> out = Decode(block);
    EXPECT_EQ(out[0], 1000);
    EXPECT_EQ(out[1], 1000 + (19 >> 3));  // step 19 at index 10
    EXPECT_EQ(out[2], 1002 - (17 >> 3));  // index 9 after code 0: step 17
}

TEST(DecodeImaBlock, PredictorSaturatesInsteadOfWrapping) {
    Block block = MakeBlock(32700, 88, 0);
    block[4] = 0x77;
    block[5] = 0xFF;
    const std::vector<int16_t> out = Decode(block);
    EXPECT_EQ(out[1], 32767);
    EXPECT_EQ(out[2], 32767);
    EXPECT_EQ(out[3], 32767 - (4095 + 32767 + 16383 + 8191));  // index stayed at 88
    EXPECT_EQ(out[4], -32768);
}

TEST(DecodeImaBlock, IndexStaysAtZeroBelowTheTable) {
    Block block = MakeBlock(0, 0, 0);
    block[1000] = 0x04;  // after 1992 codes of 0 at index 0, one code 4
    const std::vector<int16_t> out = Decode(block);
    EXPECT_EQ(out[1 + 2 * (1000 - 4) - 1], 0);
    EXPECT_EQ(out[1 + 2 * (1000 - 4)], 7);  // step 7: 7 >> 3 + 7
}

TEST(DecodeImaBlock, InitialIndexAbove88IsTakenAs88) {
    for (uint8_t index : {89, 120, 255}) {
        Block high = MakeBlock(-1234, index, 0x3B);
        Block limit = MakeBlock(-1234, 88, 0x3B);
        EXPECT_EQ(Decode(high), Decode(limit)) << "index " << int(index);
    }
}

TEST(DecodeImaBlocks, GivesWhatDecodeImaBlockGivesForEachBlock) {
    const std::vector<uint8_t> blocks = ArbitraryBlocks(7);
    const std::vector<int16_t> one = DecodeAll(blocks);
    for (size_t count = 0; count <= 7; ++count) {
        std::vector<int16_t> many(count * kImaBlockSamples + 1, 0x5555);
        DecodeImaBlocks(blocks.data(), count, many.data());
        EXPECT_TRUE(std::equal(many.begin(), many.end() - 1, one.begin())) << count << " blocks";
        EXPECT_EQ(many.back(), 0x5555) << "written beyond " << count << " blocks";
    }
}

TEST(DecodeImaBlockAgainstSox, HandMadeBlocksAtTheLimits) {
    ExpectSameAsSox(Concatenate({
        MakeBlock(32000, 88, 0x77),    // rises into +32767 and stays
        MakeBlock(-32000, 88, 0xFF),   // falls into -32768 and stays
        MakeBlock(32767, 88, 0xF7),    // swings between the extremes
        MakeBlock(-32768, 88, 0x7F),
        MakeBlock(0, 0, 0x00),         // index held at 0
        MakeBlock(5, 0, 0x88),         // magnitude 0, negative sign
        MakeBlock(-5, 0, 0x80),
        MakeBlock(123, 44, 0x4C),
        MakeBlock(0, 87, 0x70),        // index pushed past 88
    }));
}

TEST(DecodeImaBlockAgainstSox, ArbitraryCodes) { ExpectSameAsSox(ArbitraryBlocks(40)); }

TEST(DecodeImaBlockAgainstSox, EncodedHarshSignal) { ExpectSameAsSox(EncodeImaAdpcm(HarshSignal())); }

TEST(DecodeImaBlockAgainstSox, EncodedSpeech) {
    ExpectSameAsSox(EncodeImaAdpcm(MakeSpeechLikeSignal(8000 * 6, 7)));
}

TEST(ImaAdpcmEncoder, SpeechRoundTripKeepsAGoodSignalToNoiseRatio) {
    for (uint32_t seed : {1u, 2u, 3u}) {
        std::vector<int16_t> pcm = MakeSpeechLikeSignal(8000 * 5, seed);
        const std::vector<uint8_t> blocks = EncodeImaAdpcm(pcm);
        ASSERT_EQ(blocks.size(), (pcm.size() + kImaBlockSamples - 1) / kImaBlockSamples * kImaBlockBytes);
        std::vector<int16_t> decoded = DecodeAll(blocks);
        decoded.resize(pcm.size());
        EXPECT_GT(SnrDb(pcm, decoded), 15.0) << "seed " << seed;  // 18 to 25 dB measured
    }
}

TEST(ImaAdpcmEncoder, BlocksStartWithTheExactSampleAndAValidIndex) {
    const std::vector<int16_t> pcm = HarshSignal();
    const std::vector<uint8_t> blocks = EncodeImaAdpcm(pcm);
    for (size_t b = 0; b * kImaBlockBytes < blocks.size(); ++b) {
        const uint8_t* block = blocks.data() + b * kImaBlockBytes;
        EXPECT_EQ(static_cast<int16_t>(block[0] | (block[1] << 8)), pcm[b * kImaBlockSamples]) << "block " << b;
        EXPECT_LE(block[2], kImaMaxIndex) << "block " << b;
    }
    // Even this signal comes back recognisably: saturation and the index
    // limits must not derail the encoder's tracking of the decoder.
    std::vector<int16_t> decoded = DecodeAll(blocks);
    decoded.resize(pcm.size());
    EXPECT_GT(SnrDb(pcm, decoded), 6.0);
}

TEST(ImaAdpcmEncoder, EmptyInputGivesNoBlocks) { EXPECT_TRUE(EncodeImaAdpcm({}).empty()); }

}  // namespace
