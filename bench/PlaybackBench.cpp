// Playback timings: the refill of one chunk on the user-interface thread (an
// LDV chunk decodes 20 frames, a PCM chunk is a copy), the time from Play to
// the first sample on a real PulseAudio sink, and tolvan-cli play beside
// pacat playing the same samples, whole processes.
//
// usage: tolvan-bench-playback [RUNS]   (a private PulseAudio server is
// started for the sink measurements; without pulseaudio they are skipped)

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "codec/DecoderState.h"
#include "codec/G729Decoder.h"
#include "platform/MessageLoop.h"
#include "platform/PulseWaveOut.h"
#include "platform/TextCodec.h"
#include "playback/ImaAdpcm.h"
#include "playback/MemoryPlaybackView.h"
#include "playback/PcmWavHeader.h"
#include "playback/PlaybackEngine.h"
#include "tests/support/PulseServer.h"
#include "tests/support/TempFolder.h"
#include "tools/SampleRecording.h"
#include "tools/SpeechSignal.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void Report(const char* what, std::vector<double> v, const char* unit) {
    std::sort(v.begin(), v.end());
    std::printf("%-48s median %8.3f %s  (min %.3f, max %.3f, %zu runs)\n", what, v[v.size() / 2], unit, v.front(),
                v.back(), v.size());
}

// A device that plays nothing and keeps the last buffer written, so that
// the engine's refill alone is timed.
class IdleWaveOut : public platform::WaveOut {
public:
    bool Write(platform::WaveHeader& header) override {
        last = &header;
        return true;
    }
    void Pause() override {}
    void Restart() override {}
    void Reset() override {}
    void Close() override {}
    void SetVolume(uint32_t) override {}
    platform::WaveHeader* last = nullptr;
};

class IdleOpener : public platform::WaveOutOpener {
public:
    std::unique_ptr<platform::WaveOut> Open(const platform::WaveFormat&, platform::MessagePoster&) override {
        auto device = std::make_unique<IdleWaveOut>();
        opened = device.get();
        return device;
    }
    IdleWaveOut* opened = nullptr;
};

// Keeps what the engine posts; the bench hands the open requests back.
class Collector : public platform::MessagePoster {
public:
    void Post(int message, uintptr_t wParam, intptr_t lParam) override { posted.push_back({message, wParam, lParam}); }
    void PostAfter(int, int message, uintptr_t wParam, intptr_t lParam) override { Post(message, wParam, lParam); }
    struct Message {
        int message;
        uintptr_t wParam;
        intptr_t lParam;
    };
    std::vector<Message> posted;
};

std::vector<uint8_t> RandomBytes(size_t n) {
    std::mt19937 rng(729);
    std::vector<uint8_t> bytes(n);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng());
    return bytes;
}

std::vector<uint8_t> PcmWav(size_t dataBytes) {
    std::vector<uint8_t> file(PcmWavHeader, PcmWavHeader + kPcmWavHeaderSize);
    const std::vector<uint8_t> data = RandomBytes(dataBytes);
    file.insert(file.end(), data.begin(), data.end());
    for (int i = 0; i < 4; ++i) file[40 + i] = static_cast<uint8_t>(dataBytes >> (8 * i));
    return file;
}

void TimeRefills(const TempFolder& folder, const std::string& name, int refills) {
    MemoryPlaybackView view;
    view.SetRows(folder.Wide(), {{u"1", platform::Utf8ToWide(name)}});
    view.SelectRow(0);
    Collector poster;
    IdleOpener opener;
    g729::DecoderState decoderState;
    G729Decoder decoder(decoderState);
    PlaybackEngine engine(view, poster, opener, decoder);
    engine.OnPlay();
    // The open request, then the open after the wait.
    for (int i = 0; i < 2; ++i) {
        const Collector::Message m = poster.posted.back();
        poster.posted.clear();
        engine.OnPostedMessage(m.message, m.wParam, m.lParam);
    }
    engine.OnPostedMessage(platform::MM_WOM_OPEN, opener.opened->GetHandle(), 0);
    std::vector<double> times;
    for (int i = 0; i < refills && engine.IsPlaying(); ++i) {
        platform::WaveHeader* h = opener.opened->last;
        const auto start = Clock::now();
        engine.OnPostedMessage(platform::MM_WOM_DONE, opener.opened->GetHandle(), reinterpret_cast<intptr_t>(h));
        times.push_back(Ms(Clock::now() - start) * 1000);
        if (!poster.posted.empty()) break;  // the end of the data
    }
    Report(("refill of one chunk, " + name).c_str(), times, "us");
}

// Play to the first sample heard on the sink: the first buffer comes back
// once the server has played it, so its first sample was heard one buffer
// length earlier.
void TimeFirstSample(const TempFolder& folder, const std::string& name, double chunkMs, int runs) {
    std::vector<double> opened, heard;
    for (int r = 0; r < runs; ++r) {
        MemoryPlaybackView view;
        view.SetRows(folder.Wide(), {{u"1", platform::Utf8ToWide(name)}});
        view.SelectRow(0);
        platform::MessageLoop loop;
        platform::PulseWaveOutOpener opener;
        g729::DecoderState decoderState;
        G729Decoder decoder(decoderState);
        PlaybackEngine engine(view, loop, opener, decoder);
        const auto start = Clock::now();
        engine.OnPlay();
        Clock::time_point open{}, done{};
        loop.Run(
            [&](int m, uintptr_t w, intptr_t l) {
                if (m == platform::MM_WOM_OPEN) open = Clock::now();
                if (m == platform::MM_WOM_DONE && done == Clock::time_point{}) done = Clock::now();
                engine.OnPostedMessage(m, w, l);
            },
            [&] { return done != Clock::time_point{}; }, std::chrono::seconds(5));
        engine.OnStop();
        if (done == Clock::time_point{}) {
            std::printf("no sound from the server\n");
            return;
        }
        opened.push_back(Ms(open - start));
        heard.push_back(Ms(done - start) - chunkMs);
    }
    Report(("Play to device open (100 ms wait included), " + name).c_str(), opened, "ms");
    Report(("Play to first sample on the sink, " + name).c_str(), heard, "ms");
}

double TimeCommand(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    return Ms(Clock::now() - start);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    TempFolder folder;
    WriteFileBytes(folder.File("VOC00001.ldv"), RandomBytes(100000));
    WriteFileBytes(folder.File("VOC00002.wav"), PcmWav(800000));
    TimeRefills(folder, "VOC00001.ldv", 400);
    TimeRefills(folder, "VOC00002.wav", 190);

    PulseServer server;
    if (!server.Running()) {
        std::printf("sink measurements skipped: %s\n", server.Why().c_str());
        return 0;
    }
    TimeFirstSample(folder, "VOC00001.ldv", 200, runs);
    TimeFirstSample(folder, "VOC00002.wav", 256, runs);

    // A three-second device recording (12 whole blocks), and the samples the
    // player makes of it for pacat.
    const std::vector<uint8_t> recording =
        MakeDeviceRecording('Z', "1", 2020, 1, 1, 1, 1, MakeSpeechLikeSignal(3 * 8000, 5));
    WriteFileBytes(folder.File("VOC00003.wav"), recording);
    const size_t blocks = (recording.size() - kRecordingHeadBytes) / kImaBlockBytes;
    std::vector<int16_t> speech(blocks * kImaBlockSamples);
    DecodeImaBlocks(recording.data() + kRecordingHeadBytes, blocks, speech.data());
    std::vector<uint8_t> raw(speech.size() * 2);
    for (size_t i = 0; i < speech.size(); ++i) {
        raw[2 * i] = static_cast<uint8_t>(speech[i]);
        raw[2 * i + 1] = static_cast<uint8_t>(static_cast<uint16_t>(speech[i]) >> 8);
    }
    WriteFileBytes(folder.File("speech.raw"), raw);
    const std::string cli = argc > 2 ? argv[2] : "tolvan-cli";
    std::vector<double> ours, peer;
    for (int r = 0; r < std::min(runs, 3); ++r) {
        ours.push_back(TimeCommand({cli, "play", folder.File("VOC00003.wav"), "--volume", "100"}));
        peer.push_back(TimeCommand({"pacat", "--raw", "--format=s16le", "--rate=8000", "--channels=1",
                                    folder.File("speech.raw")}));
    }
    const double seconds = static_cast<double>(speech.size()) / 8000;
    Report(("tolvan-cli play, " + std::to_string(seconds).substr(0, 5) + " s device recording").c_str(), ours, "ms");
    Report("pacat --raw, the same samples", peer, "ms");
    return 0;
}
