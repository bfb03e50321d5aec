#pragma once
// The two order-10 LP filters shared by synthesis and post-filter.

#include <cstdint>

namespace g729 {

// Synthesis filter 1/A(z): y[n] = round_fx(L_shl(x[n]*a0 - sum a[j]*y[n-j], 3))
// for n = 0..lg-1 (lg <= 100), with y[-10..-1] taken from mem. x and y may be
// the same array; mem may lie inside x (it is read before anything is
// written). If update is true, mem receives the last 10 outputs. Sets
// Overflow when an operation inside saturates; never clears it.
void Syn_filt(const int16_t a[11], const int16_t x[], int16_t y[], int lg, int16_t mem[10], bool update);

// Residual through A(z): y[n] = round_fx(L_shl(x[n]*a0 + sum a[j]*x[n-j], 3))
// for n = 0..lg-1; x[-10..-1] must be readable. y must not overlap x.
void Residu(const int16_t a[11], const int16_t x[], int16_t y[], int lg);

}  // namespace g729
