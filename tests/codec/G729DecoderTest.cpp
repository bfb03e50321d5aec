// Bit-exactness of G729Decoder over the reference streams, each decoded in a
// fresh process as the expected outputs were made, plus the behaviour around
// Init and the parity bit.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <iterator>
#include <string>
#include <vector>

#include "codec/G729Decoder.h"
#include "tests/codec/ChildProcess.h"
#include "tests/support/G729Vectors.h"

namespace {

std::string VectorsDir() { return G729VectorsDir().string(); }

bool ReadFile(const std::string& path, std::vector<uint8_t>* data) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    data->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

struct StreamCase {
    const char* name;
    const char* before;    // stream decoded first in the same process (output discarded), or nullptr
    const char* input;     // stream whose output is checked
    const char* expected;  // its expected output
    int inits;             // Init calls before each stream
    bool flipParity;       // invert the parity bit (bit 26) of every frame
};

const StreamCase kStreams[] = {
    {"ALGTHM", nullptr, "ALGTHM", "ALGTHM", 1, false},
    {"FIXED", nullptr, "FIXED", "FIXED", 1, false},
    {"LSP", nullptr, "LSP", "LSP", 1, false},
    {"PARITY", nullptr, "PARITY", "PARITY", 1, false},
    {"PITCH", nullptr, "PITCH", "PITCH", 1, false},
    {"SPEECH", nullptr, "SPEECH", "SPEECH", 1, false},
    {"TAME", nullptr, "TAME", "TAME", 1, false},
    {"TEST", nullptr, "TEST", "TEST", 1, false},
    {"overflow_noerase", nullptr, "overflow_noerase", "overflow_noerase", 1, false},
    {"random_a", nullptr, "random_a", "random_a", 1, false},
    {"random_b", nullptr, "random_b", "random_b", 1, false},
    {"random_loud", nullptr, "random_loud", "random_loud", 1, false},
    // Four state items carry over from one stream to the next.
    {"random_b_after_a", "random_a", "random_b", "random_b_after_a", 1, false},
    // Init twice is Init once, in a fresh process and after another stream.
    {"SPEECH_init_twice", nullptr, "SPEECH", "SPEECH", 2, false},
    {"random_b_after_a_init_twice", "random_a", "random_b", "random_b_after_a", 2, false},
    // The received parity bit is never checked.
    {"PITCH_parity_flipped", nullptr, "PITCH", "PITCH", 1, true},
};

void PrintTo(const StreamCase& c, std::ostream* os) { *os << c.name; }

class StreamTest : public ::testing::TestWithParam<StreamCase> {};

// Decodes every frame of input into out (80 samples per frame), checking that
// each call returns 160 and writes neither before nor after its 80 samples.
std::string DecodeStream(G729Decoder& decoder, const std::vector<uint8_t>& input, std::vector<int16_t>* out) {
    constexpr int16_t kGuard = 0x5A5A;
    int16_t room[1 + 80 + 1];
    out->clear();
    for (size_t f = 0; f + 10 <= input.size(); f += 10) {
        std::fill(std::begin(room), std::end(room), kGuard);
        const int written = decoder.DecodeFrame(&input[f], room + 1);
        if (written != 160) return "frame " + std::to_string(f / 10) + ": returned " + std::to_string(written);
        if (room[0] != kGuard || room[81] != kGuard)
            return "frame " + std::to_string(f / 10) + ": wrote outside its 80 samples";
        out->insert(out->end(), room + 1, room + 81);
    }
    return "";
}

TEST_P(StreamTest, MatchesReferenceOutput) {
    const StreamCase& c = GetParam();
    const std::string dir = VectorsDir();
    std::vector<uint8_t> before, input, expectedBytes;
    const std::string inputPath = dir + "/" + c.input + ".ldv";
    const std::string expectedPath = dir + "/" + c.expected + ".pcm";
    if (!ReadFile(inputPath, &input) || !ReadFile(expectedPath, &expectedBytes) ||
        (c.before != nullptr && !ReadFile(dir + "/" + c.before + ".ldv", &before))) {
        GTEST_SKIP() << "G.729 test vectors not found in " << dir
                     << " (set TOLVAN_G729_VECTORS to the folder holding them)";
    }
    ASSERT_EQ(input.size() % 10, 0u) << inputPath;
    ASSERT_EQ(expectedBytes.size(), input.size() / 10 * 160) << expectedPath;
    if (c.flipParity) {
        for (size_t f = 0; f < input.size(); f += 10) input[f + 3] ^= 0x20;  // bit 26 = byte 3, bit 5
    }
    std::vector<int16_t> expected(expectedBytes.size() / 2);
    for (size_t i = 0; i < expected.size(); i++)
        expected[i] = static_cast<int16_t>(expectedBytes[2 * i] | (expectedBytes[2 * i + 1] << 8));

    const ChildResult r = RunInChild([&]() -> std::string {
        G729Decoder decoder;
        std::vector<int16_t> out;
        if (c.before != nullptr) {
            for (int i = 0; i < c.inits; i++) decoder.Init();
            if (std::string e = DecodeStream(decoder, before, &out); !e.empty()) return e;
        }
        for (int i = 0; i < c.inits; i++) decoder.Init();
        if (std::string e = DecodeStream(decoder, input, &out); !e.empty()) return e;
        for (size_t i = 0; i < out.size(); i++) {
            if (out[i] != expected[i]) {
                return "first difference in frame " + std::to_string(i / 80) + ", sample " +
                       std::to_string(i % 80) + ": got " + std::to_string(out[i]) + ", expected " +
                       std::to_string(expected[i]);
            }
        }
        return "";
    });
    ASSERT_TRUE(r.exited) << "the decoding process crashed";
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.message, "");
}

INSTANTIATE_TEST_SUITE_P(Vectors, StreamTest, ::testing::ValuesIn(kStreams),
                         [](const ::testing::TestParamInfo<StreamCase>& info) { return std::string(info.param.name); });

// A stream added to the folder must not go unchecked.
TEST(Vectors, EveryStreamInTheFolderHasACase) {
    const std::string dir = VectorsDir();
    std::error_code error;
    std::filesystem::directory_iterator it(dir, error);
    if (error) GTEST_SKIP() << "G.729 test vectors not found in " << dir;
    int streams = 0;
    for (const auto& entry : it) {
        const std::filesystem::path path = entry.path();
        const std::string ext = path.extension().string();
        if (ext != ".ldv" && ext != ".pcm") continue;
        const std::string stem = path.stem().string();
        bool covered = false;
        for (const StreamCase& c : kStreams) covered |= (ext == ".ldv" ? stem == c.input : stem == c.expected);
        EXPECT_TRUE(covered) << path.filename().string() << " has no test case";
        streams++;
    }
    EXPECT_GT(streams, 0) << "no streams in " << dir;
}

}  // namespace
