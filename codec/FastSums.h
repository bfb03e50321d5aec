#pragma once
// Fast, exact equivalents of the saturating accumulation chains that dominate
// the decoder's time. Each gives the same result, and sets Overflow in the
// same cases, as the chain of basic operators it replaces.
//
// The idea: a chain s = L_mac(...L_mac(s0, a1, b1)..., an, bn) can only
// saturate if some partial sum leaves the int32 range. When the sum of the
// terms' magnitudes is below 2^31 no partial sum can, and plain integer
// arithmetic, in any order, gives the chain's exact value.

#include <cstdint>
#include <cstdlib>

#include "codec/BasicOps.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace g729 {

// Largest |x[i]| for i = 0..n-1 (32768 for -32768): running maxima and
// minima, eight lanes at a time where the machine has 16-bit vector min/max.
inline int32_t MaxMagnitude(const int16_t* x, int n) {
    int32_t h = 0, l = 0;
    int i = 0;
#if defined(__SSE2__)
    if (n >= 8) {
        __m128i hi = _mm_setzero_si128(), lo = _mm_setzero_si128();
        for (; i + 8 <= n; i += 8) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(x + i));
            hi = _mm_max_epi16(hi, v);
            lo = _mm_min_epi16(lo, v);
        }
        // Fold the eight lanes into lane 0.
        hi = _mm_max_epi16(hi, _mm_shuffle_epi32(hi, 0x4e));
        lo = _mm_min_epi16(lo, _mm_shuffle_epi32(lo, 0x4e));
        hi = _mm_max_epi16(hi, _mm_shuffle_epi32(hi, 0xb1));
        lo = _mm_min_epi16(lo, _mm_shuffle_epi32(lo, 0xb1));
        hi = _mm_max_epi16(hi, _mm_srli_epi32(hi, 16));
        lo = _mm_min_epi16(lo, _mm_srli_epi32(lo, 16));
        h = static_cast<int16_t>(_mm_cvtsi128_si32(hi));
        l = static_cast<int16_t>(_mm_cvtsi128_si32(lo));
    }
#endif
    for (; i < n; i++) {
        h = x[i] > h ? x[i] : h;
        l = x[i] < l ? x[i] : l;
    }
    return h > -l ? h : -l;
}

// Sum of |a[i]| for i = 0..n-1.
inline int32_t SumMagnitude(const int16_t* a, int n) {
    int32_t s = 0;
    for (int i = 0; i < n; i++) s += std::abs(int32_t{a[i]});
    return s;
}

// True if a chain of L_mac / L_msu from 0 over products a_i * b_i, with
// sum |a_i| <= aSum and every |b_i| <= bMax, cannot saturate anywhere (not
// even in L_mult): then it equals the plain sum of 2 * a_i * b_i.
inline bool ChainCannotSaturate(int32_t aSum, int32_t bMax) {
    return 2 * int64_t{aSum} * bMax <= MAX_32;
}

// The chain s = L_mac(s, x[i], x[i]) for i = 0..n-1 from start >= 0. Every
// term is non-negative, so the chain saturates exactly when the true sum
// exceeds MAX_32, and then stays there.
inline int32_t L_mac_energy(int32_t start, const int16_t* x, int n) {
    int64_t sum = 0;
    for (int i = 0; i < n; i++) sum += int32_t{x[i]} * x[i];
    const int64_t s = start + 2 * sum;
    if (s > MAX_32) {
        Overflow = 1;
        return MAX_32;
    }
    return static_cast<int32_t>(s);
}

// Plain sum of x[i] * c[i] for i = 0..15 (vector code); for chains known not
// to saturate.
inline int32_t DotProduct16(const int16_t* x, const int16_t* c) {
    int32_t s = 0;
    for (int i = 0; i < 16; i++) s += int32_t{x[i]} * c[i];
    return s;
}

// Plain sum of x[i] * c[i] for i = 0..23 (vector code); for chains known not
// to saturate.
inline int32_t DotProduct24(const int16_t* x, const int16_t* c) {
    int32_t s = 0;
    for (int i = 0; i < 24; i++) s += int32_t{x[i]} * c[i];
    return s;
}

}  // namespace g729
