#pragma once
// Parameter decoding and speech synthesis of one frame.

#include <cstdint>

namespace g729 {

struct DecoderState;

// Decodes the frame parameters prm[1..11] (prm[0], the bad-frame indicator,
// and prm[4], the parity-check result, must be 0) into 80 synthesized samples
// synth[0..79]; synth[-10..-1] are not touched. Writes the two LP coefficient
// sets (Q12) to A_t[0..21] and the two integer pitch lags to T2[0..1], and
// advances s by one frame. When the synthesis of a
// subframe saturates, the excitation history is divided by 4 and the subframe
// is synthesized again.
void Decod_ld8a(DecoderState& s, const int16_t prm[12], int16_t synth[80], int16_t A_t[22], int16_t T2[2]);

}  // namespace g729
