// tolvan-cli play FILE [--volume N]: plays FILE from start to end through the
// player's own loader, engine and sound device, as if FILE were the one row
// of the record list and Play had been pressed.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/Commands.h"
#include "codec/DecoderState.h"
#include "codec/G729Decoder.h"
#include "platform/Files.h"
#include "platform/MessageLoop.h"
#include "platform/PulseWaveOut.h"
#include "platform/TextCodec.h"
#include "playback/MemoryPlaybackView.h"
#include "playback/PlaybackEngine.h"
#include "playback/WavLayout.h"

namespace {

// A device that sends nothing for this long has stopped playing.
constexpr std::chrono::seconds kDeviceSilence{10};

bool IsLevel(std::string_view text) {
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string_view::npos) return false;
    return std::stoi(std::string(text)) <= 100;
}

int RunPlay(const Arguments& args) {
    const std::string& file = args.Operands()[0];
    const int level = std::stoi(args.Value("--volume", "30"));  // the volume slider's start position
    const ProgramMessages messages;

    const std::filesystem::path path = std::filesystem::path(ArgumentPath(file)).lexically_normal();
    MemoryPlaybackView view;
    view.SetRows(platform::Utf8ToWide(path.parent_path().string()),
                 {{u"1", platform::Utf8ToWide(path.filename().string())}});
    view.SelectRow(0);

    platform::MessageLoop loop;
    platform::PulseWaveOutOpener opener;
    g729::DecoderState decoderState;  // the process decodes one stream
    G729Decoder decoder(decoderState);
    PlaybackEngine engine(view, loop, opener, decoder);
    engine.SetVolume(level);
    engine.OnPlay();
    if (!engine.IsPlaying()) {
        // The window's message says that the file did not open; the system
        // says why, and so does the WAV file's form where it was refused.
        platform::File probe = platform::File::OpenForReading(path.string());
        if (!probe) return args.FileFailure("cannot read", file, probe.Error());
        if (const WavLayout layout = ReadWavLayout(probe); layout.form == WavForm::kRefused) {
            std::fprintf(stderr, "tolvan-cli play: %s: %s\n", file.c_str(), WavRefusal(layout).c_str());
            return 1;
        }
        return messages.Count() == 0 ? args.FileFailure("cannot load", file, 0) : 1;
    }

    bool started = false;
    const bool ended = loop.Run(
        [&](int message, uintptr_t wParam, intptr_t lParam) {
            engine.OnPostedMessage(message, wParam, lParam);
            if (!started && message == platform::MM_WOM_OPEN && engine.IsPlaying()) {
                started = true;
                std::printf("%s\n", platform::WideToUtf8(view.NowPlaying()).c_str());
                std::fflush(stdout);
            }
        },
        [&engine] { return !engine.IsPlaying(); }, kDeviceSilence);
    if (!ended) return args.Failure("the sound device stopped answering");
    return messages.Count() == 0 ? 0 : 1;
}

}  // namespace

const CommandSpec kPlayCommand = {
    "play",
    RunPlay,
    "play FILE [--volume 0..100]",
    "Plays FILE (a device recording, a PCM WAV or an LDV stream, told apart by\n"
    "name as Play does) from start to end on the PulseAudio server of the\n"
    "session (PULSE_SERVER and PULSE_SINK are honoured), at the volume level\n"
    "given (30 by default). Prints the now-playing label when the sound starts\n"
    "and ends when its last sample has been heard. A file that cannot be loaded\n"
    "(a WAV of PCM or float samples other than 8000 Hz mono 16-bit, too, with\n"
    "the reason) or a device that cannot be opened gives the message on stderr\n"
    "(status 1).\n",
    {{"--volume", "takes a level from 0 to 100", IsLevel}},
    1,
    1,
};
