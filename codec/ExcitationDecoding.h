#pragma once
// The adaptive-codebook (pitch) and fixed-codebook parts of the excitation.

#include <cstdint>

namespace g729 {

// Pitch lag of a subframe from its frame index. Subframe 1 (first_subframe
// true) decodes index 0..255 absolutely; subframe 2 decodes index 0..31
// relative to *T0, which must hold subframe 1's integer lag. Writes the
// integer lag to *T0 (19..144) and the fraction -1, 0 or 1 (thirds) to *T0_frac.
void Dec_lag3(int16_t index, bool first_subframe, int16_t* T0, int16_t* T0_frac);

// Adaptive-codebook vector: exc[0..L_subfr-1] = the past excitation delayed by
// T0 + frac/3, interpolated with inter_3l. exc[-T0-11 .. -1] must be the
// excitation history; for T0 < L_subfr the later samples build on the earlier
// ones of the same call.
void Pred_lt_3(int16_t exc[], int16_t T0, int16_t frac, int L_subfr);

// Fixed-codebook vector cod[0..39]: four pulses of +8191 / -8192 at the
// positions coded in index (13 bits), signs from sign (4 bits, pulse k at bit k).
void Decod_ACELP(int16_t sign, int16_t index, int16_t cod[40]);

}  // namespace g729
