#pragma once
// Table-driven logarithm, power and inverse square root of the decoder.

#include <cstdint>

namespace g729 {

// Base-2 logarithm of L (L > 0) as an integer part *exponent (0..30) and a
// Q15 fraction; both are 0 for L <= 0. Interpolates table tablog.
void Log2(int32_t L, int16_t* exponent, int16_t* fraction);

// 2^(exponent + fraction), fraction in Q15, exponent 0..30; interpolates
// table tabpow and rounds.
int32_t Pow2(int16_t exponent, int16_t fraction);

// 1 / sqrt(L) in Q30 for L > 0 (Q0 input); 0x3fffffff for L <= 0.
// Interpolates table tabsqr.
int32_t Inv_sqrt(int32_t L);

}  // namespace g729
