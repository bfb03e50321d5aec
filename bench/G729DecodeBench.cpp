// Decoding speed of G729Decoder in frames per second on 100,000 random
// frames (or the frames of a stream, repeated), against Debian's bcg729 on the
// same frames, and a count of the heap allocations made while decoding.
//
// bcg729 is only a speed peer here: it is not bit-exact with the reference
// decoder, and nothing in the program uses it.
//
//   tolvan-bench-g729 [FRAMES] [RUNS] [STREAM.ldv]     (defaults 100000 and 5)
//
// With STREAM, the frames are that stream's, repeated to FRAMES (speech
// rather than random bits).
//
// Each run decodes all frames once with each decoder, alternating, and the
// best run of each is reported. Exit status 1 if DecodeFrame allocated.

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" {
#include <bcg729/decoder.h>
}

#include "codec/DecoderState.h"
#include "codec/G729Decoder.h"

// Counting allocator: every malloc-family call goes through these wrappers
// (operator new ends up in malloc too) and is counted while gCounting is set.
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);
}

namespace {
bool gCounting = false;
long gAllocations = 0;

void Count() {
    if (gCounting) gAllocations++;
}
}  // namespace

extern "C" {
void* malloc(size_t n) {
    Count();
    return __libc_malloc(n);
}
void* calloc(size_t n, size_t size) {
    Count();
    return __libc_calloc(n, size);
}
void* realloc(void* p, size_t n) {
    Count();
    return __libc_realloc(p, n);
}
void* aligned_alloc(size_t alignment, size_t n) {
    Count();
    return __libc_memalign(alignment, n);
}
void* memalign(size_t alignment, size_t n) {
    Count();
    return __libc_memalign(alignment, n);
}
int posix_memalign(void** out, size_t alignment, size_t n) {
    Count();
    void* p = __libc_memalign(alignment, n);
    if (p == nullptr) return 12;  // ENOMEM
    *out = p;
    return 0;
}
void free(void* p) { __libc_free(p); }
}

namespace {

constexpr int kFrameBytes = 10;
constexpr int kSamples = 80;

struct Run {
    double seconds;
    long allocations;
};

Run DecodeOurs(const std::vector<uint8_t>& frames, std::vector<int16_t>& pcm) {
    static g729::DecoderState state;  // one state for the whole program, as in the player
    static G729Decoder decoder(state);
    const size_t n = frames.size() / kFrameBytes;
    decoder.Init();
    gAllocations = 0;
    gCounting = true;
    const auto start = std::chrono::steady_clock::now();
    for (size_t f = 0; f < n; f++) decoder.DecodeFrame(&frames[f * kFrameBytes], &pcm[f * kSamples]);
    const auto end = std::chrono::steady_clock::now();
    gCounting = false;
    return {std::chrono::duration<double>(end - start).count(), gAllocations};
}

Run DecodeBcg729(const std::vector<uint8_t>& frames, std::vector<int16_t>& pcm) {
    const size_t n = frames.size() / kFrameBytes;
    bcg729DecoderChannelContextStruct* channel = initBcg729DecoderChannel();
    gAllocations = 0;
    gCounting = true;
    const auto start = std::chrono::steady_clock::now();
    for (size_t f = 0; f < n; f++) bcg729Decoder(channel, &frames[f * kFrameBytes], kFrameBytes, 0, 0, 0, &pcm[f * kSamples]);
    const auto end = std::chrono::steady_clock::now();
    gCounting = false;
    closeBcg729DecoderChannel(channel);
    return {std::chrono::duration<double>(end - start).count(), gAllocations};
}

uint32_t Checksum(const std::vector<int16_t>& pcm) {
    uint32_t h = 2166136261u;  // FNV-1a over the samples
    for (int16_t s : pcm) h = (h ^ static_cast<uint16_t>(s)) * 16777619u;
    return h;
}

}  // namespace

int main(int argc, char** argv) {
    const long frameCount = argc > 1 ? std::atol(argv[1]) : 100000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    const char* streamPath = argc > 3 ? argv[3] : nullptr;
    if (frameCount <= 0 || runs <= 0) {
        std::fprintf(stderr, "usage: tolvan-bench-g729 [FRAMES] [RUNS] [STREAM.ldv]\n");
        return 2;
    }

    std::vector<uint8_t> frames(static_cast<size_t>(frameCount) * kFrameBytes);
    if (streamPath != nullptr) {
        std::ifstream in(streamPath, std::ios::binary);
        const std::vector<uint8_t> stream((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const size_t whole = stream.size() / kFrameBytes * kFrameBytes;
        if (whole == 0) {
            std::fprintf(stderr, "tolvan-bench-g729: no frames in %s\n", streamPath);
            return 2;
        }
        for (size_t i = 0; i < frames.size(); i++) frames[i] = stream[i % whole];
    } else {
        std::mt19937 random(729);
        for (uint8_t& b : frames) b = static_cast<uint8_t>(random() & 0xff);
    }
    std::vector<int16_t> ours(static_cast<size_t>(frameCount) * kSamples);
    std::vector<int16_t> peer(ours.size());

    // The decoder's diagnostics go to standard output; give it its buffer now
    // so that its allocation is not counted against the first decoded frame.
    if (streamPath != nullptr) {
        std::printf("G.729 Annex A decoding, %ld frames of %s, best of %d runs\n", frameCount, streamPath, runs);
    } else {
        std::printf("G.729 Annex A decoding, %ld random frames (seed 729), best of %d runs\n", frameCount, runs);
    }
    std::fflush(stdout);

    // The counter must see an allocation that does happen.
    gAllocations = 0;
    gCounting = true;
    void* volatile probe = std::malloc(16);
    std::free(probe);
    gCounting = false;
    if (gAllocations != 1) {
        std::fprintf(stderr, "the allocation counter does not see malloc\n");
        return 2;
    }

    double bestOurs = 1e30, bestPeer = 1e30;
    long oursAllocations = 0, peerAllocations = 0;
    for (int r = 0; r < runs; r++) {
        const Run a = DecodeOurs(frames, ours);
        const Run b = DecodeBcg729(frames, peer);
        bestOurs = std::min(bestOurs, a.seconds);
        bestPeer = std::min(bestPeer, b.seconds);
        oursAllocations += a.allocations;
        peerAllocations += b.allocations;
    }

    const double oursFps = frameCount / bestOurs;
    const double peerFps = frameCount / bestPeer;
    std::printf("G729Decoder: %10.0f frames/s  (%.3f s, output checksum %08x)\n", oursFps, bestOurs, Checksum(ours));
    std::printf("bcg729:      %10.0f frames/s  (%.3f s)\n", peerFps, bestPeer);
    std::printf("ratio:       %10.2f\n", oursFps / peerFps);
    std::printf("heap allocations during %ld DecodeFrame calls: %ld (bcg729 decoding: %ld)\n",
                frameCount * runs, oursAllocations, peerAllocations);
    return oursAllocations == 0 ? 0 : 1;
}
