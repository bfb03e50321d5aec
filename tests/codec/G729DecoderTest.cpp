// Bit-exactness of G729Decoder over the reference streams, each decoded with a
// new decoder state as the expected outputs were made, plus the behaviour
// around Init, the parity bit and states of their own.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "codec/DecoderState.h"
#include "codec/G729Decoder.h"
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

// The streams of case c, read from the vectors folder; false when absent.
struct CaseData {
    std::vector<uint8_t> before, input;
    std::vector<int16_t> expected;
};
bool ReadCase(const StreamCase& c, CaseData* d) {
    const std::string dir = VectorsDir();
    std::vector<uint8_t> expectedBytes;
    if (!ReadFile(dir + "/" + c.input + ".ldv", &d->input) || !ReadFile(dir + "/" + c.expected + ".pcm", &expectedBytes) ||
        (c.before != nullptr && !ReadFile(dir + "/" + c.before + ".ldv", &d->before)))
        return false;
    if (c.flipParity) {
        for (size_t f = 0; f + 10 <= d->input.size(); f += 10) d->input[f + 3] ^= 0x20;  // bit 26 = byte 3, bit 5
    }
    d->expected.resize(expectedBytes.size() / 2);
    for (size_t i = 0; i < d->expected.size(); i++)
        d->expected[i] = static_cast<int16_t>(expectedBytes[2 * i] | (expectedBytes[2 * i + 1] << 8));
    return true;
}

// Decodes case c with state as a program would (the stream before it first,
// when there is one) and names the first difference from the expected output.
std::string DecodeCase(const StreamCase& c, const CaseData& d, g729::DecoderState& state) {
    G729Decoder decoder(state);
    std::vector<int16_t> out;
    if (c.before != nullptr) {
        for (int i = 0; i < c.inits; i++) decoder.Init();
        if (std::string e = DecodeStream(decoder, d.before, &out); !e.empty()) return e;
    }
    for (int i = 0; i < c.inits; i++) decoder.Init();
    if (std::string e = DecodeStream(decoder, d.input, &out); !e.empty()) return e;
    if (out.size() != d.expected.size())
        return std::to_string(out.size()) + " samples, expected " + std::to_string(d.expected.size());
    for (size_t i = 0; i < out.size(); i++) {
        if (out[i] != d.expected[i]) {
            return "first difference in frame " + std::to_string(i / 80) + ", sample " + std::to_string(i % 80) +
                   ": got " + std::to_string(out[i]) + ", expected " + std::to_string(d.expected[i]);
        }
    }
    return "";
}

// Each case with a new state, as a program starting up has; the tests run in
// one process, so any state kept outside the given one would show here.
TEST_P(StreamTest, MatchesReferenceOutput) {
    const StreamCase& c = GetParam();
    CaseData d;
    if (!ReadCase(c, &d)) {
        GTEST_SKIP() << "G.729 test vectors not found in " << VectorsDir()
                     << " (set TOLVAN_G729_VECTORS to the folder holding them)";
    }
    g729::DecoderState state;
    EXPECT_EQ(DecodeCase(c, d, state), "");
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

// Decoders with states of their own are independent: the carry-over case and
// a plain stream decoded at the same time on two threads both stay bit-exact,
// and a state is unaffected by what another decoded.
TEST(Vectors, DecodersWithTheirOwnStatesRunSideBySide) {
    const StreamCase& carried = kStreams[12];  // random_b after random_a
    const StreamCase& plain = kStreams[5];     // SPEECH
    ASSERT_STREQ(carried.name, "random_b_after_a");
    ASSERT_STREQ(plain.name, "SPEECH");
    CaseData carriedData, plainData;
    if (!ReadCase(carried, &carriedData) || !ReadCase(plain, &plainData))
        GTEST_SKIP() << "G.729 test vectors not found in " << VectorsDir();
    g729::DecoderState first, second;
    std::string carriedResult, plainResult;
    std::thread other([&] { carriedResult = DecodeCase(carried, carriedData, first); });
    plainResult = DecodeCase(plain, plainData, second);
    other.join();
    EXPECT_EQ(carriedResult, "");
    EXPECT_EQ(plainResult, "");
}
