#include "tests/support/OtherWavWriters.h"

#include <fstream>

#include "tests/playback/FileBytes.h"
#include "tests/support/RunProgram.h"
#include "tests/support/TempFolder.h"

namespace {

const char* const kRawInput[] = {"-r", "8000", "-c", "1", "-b", "16", "-e", "signed", "-L", "-t", "raw"};

std::string Run(std::vector<std::string> args) {
    // env finds the program on PATH.
    const ProgramResult result = RunProgram(".", "/usr/bin/env", args);
    return result.status == 0 ? "" : args[0] + " failed (" + std::to_string(result.status) + "): " + result.err;
}

std::string WriteRaw(const TempFolder& folder, const std::vector<int16_t>& samples) {
    const std::string path = folder.File("in.raw");
    std::ofstream out(path, std::ios::binary);
    for (int16_t s : samples) {
        const char bytes[2] = {static_cast<char>(s & 0xFF), static_cast<char>((s >> 8) & 0xFF)};
        out.write(bytes, 2);
    }
    return path;
}

}  // namespace

std::string WriteWithFfmpeg(const std::string& path, const std::vector<int16_t>& samples,
                            const std::vector<std::string>& options) {
    TempFolder folder;
    std::vector<std::string> args{"ffmpeg", "-nostdin", "-loglevel", "error", "-y"};
    args.insert(args.end(), {"-f", "s16le", "-ar", "8000", "-ac", "1", "-i", WriteRaw(folder, samples)});
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(path);
    return Run(args);
}

std::string ConvertWithFfmpeg(const std::string& from, const std::string& to, const std::vector<std::string>& options) {
    std::vector<std::string> args{"ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-i", from};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(to);
    return Run(args);
}

std::string WriteWithSox(const std::string& path, const std::vector<int16_t>& samples,
                         const std::vector<std::string>& options) {
    TempFolder folder;
    std::vector<std::string> args{"sox"};
    args.insert(args.end(), std::begin(kRawInput), std::end(kRawInput));
    args.push_back(WriteRaw(folder, samples));
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(path);
    return Run(args);
}

std::vector<int16_t> SamplesReadBySox(const std::string& path) {
    TempFolder folder;
    const std::string raw = folder.File("out.raw");
    if (!Run({"sox", path, "-t", "raw", "-e", "signed", "-b", "16", "-L", raw}).empty()) return {};
    return SamplesFrom(ReadWholeFile(raw), 0);
}
