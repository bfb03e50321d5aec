// Normalisation of one hour of device audio against sox decoding the same
// IMA ADPCM blocks from a standard IMA ADPCM WAV file: NormaliseWav in this
// process, and `tolvan-cli normalise` as a whole process writing a new output
// file and replacing an existing one. All write 16-bit PCM to a file in the
// same folder; the figures are wall-clock times, the median of several runs,
// after one warm-up run of each. Replacing is timed against sox replacing its
// own earlier output.
//
// usage: tolvan-bench-normalise [RUNS]

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/TextCodec.h"
#include "playback/ImaAdpcm.h"
#include "playback/ImaAdpcmEncoder.h"
#include "playback/NormaliseWav.h"
#include "tools/ImaAdpcmWav.h"
#include "tools/SampleRecording.h"
#include "tools/SpeechSignal.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Figures {
    double median, best;
};

Figures Summarise(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const double median = v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    return {median, v.front()};
}

// Times one run; output is removed beforehand, as the player removes temp.$$$
// after loading it, so that no run pays for truncating the previous output.
template <typename F>
double TimeOnce(const std::filesystem::path& output, F&& run) {
    std::filesystem::remove(output);
    const auto start = Clock::now();
    run();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool RunProgram(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
    std::vector<uint8_t> bytes(std::filesystem::file_size(path));
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f || std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) bytes.clear();
    if (f) std::fclose(f);
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("tolvan-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::filesystem::current_path(folder);  // temp.$$$ goes to the current directory

    // One hour: a minute of speech-like signal, repeated, encoded in one go.
    const size_t minute = 8000 * 60;
    const std::vector<int16_t> speech = MakeSpeechLikeSignal(minute, 2024);
    std::vector<int16_t> hour;
    hour.reserve(minute * 60);
    for (int i = 0; i < 60; ++i) hour.insert(hour.end(), speech.begin(), speech.end());
    std::vector<uint8_t> recording =
        MakeDeviceRecording('B', "13812345678", 2018, 6, 9, 11, 48, hour);
    const std::vector<uint8_t> blocks(recording.begin() + kRecordingHeadBytes, recording.end());
    const size_t blockCount = blocks.size() / kImaBlockBytes;
    if (!WriteFileBytes((folder / "VOC00001.wav").string(), recording) ||
        !WriteFileBytes((folder / "ima.wav").string(), MakeImaAdpcmWav(blocks))) {
        std::fprintf(stderr, "cannot write the input files into %s\n", folder.c_str());
        return 1;
    }
    const std::u16string source = platform::Utf8ToWide((folder / "VOC00001.wav").string());
    const std::string imaWav = (folder / "ima.wav").string();
    const std::string soxRaw = (folder / "sox.raw").string();
    const std::string soxWav = (folder / "sox.wav").string();

    auto normalise = [&] {
        if (!NormaliseWav(source)) std::fprintf(stderr, "NormaliseWav failed\n");
    };
    const std::string cliOut = (folder / "cli.wav").string();
    const std::string cliKept = (folder / "kept.wav").string();
    auto cliNew = [&] {
        if (!RunProgram({TOLVAN_CLI, "normalise", (folder / "VOC00001.wav").string(), cliOut}))
            std::fprintf(stderr, "tolvan-cli normalise failed\n");
    };
    // Replacing an output that already holds an hour of samples.
    auto cliReplace = [&] {
        if (!RunProgram({TOLVAN_CLI, "normalise", (folder / "VOC00001.wav").string(), cliKept}))
            std::fprintf(stderr, "tolvan-cli normalise failed\n");
    };
    auto soxToRaw = [&] {
        if (!RunProgram({"sox", imaWav, "-t", "raw", "-e", "signed", "-b", "16", soxRaw}))
            std::fprintf(stderr, "sox failed\n");
    };
    auto soxToWav = [&] {
        if (!RunProgram({"sox", imaWav, "-e", "signed", "-b", "16", soxWav})) std::fprintf(stderr, "sox failed\n");
    };

    normalise();
    cliNew();
    cliReplace();
    soxToRaw();
    soxToWav();
    // The same samples, except that the conversion leaves out the data's last block.
    const std::vector<uint8_t> ours = ReadFile(folder / kNormalisedWavName);
    const std::vector<uint8_t> theirs = ReadFile(soxRaw);
    const size_t expected = (blockCount - 1) * kImaBlockSamples * 2;
    const bool same = ours.size() == 44 + expected && theirs.size() >= expected &&
                      std::equal(theirs.begin(), theirs.begin() + expected, ours.begin() + 44) &&
                      ReadFile(cliOut) == ours;

    std::vector<double> tOurs, tNew, tReplace, tRaw, tWav, tWavReplace;
    for (int i = 0; i < runs; ++i) {
        tOurs.push_back(TimeOnce(folder / kNormalisedWavName, normalise));
        tNew.push_back(TimeOnce(cliOut, cliNew));
        const auto start = Clock::now();  // kept.wav stays in place from the run before
        cliReplace();
        tReplace.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        tRaw.push_back(TimeOnce(soxRaw, soxToRaw));
        tWav.push_back(TimeOnce(soxWav, soxToWav));
        const auto soxStart = Clock::now();  // sox.wav stays in place from the run before
        soxToWav();
        tWavReplace.push_back(std::chrono::duration<double, std::milli>(Clock::now() - soxStart).count());
    }
    const Figures normalised = Summarise(tOurs), cliNewFile = Summarise(tNew), cliReplaced = Summarise(tReplace),
                  raw = Summarise(tRaw), wav = Summarise(tWav), wavReplaced = Summarise(tWavReplace);
    const double sox = std::min(raw.median, wav.median);
    std::printf("one hour of device audio: %zu blocks, %zu bytes of ADPCM; %d runs each\n", blockCount,
                blocks.size(), runs);
    std::printf("                                 median      best   sox/ours (median, best)\n");
    std::printf("  NormaliseWav -> temp.$$$    %8.1f ms %8.1f ms\n", normalised.median, normalised.best);
    std::printf("  sox IMA WAV -> raw          %8.1f ms %8.1f ms   %.2fx %.2fx\n", raw.median, raw.best,
                raw.median / normalised.median, raw.best / normalised.best);
    std::printf("  sox IMA WAV -> 16-bit WAV   %8.1f ms %8.1f ms   %.2fx %.2fx\n", wav.median, wav.best,
                wav.median / normalised.median, wav.best / normalised.best);
    std::printf("  tolvan-cli normalise, new   %8.1f ms %8.1f ms   %.2fx (faster sox median / ours)\n",
                cliNewFile.median, cliNewFile.best, sox / cliNewFile.median);
    std::printf("  sox -> 16-bit WAV, over it  %8.1f ms %8.1f ms\n", wavReplaced.median, wavReplaced.best);
    std::printf("  tolvan-cli normalise, over  %8.1f ms %8.1f ms   %.2fx (sox over its output / ours)\n",
                cliReplaced.median, cliReplaced.best, wavReplaced.median / cliReplaced.median);
    std::printf("  samples identical to sox: %s\n", same ? "yes" : "NO");
    std::printf("  goal, at least twice as fast as sox (median): %s\n",
                sox >= 2 * normalised.median && sox >= 2 * cliNewFile.median &&
                        wavReplaced.median >= 2 * cliReplaced.median
                    ? "met"
                    : "NOT met");

    std::filesystem::current_path("/");
    std::filesystem::remove_all(folder);
    return same ? 0 : 1;
}
