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
#include "platform/MessageBox.h"
#include "platform/Files.h"
#include "platform/MessageLoop.h"
#include "platform/PulseWaveOut.h"
#include "platform/TextCodec.h"
#include "playback/MemoryPlaybackView.h"
#include "playback/PlaybackEngine.h"
#include "playback/WavLayout.h"

namespace {

const char kUsage[] = "usage: tolvan-cli play FILE [--volume 0..100]\n";

// A device that sends nothing for this long has stopped playing.
constexpr std::chrono::seconds kDeviceSilence{10};

bool ParseLevel(const std::string& text, int& level) {
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    level = std::stoi(text);
    return level <= 100;
}

}  // namespace

int RunPlayCommand(const CommandArgs& args) {
    std::string file;
    int level = 30;  // the volume slider's start position
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--volume") {
            if (i + 1 >= args.size() || !ParseLevel(args[++i], level)) {
                std::fprintf(stderr, "tolvan-cli play: --volume takes a level from 0 to 100\n%s", kUsage);
                return 1;
            }
        } else if (file.empty() && !args[i].empty() && args[i][0] != '-') {
            file = args[i];
        } else {
            std::fprintf(stderr, "tolvan-cli play: unexpected argument '%s'\n%s", args[i].c_str(), kUsage);
            return 1;
        }
    }
    if (file.empty()) {
        std::fputs(kUsage, stderr);
        return 1;
    }

    int messages = 0;
    platform::SetMessageBoxHandler([&messages](std::u16string_view text) {
        ++messages;
        std::fprintf(stderr, "%s\n", platform::WideToUtf8(text).c_str());
    });

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
        if (messages == 0) std::fprintf(stderr, "tolvan-cli play: cannot load %s\n", file.c_str());
        // The window's message does not say why a WAV file was refused.
        platform::File in = platform::File::OpenForReading(path.string());
        const WavLayout layout = in ? ReadWavLayout(in) : WavLayout{};
        if (layout.form == WavForm::kRefused)
            std::fprintf(stderr, "tolvan-cli play: %s: %s\n", file.c_str(), WavRefusal(layout).c_str());
        platform::SetMessageBoxHandler(nullptr);
        return 1;
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
    if (!ended) std::fprintf(stderr, "tolvan-cli play: the sound device stopped answering\n");
    platform::SetMessageBoxHandler(nullptr);
    return ended && messages == 0 ? 0 : 1;
}
