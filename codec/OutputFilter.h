#pragma once
// The output high-pass filter (cut-off 100 Hz) with its gain of 2.

#include <cstdint>

namespace g729 {

struct DecoderState;

// Filters signal[0..lg-1] in place; the output saturates to the int16 range.
// Carries x0, x1, y1 and y2 of s across calls.
void Post_Process(DecoderState& s, int16_t signal[], int lg);

}  // namespace g729
