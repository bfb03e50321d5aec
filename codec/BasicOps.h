#pragma once
// The saturating fixed-point operators the G.729 decoder computes with, on
// 16-bit and 32-bit two's-complement values. Every result must match the ITU-T
// basic operators bit for bit, including the Overflow flag where it is set.
//
// Overflow rules: add, sub and mult set the flag to 1 when they saturate and
// to 0 when they do not; shl, L_mult, L_add, L_sub, L_mac, L_msu, L_shl and
// round_fx set it to 1 when they saturate and otherwise leave it unchanged.
// The decoder reads it in one place only: it clears it right before the speech
// synthesis filter of a subframe and tests it right after. Elsewhere the
// decoder may take exact shortcuts (codec/FastSums.h) that skip the 16-bit
// operators' clearing of the flag; nothing can observe the difference.
//
// All operators are inline: they run in every inner loop of the decoder.

#include <cstdint>

namespace g729 {

// Saturation flag of the operators. Per thread, so that decoders with states
// of their own may run on different threads; nothing carries across frames in
// it, since the decoder clears it before the one place that reads it.
inline thread_local int16_t Overflow = 0;

constexpr int16_t MAX_16 = 32767;
constexpr int16_t MIN_16 = -32768;
constexpr int32_t MAX_32 = 0x7fffffff;
constexpr int32_t MIN_32 = -0x7fffffff - 1;

// v limited to the int16 range; Overflow = 1 if it had to be limited, else 0.
inline int16_t saturate(int32_t v) {
    const int32_t r = v > MAX_16 ? MAX_16 : (v < MIN_16 ? MIN_16 : v);
    Overflow = r != v;
    return static_cast<int16_t>(r);
}

// a + b, saturated.
inline int16_t add(int16_t a, int16_t b) { return saturate(int32_t{a} + b); }

// a - b, saturated.
inline int16_t sub(int16_t a, int16_t b) { return saturate(int32_t{a} - b); }

// |a|, with |-32768| = 32767. Flag untouched.
inline int16_t abs_s(int16_t a) {
    if (a == MIN_16) return MAX_16;
    return static_cast<int16_t>(a < 0 ? -a : a);
}

// -a, with -(-32768) = 32767. Flag untouched.
inline int16_t negate(int16_t a) { return a == MIN_16 ? MAX_16 : static_cast<int16_t>(-a); }

inline int16_t shr(int16_t a, int n);

// a << n saturated (Overflow = 1 on saturation); a negative n shifts right.
inline int16_t shl(int16_t a, int n) {
    if (n < 0) return shr(a, -n);
    if (a == 0) return 0;
    if (n > 15) {
        Overflow = 1;
        return a > 0 ? MAX_16 : MIN_16;
    }
    const int32_t r = int32_t{a} * (int32_t{1} << n);
    if (r != static_cast<int16_t>(r)) {
        Overflow = 1;
        return a > 0 ? MAX_16 : MIN_16;
    }
    return static_cast<int16_t>(r);
}

// a >> n rounding towards minus infinity (0 or -1 for n >= 15); a negative n
// shifts left as shl does.
inline int16_t shr(int16_t a, int n) {
    if (n < 0) return shl(a, -n);
    if (n >= 15) return a < 0 ? -1 : 0;
    return static_cast<int16_t>(a >> n);
}

// (a * b) >> 15, saturated: only -32768 * -32768 saturates.
inline int16_t mult(int16_t a, int16_t b) { return saturate((int32_t{a} * b) >> 15); }

// 2 * a * b; -32768 * -32768 gives MAX_32 and sets Overflow.
inline int32_t L_mult(int16_t a, int16_t b) {
    const int32_t p = int32_t{a} * b;
    if (p == 0x40000000) [[unlikely]] {
        Overflow = 1;
        return MAX_32;
    }
    return p * 2;
}

// a + b, saturated to the int32 range.
inline int32_t L_add(int32_t a, int32_t b) {
    int32_t r;
    if (__builtin_add_overflow(a, b, &r)) [[unlikely]] {
        Overflow = 1;
        return a < 0 ? MIN_32 : MAX_32;
    }
    return r;
}

// a - b, saturated to the int32 range.
inline int32_t L_sub(int32_t a, int32_t b) {
    int32_t r;
    if (__builtin_sub_overflow(a, b, &r)) [[unlikely]] {
        Overflow = 1;
        return a < 0 ? MIN_32 : MAX_32;
    }
    return r;
}

// s + 2ab with saturation after the product and after the sum; no wide accumulator.
inline int32_t L_mac(int32_t s, int16_t a, int16_t b) { return L_add(s, L_mult(a, b)); }

// s - 2ab with saturation after the product and after the difference.
inline int32_t L_msu(int32_t s, int16_t a, int16_t b) { return L_sub(s, L_mult(a, b)); }

// -a, with -MIN_32 = MAX_32. Flag untouched.
inline int32_t L_negate(int32_t a) { return a == MIN_32 ? MAX_32 : -a; }

inline int32_t L_shr(int32_t a, int n);

// a << n saturated (Overflow = 1 on saturation); a negative n shifts right.
inline int32_t L_shl(int32_t a, int n) {
    if (n <= 0) return L_shr(a, -n);
    if (a == 0) return 0;
    if (n > 31) {
        Overflow = 1;
        return a > 0 ? MAX_32 : MIN_32;
    }
    const int64_t r = int64_t{a} * (int64_t{1} << n);
    if (r > MAX_32 || r < MIN_32) [[unlikely]] {
        Overflow = 1;
        return a > 0 ? MAX_32 : MIN_32;
    }
    return static_cast<int32_t>(r);
}

// a >> n rounding towards minus infinity (0 or -1 for n >= 31); a negative n
// shifts left as L_shl does.
inline int32_t L_shr(int32_t a, int n) {
    if (n < 0) return L_shl(a, -n);
    if (n >= 31) return a < 0 ? -1 : 0;
    return a >> n;
}

// a >> n rounded to nearest, halves upwards; 0 for n > 31. Flag untouched.
inline int32_t L_shr_r(int32_t a, int n) {
    if (n > 31) return 0;
    int32_t r = L_shr(a, n);
    if (n > 0 && (static_cast<uint32_t>(a) & (uint32_t{1} << (n - 1))) != 0) r++;
    return r;
}

// High half of a.
inline int16_t extract_h(int32_t a) { return static_cast<int16_t>(a >> 16); }

// Low half of a (truncation).
inline int16_t extract_l(int32_t a) { return static_cast<int16_t>(a); }

// High half of L_add(a, 0x8000): the ITU-T operator "round", renamed to keep
// clear of the C library's round.
inline int16_t round_fx(int32_t a) { return extract_h(L_add(a, 0x8000)); }

// a in the high half, zeros in the low half.
inline int32_t L_deposit_h(int16_t a) { return int32_t{a} * 65536; }

// a sign-extended to 32 bits.
inline int32_t L_deposit_l(int16_t a) { return a; }

// Number of left shifts that normalise a (0 for 0, 15 for -1).
inline int16_t norm_s(int16_t a) {
    if (a == 0) return 0;
    if (a == -1) return 15;
    const uint32_t v = static_cast<uint32_t>(a < 0 ? ~a : a);
    return static_cast<int16_t>(__builtin_clz(v) - 17);
}

// Number of left shifts that normalise a (0 for 0, 31 for -1).
inline int16_t norm_l(int32_t a) {
    if (a == 0) return 0;
    if (a == -1) return 31;
    const uint32_t v = static_cast<uint32_t>(a < 0 ? ~a : a);
    return static_cast<int16_t>(__builtin_clz(v) - 1);
}

// num / den in Q15 by restoring division: 0 when num is 0, 32767 when
// num == den. Requires 0 <= num <= den and den > 0; otherwise it writes
// "Division Error var1=%d  var2=%d\n" (or "Division by 0, Fatal error \n" when
// den is 0) to standard output and ends the process with exit status 1: a
// broken contract is a failure, and says so to whoever started the process.
int16_t div_s(int16_t num, int16_t den);

}  // namespace g729
