// tolvan-cli normalise IN.wav OUT.wav: converts a device ADPCM recording into
// a PCM WAV file with the player's own conversion. That conversion writes
// temp.$$$ in the current directory; its content becomes OUT and temp.$$$ is
// removed.

#include <cstdio>
#include <vector>

#include "cli/Commands.h"
#include "platform/PendingOutputFile.h"
#include "platform/Files.h"
#include "platform/TextCodec.h"
#include "playback/NormaliseWav.h"

namespace {

const char kUsage[] = "usage: tolvan-cli normalise IN.wav OUT.wav\n";

// Reads temp.$$$ whole and removes it; false when it cannot be opened (when
// another program holds it, it is left alone) or read.
bool TakeNormalisedFile(std::vector<uint8_t>& bytes) {
    platform::File temp = platform::File::OpenForReading(kNormalisedWavName);
    const int64_t size = temp.Size();
    if (!temp || size < 0) return false;
    bytes.resize(static_cast<size_t>(size));
    const bool ok = temp.Read(bytes.data(), bytes.size()) == bytes.size();
    temp.Close();
    platform::DeleteFileAt(kNormalisedWavName);
    return ok;
}

}  // namespace

int RunNormaliseCommand(const CommandArgs& args) {
    if (args.size() != 2) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    const std::string& inPath = args[0];
    const std::string& outPath = args[1];
    if (!NormaliseWav(platform::Utf8ToWide(inPath))) {
        std::fprintf(stderr, "tolvan-cli normalise: cannot read %s\n", inPath.c_str());
        return 1;
    }
    std::vector<uint8_t> wav;
    if (!TakeNormalisedFile(wav)) {
        std::fprintf(stderr, "tolvan-cli normalise: cannot write %s in the current directory\n", kNormalisedWavName);
        return 1;
    }
    PendingOutputFile out(outPath);
    out.Write(wav.data(), wav.size());
    if (!out.Commit()) {
        std::fprintf(stderr, "tolvan-cli normalise: cannot write %s\n", outPath.c_str());
        return 1;
    }
    return 0;
}
