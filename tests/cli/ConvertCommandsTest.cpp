// tolvan-cli decode and normalise, run as the built program.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "playback/NormaliseWav.h"
#include "playback/PcmWavHeader.h"
#include "platform/TextCodec.h"
#include "tests/playback/FileBytes.h"
#include "tests/support/G729Vectors.h"
#include "tests/support/OtherWavWriters.h"
#include "tests/support/RunProgram.h"
#include "tests/support/TempFolder.h"
#include "tools/SampleRecording.h"
#include "tools/SpeechSignal.h"

namespace {

// Runs tolvan-cli with the arguments inside folder (its current directory).
ProgramResult RunCli(const TempFolder& folder, const std::vector<std::string>& args) {
    return RunProgram(folder.Str(), TOLVAN_CLI, args);
}

std::set<std::string> Names(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
}

std::vector<uint8_t> SampleRecording(double seconds, uint32_t seed) {
    return MakeDeviceRecording('B', "0755-88886666", 2018, 6, 9, 11, 48,
                               MakeSpeechLikeSignal(static_cast<size_t>(seconds * 8000), seed));
}

// What the player's conversion makes of bytes, run in this process.
std::vector<uint8_t> NormalisedHere(const std::vector<uint8_t>& recording) {
    TempFolder here(/*enter=*/true);
    WriteWholeFile(here.File("in.wav"), recording);
    EXPECT_TRUE(NormaliseWav(platform::Utf8ToWide(here.File("in.wav"))));
    return ReadWholeFile(here.File(kNormalisedWavName));
}

TEST(NormaliseCommand, WritesTheConvertedRecordingAndNoTemporaryFile) {
    TempFolder work, elsewhere;
    const std::vector<uint8_t> recording = SampleRecording(3.0, 11);
    WriteWholeFile(work.File("VOC00001.wav"), recording);
    // The command writes its output directly: a temp.$$$ in the working
    // folder (the window's, say) is neither used nor removed.
    WriteWholeFile(work.File(kNormalisedWavName), {1, 2, 3});

    for (const std::string& out : {work.File("out.wav"), elsewhere.File("out.wav")}) {
        const ProgramResult run = RunCli(work, {"normalise", "VOC00001.wav", out});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        const std::vector<uint8_t> wav = ReadWholeFile(out);
        EXPECT_EQ(wav, NormalisedHere(recording));
        ASSERT_GE(wav.size(), kPcmWavHeaderSize);
        EXPECT_TRUE(IsPcmWavHeader(wav.data()));
        EXPECT_EQ(U32At(wav, 40), wav.size() - 44);
    }
    EXPECT_EQ(Names(work.Path()), (std::set<std::string>{"VOC00001.wav", "out.wav", kNormalisedWavName}));
    EXPECT_EQ(ReadWholeFile(work.File(kNormalisedWavName)), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(Names(elsewhere.Path()), (std::set<std::string>{"out.wav"}));
}

TEST(NormaliseCommand, ReplacesAnExistingOutput) {
    TempFolder work;
    const std::vector<uint8_t> recording = SampleRecording(2.0, 12);
    WriteWholeFile(work.File("in.wav"), recording);
    WriteWholeFile(work.File("out.wav"), std::vector<uint8_t>(200000, 9));
    EXPECT_EQ(RunCli(work, {"normalise", "in.wav", "out.wav"}).status, 0);
    EXPECT_EQ(ReadWholeFile(work.File("out.wav")), NormalisedHere(recording));
}

TEST(NormaliseCommand, AWavOfAnotherProgramGivesItsSamplesAndAnotherFormIsRefused) {
    TempFolder work;
    const std::vector<int16_t> speech = MakeSpeechLikeSignal(12000, 13);
    ASSERT_EQ(WriteWithFfmpeg(work.File("ffmpeg.wav"), speech), "");  // with a LIST chunk
    ProgramResult run = RunCli(work, {"normalise", "ffmpeg.wav", "out.wav"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::vector<uint8_t> wav = ReadWholeFile(work.File("out.wav"));
    ASSERT_GE(wav.size(), kPcmWavHeaderSize);
    EXPECT_TRUE(IsPcmWavHeader(wav.data()));
    EXPECT_EQ(SamplesFrom(wav, kPcmWavHeaderSize), speech);

    ASSERT_EQ(WriteWithSox(work.File("float.wav"), speech, {"-e", "floating-point", "-b", "32"}), "");
    run = RunCli(work, {"normalise", "float.wav", "refused.wav"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "tolvan-cli normalise: float.wav: 8000 Hz, 1 channel, 32-bit float samples; the player plays 8000 Hz "
              "mono 16-bit PCM only\n");
    EXPECT_EQ(Names(work.Path()), (std::set<std::string>{"ffmpeg.wav", "out.wav", "float.wav"}));
}

TEST(DecodeCommand, WritesHeaderAndEveryWholeFrameIgnoringTrailingBytes) {
    TempFolder work;
    std::vector<uint8_t> stream(10 * 1234);
    uint32_t x = 99;
    for (uint8_t& b : stream) b = static_cast<uint8_t>((x = x * 1664525u + 1013904223u) >> 24);
    WriteWholeFile(work.File("whole.ldv"), stream);
    std::vector<uint8_t> trailing = stream;
    trailing.insert(trailing.end(), {1, 2, 3, 4, 5, 6, 7, 8, 9});
    WriteWholeFile(work.File("trailing.ldv"), trailing);

    ASSERT_EQ(RunCli(work, {"decode", "whole.ldv", "whole.wav"}).status, 0);
    ASSERT_EQ(RunCli(work, {"decode", "trailing.ldv", "trailing.wav"}).status, 0);
    const std::vector<uint8_t> wav = ReadWholeFile(work.File("whole.wav"));
    ASSERT_EQ(wav.size(), 44u + 160u * 1234u);  // more than one 160000-byte batch
    EXPECT_TRUE(IsPcmWavHeader(wav.data()));
    EXPECT_EQ(U32At(wav, 4), wav.size() - 8);
    EXPECT_EQ(U32At(wav, 40), wav.size() - 44);
    EXPECT_EQ(ReadWholeFile(work.File("trailing.wav")), wav);
}

TEST(DecodeCommand, StreamShorterThanAFrameGivesAHeaderOnlyFile) {
    TempFolder work;
    for (size_t size : {0, 9}) {
        WriteWholeFile(work.File("short.ldv"), std::vector<uint8_t>(size, 0x55));
        ASSERT_EQ(RunCli(work, {"decode", "short.ldv", "short.wav"}).status, 0);
        const std::vector<uint8_t> wav = ReadWholeFile(work.File("short.wav"));
        ASSERT_EQ(wav.size(), 44u) << size;
        EXPECT_EQ(U32At(wav, 4), 36u);
        EXPECT_EQ(U32At(wav, 40), 0u);
    }
}

TEST(DecodeCommand, MatchesTheReferenceDecoderOnTheTestVectors) {
    const std::filesystem::path vectors = G729VectorsDir();
    if (!std::filesystem::exists(vectors / "SPEECH.ldv"))
        GTEST_SKIP() << "no G.729 test vectors in " << vectors << " (set TOLVAN_G729_VECTORS to the folder holding them)";
    TempFolder work;
    int compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator(vectors)) {
        if (entry.path().extension() != ".ldv") continue;
        const std::filesystem::path pcm = std::filesystem::path(entry.path()).replace_extension(".pcm");
        if (!std::filesystem::exists(pcm)) continue;
        SCOPED_TRACE(entry.path().filename().string());
        const ProgramResult run = RunCli(work, {"decode", entry.path().string(), "out.wav"});
        ASSERT_EQ(run.status, 0) << run.err;
        const std::vector<uint8_t> wav = ReadWholeFile(work.File("out.wav"));
        const std::vector<uint8_t> expected = ReadWholeFile(pcm.string());
        ASSERT_EQ(wav.size(), 44 + expected.size());
        EXPECT_EQ(U32At(wav, 40), expected.size());
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), wav.begin() + 44));
        ++compared;
    }
    EXPECT_GT(compared, 0);
}

// An input that cannot be read: a clear message, status 1, and no output,
// not even a partial one; an existing output stays as it was.
TEST(ConvertCommands, UnreadableInputLeavesNoOutput) {
    TempFolder work;
    std::filesystem::create_directory(work.Path() / "folder.wav");
    WriteWholeFile(work.File("kept.wav"), {'o', 'l', 'd'});
    for (const char* command : {"decode", "normalise"}) {
        for (const char* input : {"missing.wav", "folder.wav"}) {
            for (const char* output : {"new.wav", "kept.wav"}) {
                SCOPED_TRACE(std::string(command) + " " + input + " " + output);
                const ProgramResult run = RunCli(work, {command, input, output});
                EXPECT_EQ(run.status, 1);
                EXPECT_NE(run.err.find("cannot read"), std::string::npos) << run.err;
                EXPECT_NE(run.err.find(input), std::string::npos) << run.err;
                EXPECT_EQ(Names(work.Path()), (std::set<std::string>{"folder.wav", "kept.wav"}));
                EXPECT_EQ(ReadWholeFile(work.File("kept.wav")), (std::vector<uint8_t>{'o', 'l', 'd'}));
            }
        }
    }
}

TEST(ConvertCommands, OutputThatCannotBeCreatedFailsCleanly) {
    TempFolder work;
    WriteWholeFile(work.File("in.wav"), SampleRecording(2.0, 13));
    WriteWholeFile(work.File("in.ldv"), std::vector<uint8_t>(1000, 0x33));
    for (const char* command : {"decode", "normalise"}) {
        SCOPED_TRACE(command);
        const ProgramResult run = RunCli(work, {command, std::string(command) == "decode" ? "in.ldv" : "in.wav",
                                      "no/such/folder/out.wav"});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("no/such/folder/out.wav"), std::string::npos) << run.err;
        EXPECT_EQ(Names(work.Path()), (std::set<std::string>{"in.wav", "in.ldv"}));
    }
}

TEST(ConvertCommands, WrongArgumentsShowTheUsage) {
    TempFolder work;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"decode"}, {"decode", "a"}, {"normalise", "a", "b", "c"}}) {
        const ProgramResult run = RunCli(work, args);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("usage"), std::string::npos) << run.err;
    }
}

}  // namespace

namespace {

// tolvan-cli convert: the batch conversion of the files named, in one
// process, so the second stream decodes after the first as in the window.
TEST(ConvertCommand, ConvertsInOrderWithTheDecoderStateCarriedOver) {
    const std::filesystem::path vectors = G729VectorsDir();
    if (!std::filesystem::exists(vectors / "random_b_after_a.pcm"))
        GTEST_SKIP() << "no G.729 test vectors in " << vectors << " (set TOLVAN_G729_VECTORS to the folder holding them)";
    TempFolder work;
    std::filesystem::create_directory(work.Path() / "out");
    std::filesystem::copy_file(vectors / "random_a.ldv", work.Path() / "VOC00001.ldv");
    std::filesystem::copy_file(vectors / "random_b.ldv", work.Path() / "VOC00002.LDV");
    WriteWholeFile(work.File("VOC00003.wav"), {1, 2, 3});
    const ProgramResult run = RunCli(work, {"convert", "out", "VOC00001.ldv", "VOC00003.wav", "VOC00002.LDV"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "共2个LDV文件,转换完成2个LDV文件\n");
    EXPECT_EQ(run.err, "正在转换VOC00001.ldv文件(1/2)\n正在转换VOC00002.LDV文件(2/2)\n");
    EXPECT_EQ(Names(work.Path() / "out"), (std::set<std::string>{"VOC00001.wav", "VOC00002.wav"}));
    const std::vector<uint8_t> a = ReadWholeFile(work.File("out/VOC00001.wav"));
    const std::vector<uint8_t> b = ReadWholeFile(work.File("out/VOC00002.wav"));
    EXPECT_EQ(std::vector<uint8_t>(a.begin() + 44, a.end()), ReadWholeFile((vectors / "random_a.pcm").string()));
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 44, b.end()),
              ReadWholeFile((vectors / "random_b_after_a.pcm").string()));
}

TEST(ConvertCommand, NamesEveryFileNotConverted) {
    TempFolder work;
    std::filesystem::create_directory(work.Path() / "out");
    WriteWholeFile(work.File("VOC00001.ldv"), std::vector<uint8_t>(200, 5));
    WriteWholeFile(work.File("VOC00002.ldv"), std::vector<uint8_t>(200, 6));
    WriteWholeFile(work.File("out/VOC00002.wav"), {'c', 'a', 'l', 'l'});  // not a conversion's output
    const ProgramResult run = RunCli(work, {"convert", "out", "VOC00001.ldv", "VOC00002.ldv", "VOC00009.ldv"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "共3个LDV文件,转换完成1个LDV文件\n");
    EXPECT_NE(run.err.find("VOC00002.ldv not converted: the destination holds another file of that name"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("VOC00009.ldv not converted: cannot be read"), std::string::npos) << run.err;
    EXPECT_EQ(ReadWholeFile(work.File("out/VOC00002.wav")), (std::vector<uint8_t>{'c', 'a', 'l', 'l'}));
    EXPECT_EQ(Names(work.Path() / "out"), (std::set<std::string>{"VOC00001.wav", "VOC00002.wav"}));
}

TEST(ConvertCommand, DestinationMustBeAFolder) {
    TempFolder work;
    WriteWholeFile(work.File("VOC00001.ldv"), std::vector<uint8_t>(200, 5));
    for (const char* dest : {"missing", "VOC00001.ldv"}) {
        const ProgramResult run = RunCli(work, {"convert", dest, "VOC00001.ldv"});
        EXPECT_EQ(run.status, 1) << dest;
        EXPECT_NE(run.err.find("is not a folder"), std::string::npos) << run.err;
    }
    EXPECT_EQ(RunCli(work, {"convert", "."}).status, 1);
    EXPECT_EQ(Names(work.Path()), std::set<std::string>{"VOC00001.ldv"});
}

}  // namespace
