#include "codec/LpFilters.h"

#include <algorithm>
#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "codec/BasicOps.h"
#include "codec/FastSums.h"

namespace g729 {

namespace {

// round_fx(L_shl(s, 3)) in one step, Overflow included: both saturate exactly
// when 8s leaves [MIN_32, MAX_32 - 0x8000].
inline int16_t RoundShl3(int32_t s) {
    const int64_t v = int64_t{s} * 8;
    if (v > MAX_32 - 0x8000 || v < MIN_32) [[unlikely]] {
        Overflow = 1;
        return v > 0 ? MAX_16 : MIN_16;
    }
    return static_cast<int16_t>((v + 0x8000) >> 16);
}

// Largest sample magnitude for which no chain of products over coefficients
// whose magnitudes add up to aSum can saturate.
inline int32_t SampleLimit(int32_t aSum) {
    return aSum == 0 ? 32768 : std::min<int32_t>(32768, MAX_32 / (2 * aSum));
}

// Syn_filt, one sample at a time: plain sums while the samples read are small
// enough (x[i], mem and every output so far at most `limit`), the operator
// chain otherwise. yy[-10..-1] holds the memory.
void SynthesisBySample(const int16_t a[11], const int16_t x[], int16_t yy[], int from, int lg, int32_t limit) {
    const int32_t c0 = a[0], c1 = a[1], c2 = a[2], c3 = a[3], c4 = a[4], c5 = a[5], c6 = a[6], c7 = a[7],
                  c8 = a[8], c9 = a[9], c10 = a[10];
    if (from == lg) return;
    int32_t yMax = MaxMagnitude(yy - 10, from + 10);
    for (int i = from; i < lg; i++) {
        int32_t s;
        if (std::max(yMax, std::abs(int32_t{x[i]})) <= limit) [[likely]] {
            // The newest output is added last, so the rest is ready before it is.
            const int16_t* h = &yy[i];
            const int32_t older = c2 * h[-2] + c3 * h[-3] + c4 * h[-4] + c5 * h[-5] + c6 * h[-6] + c7 * h[-7] +
                                  c8 * h[-8] + c9 * h[-9] + c10 * h[-10];
            s = (x[i] * c0 - older - c1 * h[-1]) * 2;
        } else {
            s = L_mult(x[i], a[0]);
            for (int j = 1; j <= 10; j++) s = L_msu(s, a[j], yy[i - j]);
        }
        yy[i] = RoundShl3(s);
        yMax = std::max(yMax, std::abs(int32_t{yy[i]}));
    }
}

#if defined(__SSE2__)
// Syn_filt's plain sums with the outputs two to nine samples back held in a
// vector register: their eight products are one multiply-add, computed while
// the previous output is still being made. Requires x[0..lg-1] and the memory
// to be at most `limit` in magnitude; stops early, returning the number of
// outputs made, after the first output above it.
int SynthesisVector(const int16_t a[11], const int16_t x[], int16_t yy[], int lg, int32_t limit) {
    const __m128i c29 = _mm_setr_epi16(a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9]);
    const int32_t c0 = a[0], c1 = a[1], c10 = a[10];
    // Lane k holds y[n - 2 - k].
    __m128i older = _mm_setr_epi16(yy[-2], yy[-3], yy[-4], yy[-5], yy[-6], yy[-7], yy[-8], yy[-9]);
    int32_t last = yy[-1];
    for (int i = 0; i < lg; i++) {
        __m128i p = _mm_madd_epi16(older, c29);
        p = _mm_add_epi32(p, _mm_shuffle_epi32(p, 0x4e));
        p = _mm_add_epi32(p, _mm_shuffle_epi32(p, 0xb1));
        const int32_t rest = _mm_cvtsi128_si32(p) + c10 * yy[i - 10];
        older = _mm_insert_epi16(_mm_slli_si128(older, 2), last, 0);
        const int16_t y = RoundShl3((x[i] * c0 - rest - c1 * last) * 2);
        yy[i] = y;
        last = y;
        if (static_cast<uint32_t>(y + limit) > static_cast<uint32_t>(2 * limit)) [[unlikely]] return i + 1;
    }
    return lg;
}
#endif

}  // namespace

void Syn_filt(const int16_t a[11], const int16_t x[], int16_t y[], int lg, int16_t mem[10], bool update) {
    int16_t tmp[100 + 10];
    std::copy(mem, mem + 10, tmp);
    int16_t* yy = tmp + 10;
    const int32_t limit = SampleLimit(SumMagnitude(a, 11));
    int done = 0;
#if defined(__SSE2__)
    if (std::max(MaxMagnitude(x, lg), MaxMagnitude(mem, 10)) <= limit) done = SynthesisVector(a, x, yy, lg, limit);
#endif
    SynthesisBySample(a, x, yy, done, lg, limit);
    std::copy(yy, yy + lg, y);
    if (update) std::copy(y + lg - 10, y + lg, mem);
}

void Residu(const int16_t a[11], const int16_t x[], int16_t y[], int lg) {
    if (!ChainCannotSaturate(SumMagnitude(a, 11), MaxMagnitude(x - 10, lg + 10))) [[unlikely]] {
        for (int i = 0; i < lg; i++) {
            int32_t s = L_mult(x[i], a[0]);
            for (int j = 1; j <= 10; j++) s = L_mac(s, a[j], x[i - j]);
            y[i] = RoundShl3(s);
        }
        return;
    }
    int i = 0;
#if defined(__SSE2__)
    // Eight outputs at a time. Taps j and j + 1 go together into one
    // multiply-add over the interleaved samples x[n - j] and x[n - j - 1]; xb
    // holds x[-10..lg-1] behind one zero, read by the unused twelfth tap.
    int16_t xb[1 + 10 + 100] = {};
    std::copy(x - 10, x + lg, xb + 1);
    const int16_t* xs = xb + 11;
    __m128i taps[6];
    for (int j = 0; j < 6; j++) {
        const int16_t second = 2 * j + 1 <= 10 ? a[2 * j + 1] : 0;
        taps[j] = _mm_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint16_t>(second)) << 16 |
                                                      static_cast<uint16_t>(a[2 * j])));
    }
    for (; i + 8 <= lg; i += 8) {
        __m128i lo = _mm_setzero_si128(), hi = _mm_setzero_si128();
        for (int j = 0; j < 6; j++) {
            const __m128i near = _mm_loadu_si128(reinterpret_cast<const __m128i*>(xs + i - 2 * j));
            const __m128i far = _mm_loadu_si128(reinterpret_cast<const __m128i*>(xs + i - 2 * j - 1));
            lo = _mm_add_epi32(lo, _mm_madd_epi16(_mm_unpacklo_epi16(near, far), taps[j]));
            hi = _mm_add_epi32(hi, _mm_madd_epi16(_mm_unpackhi_epi16(near, far), taps[j]));
        }
        // The sums are below 2^30 in magnitude here, so 2s is exact; L_shl by
        // 3 and the rounding cannot saturate while 2s stays inside the range
        // RoundShl3 accepts, which every lane is checked for first.
        lo = _mm_add_epi32(lo, lo);
        hi = _mm_add_epi32(hi, hi);
        const __m128i top = _mm_set1_epi32((MAX_32 - 0x8000) / 8 + 1);
        const __m128i bottom = _mm_set1_epi32(MIN_32 / 8 - 1);
        const __m128i aboveBottom = _mm_and_si128(_mm_cmpgt_epi32(lo, bottom), _mm_cmpgt_epi32(hi, bottom));
        const __m128i belowTop = _mm_and_si128(_mm_cmpgt_epi32(top, lo), _mm_cmpgt_epi32(top, hi));
        if (_mm_movemask_epi8(_mm_and_si128(aboveBottom, belowTop)) != 0xffff) [[unlikely]] {
            alignas(16) int32_t s[8];
            _mm_store_si128(reinterpret_cast<__m128i*>(s), lo);
            _mm_store_si128(reinterpret_cast<__m128i*>(s + 4), hi);
            for (int k = 0; k < 8; k++) y[i + k] = RoundShl3(s[k]);
            continue;
        }
        const __m128i round = _mm_set1_epi32(0x8000);
        lo = _mm_srai_epi32(_mm_add_epi32(_mm_slli_epi32(lo, 3), round), 16);
        hi = _mm_srai_epi32(_mm_add_epi32(_mm_slli_epi32(hi, 3), round), 16);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(y + i), _mm_packs_epi32(lo, hi));
    }
#endif
    // Plain sums, one output at a time.
    for (; i < lg; i++) {
        int32_t s = 0;
        for (int j = 0; j <= 10; j++) s += a[j] * x[i - j];
        y[i] = RoundShl3(2 * s);
    }
}

}  // namespace g729
