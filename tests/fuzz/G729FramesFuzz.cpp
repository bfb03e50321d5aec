// Frame sequences through the G.729 Annex A decoder, with the inter-frame
// state checked after every frame against what the decoding guarantees
// whatever the bits: the pitch sharpening within [0.2, 0.8], the last pitch
// lag within the lag codes' reach (one beyond each end of 20..143: code 0 of
// the first subframe gives 19, code 31 of the second T0_min + 10, up to 144;
// the excitation history is kept long enough for both), the MA switch one bit, and the last LSF vector
// as the stability check leaves it (the first nine ascending at least GAP3
// apart from L_LIMIT on, the last at most M_LIMIT) with its cosines, the
// LSPs, descending over those nine.
//
// Input: a stream of 10-byte frames; a short last frame is ignored, as the
// player does. Every input starts from the state of a fresh process, so that
// a finding reproduces from its input alone.

#include <cstdint>
#include <cstdlib>

#include "codec/BasicOps.h"
#include "codec/DecoderState.h"
#include "codec/G729Decoder.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

constexpr int16_t kGap3 = 321;      // Q13
constexpr int16_t kLLimit = 40;     // Q13
constexpr int16_t kMLimit = 25681;  // Q13

void CheckState(const g729::DecoderState& s) {
    using namespace g729;
    Check(s.sharp >= SHARPMIN && s.sharp <= SHARPMAX);
    Check(s.old_T0 >= PIT_MIN - 1 && s.old_T0 <= PIT_MAX + 1);
    Check(s.prev_ma == 0 || s.prev_ma == 1);
    Check(s.prev_lsp[0] >= kLLimit);
    for (int i = 0; i + 1 < M - 1; ++i) Check(s.prev_lsp[i + 1] - s.prev_lsp[i] >= kGap3);
    Check(s.prev_lsp[M - 1] <= kMLimit);
    for (int i = 0; i + 1 < M - 1; ++i) Check(s.lsp_old[i + 1] <= s.lsp_old[i]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    g729::DecoderState state;
    g729::Overflow = 0;
    G729Decoder decoder(state);
    decoder.Init();
    int16_t pcm[80];
    for (size_t at = 0; at + 10 <= size; at += 10) {
        Check(decoder.DecodeFrame(data + at, pcm) == 160);
        CheckState(state);
    }
    return 0;
}
