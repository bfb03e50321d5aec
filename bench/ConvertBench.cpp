// The batch conversion against raw decoding: 100,000 frames converted by
// ConvertWorker (read whole, decoded, written in batches, with the progress
// text and bar reported as the dialog would see them) beside the same frames
// decoded into memory by G729Decoder alone. Runs alternate; the median and
// the range of each are reported, and the worker's cost over raw decoding.
//
// usage: tolvan-bench-convert [FRAMES] [RUNS]    (defaults 100000 and 7)

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <vector>

#include "codec/DecoderState.h"
#include "codec/G729Decoder.h"
#include "convert/ConvertWorker.h"
#include "tests/support/TempFolder.h"
#include "tools/SampleRecording.h"

namespace {

using Clock = std::chrono::steady_clock;

// Counts what the dialog would be told; the dialog's cost is a queued call
// per notice, which this stands in for.
class CountingView : public ConversionView {
public:
    void SetStatusText(std::u16string_view) override { ++notices; }
    void SetProgress(int) override { ++notices; }
    void ShowFinished() override { ++notices; }
    std::atomic<long> notices{0};
};

struct Range {
    double median, min, max;
};

Range Summarise(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.front(), v.back()};
}

}  // namespace

int main(int argc, char** argv) {
    const size_t frames = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    std::mt19937 rng(729);
    std::vector<uint8_t> stream(frames * 10);
    for (uint8_t& b : stream) b = static_cast<uint8_t>(rng());

    TempFolder source, dest;
    WriteFileBytes(source.File("VOC00001.ldv"), stream);
    std::vector<int16_t> pcm(frames * 80);
    g729::DecoderState decoderState;
    G729Decoder decoder(decoderState);
    std::vector<double> raw, worker;
    long notices = 0;
    for (int r = 0; r < runs; ++r) {
        auto start = Clock::now();
        decoder.Init();
        for (size_t i = 0; i < frames; ++i) decoder.DecodeFrame(stream.data() + 10 * i, pcm.data() + 80 * i);
        raw.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());

        std::filesystem::remove(dest.File("VOC00001.wav"));
        ConvertJob job;
        job.sources.push_back({source.Wide(), u"VOC00001.ldv"});
        job.m_pszDestFolder = dest.Wide() + u"/";
        CountingView view;
        start = Clock::now();
        ConvertWorker(job, view, decoder);
        worker.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        notices = view.notices;
        if (job.m_bDone != 1 || job.outcomes.at(0).status != ConvertOutcome::kConverted) {
            std::fprintf(stderr, "the conversion failed\n");
            return 1;
        }
    }
    const Range r = Summarise(raw), w = Summarise(worker);
    std::printf("%zu frames, %d runs, times in ms (median, min-max)\n", frames, runs);
    std::printf("raw decoding into memory     %8.1f  (%.1f-%.1f)  %.0f frames/s\n", r.median, r.min, r.max,
                frames / r.median * 1000);
    std::printf("ConvertWorker, file to file  %8.1f  (%.1f-%.1f)  %.0f frames/s, %ld notices to the dialog\n",
                w.median, w.min, w.max, frames / w.median * 1000, notices);
    std::printf("worker / raw: %.3f (median), %.3f (best against best)\n", w.median / r.median, w.min / r.min);
    return 0;
}
