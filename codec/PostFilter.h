#pragma once
// The adaptive post-filter: long-term (pitch) post-filter, formant post-filter
// with tilt compensation, and gain control.

#include <cstdint>

namespace g729 {

struct DecoderState;

// Post-filters the 80 samples syn[0..79] in place. syn[-10..-1] must hold the
// last 10 unfiltered samples of the previous frame and receive this frame's
// last 10 unfiltered samples. Az_4 holds the frame's two LP sets (Q12), T its
// two integer pitch lags (19..144). Uses and updates s.res2, s.scal_res2,
// s.mem_syn_pst, s.mem_pre and s.past_gain.
void Post_Filter(DecoderState& s, int16_t syn[80], const int16_t Az_4[22], const int16_t T[2]);

// ap[i] = a[i] * gamma^i (Q12), i = 0..10.
void Weight_Az(const int16_t a[11], int16_t gamma, int16_t ap[11]);

}  // namespace g729
