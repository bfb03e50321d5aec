// The decoder's filters take plain-arithmetic shortcuts where saturation is
// impossible. Here each is compared, output and Overflow flag, with the chain
// of basic operators it stands for, written out literally, on signals and
// coefficients from quiet to full scale and beyond what speech produces.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

#include "codec/BasicOps.h"
#include "codec/DecoderState.h"
#include "codec/DoublePrecision.h"
#include "codec/ExcitationDecoding.h"
#include "codec/FastSums.h"
#include "codec/LpFilters.h"
#include "codec/OutputFilter.h"
#include "codec/Tables.h"

using namespace g729;

namespace {

// ---- the operator chains ----

void ChainSynFilt(const int16_t a[11], const int16_t x[], int16_t y[], int lg, int16_t mem[10], bool update) {
    int16_t tmp[110];
    std::copy(mem, mem + 10, tmp);
    for (int i = 0; i < lg; i++) {
        int32_t s = L_mult(x[i], a[0]);
        for (int j = 1; j <= 10; j++) s = L_msu(s, a[j], tmp[10 + i - j]);
        s = L_shl(s, 3);
        tmp[10 + i] = round_fx(s);
    }
    std::copy(tmp + 10, tmp + 10 + lg, y);
    if (update) std::copy(y + lg - 10, y + lg, mem);
}

void ChainResidu(const int16_t a[11], const int16_t x[], int16_t y[], int lg) {
    for (int i = 0; i < lg; i++) {
        int32_t s = L_mult(x[i], a[0]);
        for (int j = 1; j <= 10; j++) s = L_mac(s, a[j], x[i - j]);
        s = L_shl(s, 3);
        y[i] = round_fx(s);
    }
}

void ChainPredLt3(int16_t exc[], int16_t T0, int16_t frac, int L_subfr) {
    const int16_t* x0 = &exc[-T0];
    frac = negate(frac);
    if (frac < 0) {
        frac = add(frac, 3);
        x0--;
    }
    for (int j = 0; j < L_subfr; j++) {
        const int16_t* x1 = x0++;
        const int16_t* x2 = x0;
        const int16_t* c1 = &inter_3l[frac];
        const int16_t* c2 = &inter_3l[sub(3, frac)];
        int32_t s = 0;
        for (int i = 0, k = 0; i < 10; i++, k += 3) {
            s = L_mac(s, x1[-i], c1[k]);
            s = L_mac(s, x2[i], c2[k]);
        }
        exc[j] = round_fx(s);
    }
}

struct FilterMemory {
    int16_t x0, x1, y1_hi, y1_lo, y2_hi, y2_lo;
};

void ChainPostProcess(int16_t signal[], int lg, FilterMemory& m) {
    for (int i = 0; i < lg; i++) {
        const int16_t x2 = m.x1;
        m.x1 = m.x0;
        m.x0 = signal[i];
        int32_t L = Mpy_32_16(m.y1_hi, m.y1_lo, a100[1]);
        L = L_add(L, Mpy_32_16(m.y2_hi, m.y2_lo, a100[2]));
        L = L_mac(L, m.x0, b100[0]);
        L = L_mac(L, m.x1, b100[1]);
        L = L_mac(L, x2, b100[2]);
        L = L_shl(L, 2);
        signal[i] = round_fx(L_shl(L, 1));
        m.y2_hi = m.y1_hi;
        m.y2_lo = m.y1_lo;
        L_Extract(L, &m.y1_hi, &m.y1_lo);
    }
}

// ---- inputs ----

class Signals {
public:
    explicit Signals(unsigned seed) : m_random(seed) {}

    // A sample of a signal of the given peak; peak 0 means "extremes": mostly
    // full-scale values and -32768.
    int16_t Sample(int peak) {
        if (peak == 0) {
            static constexpr int16_t kExtremes[] = {-32768, -32767, 32767, 0, -1, 16384};
            return kExtremes[m_random() % 6];
        }
        return static_cast<int16_t>(std::uniform_int_distribution<int>(-peak, std::min(peak, 32767))(m_random));
    }
    void Fill(int16_t* x, int n, int peak) {
        for (int i = 0; i < n; i++) x[i] = Sample(peak);
    }
    // LP coefficients: a0 = 4096 as in the decoder, the rest up to peak.
    void Coefficients(int16_t a[11], int peak) {
        a[0] = 4096;
        Fill(a + 1, 10, peak);
    }
    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_random); }

private:
    std::mt19937 m_random;
};

const int kPeaks[] = {100, 3000, 12000, 32768, 0};
constexpr int kTrials = 300;

std::string Where(const char* what, int peak, int coefPeak, int trial) {
    return std::string(what) + ": signal peak " + std::to_string(peak) + ", coefficient peak " +
           std::to_string(coefPeak) + ", trial " + std::to_string(trial);
}

TEST(FastPaths, SynthesisFilterMatchesTheOperatorChain) {
    Signals gen(1);
    for (int peak : kPeaks) {
        for (int coefPeak : {300, 2000, 8000, 32768, 0}) {
            for (int t = 0; t < kTrials; t++) {
                int16_t a[11], x[40], mem[10];
                gen.Coefficients(a, coefPeak);
                gen.Fill(x, 40, peak);
                gen.Fill(mem, 10, peak);
                const int lg = t % 2 ? 40 : 22;
                const bool update = t % 3 != 0;
                int16_t memA[10], memB[10], yA[40], yB[40];
                std::copy(mem, mem + 10, memA);
                std::copy(mem, mem + 10, memB);
                Overflow = 0;
                Syn_filt(a, x, yA, lg, memA, update);
                const int16_t flagA = Overflow;
                Overflow = 0;
                ChainSynFilt(a, x, yB, lg, memB, update);
                const int16_t flagB = Overflow;
                ASSERT_TRUE(std::equal(yA, yA + lg, yB)) << Where("output", peak, coefPeak, t);
                ASSERT_TRUE(std::equal(memA, memA + 10, memB)) << Where("memory", peak, coefPeak, t);
                ASSERT_EQ(flagA, flagB) << Where("Overflow", peak, coefPeak, t);
            }
        }
    }
}

TEST(FastPaths, SynthesisFilterInPlaceWithMemoryInsideTheInput) {
    // The post-filter's impulse response: h filtered in place, memory = h[11..20].
    Signals gen(2);
    for (int coefPeak : {2000, 8000, 32768}) {
        for (int t = 0; t < kTrials; t++) {
            int16_t a[11], h[22] = {}, expected[22];
            gen.Coefficients(a, coefPeak);
            gen.Fill(h, 11, coefPeak);
            int16_t copy[22];
            std::copy(h, h + 22, copy);
            ChainSynFilt(a, copy, expected, 22, &copy[11], false);
            Syn_filt(a, h, h, 22, &h[11], false);
            ASSERT_TRUE(std::equal(h, h + 22, expected)) << Where("impulse response", 0, coefPeak, t);
        }
    }
}

TEST(FastPaths, ResidualFilterMatchesTheOperatorChain) {
    Signals gen(3);
    for (int peak : kPeaks) {
        for (int coefPeak : {300, 2000, 8000, 32768, 0}) {
            for (int t = 0; t < kTrials; t++) {
                int16_t a[11], x[50], yA[40], yB[40];
                gen.Coefficients(a, coefPeak);
                gen.Fill(x, 50, peak);
                Overflow = 0;
                Residu(a, x + 10, yA, 40);
                const int16_t flagA = Overflow;
                Overflow = 0;
                ChainResidu(a, x + 10, yB, 40);
                ASSERT_TRUE(std::equal(yA, yA + 40, yB)) << Where("output", peak, coefPeak, t);
                ASSERT_EQ(flagA, Overflow) << Where("Overflow", peak, coefPeak, t);
            }
        }
    }
}

TEST(FastPaths, AdaptiveCodebookMatchesTheOperatorChain) {
    Signals gen(4);
    for (int peak : kPeaks) {
        for (int t = 0; t < kTrials; t++) {
            int16_t bufA[154 + 40], bufB[154 + 40];
            gen.Fill(bufA, 154 + 40, peak);
            std::copy(bufA, bufA + 194, bufB);
            const int16_t T0 = static_cast<int16_t>(gen.Pick(19, 143));
            const int16_t frac = static_cast<int16_t>(gen.Pick(-1, 1));
            // The Overflow flag is not compared: nothing reads it between
            // here and the synthesis filter, which clears it first.
            Pred_lt_3(bufA + 154, T0, frac, 40);
            ChainPredLt3(bufB + 154, T0, frac, 40);
            ASSERT_TRUE(std::equal(bufA, bufA + 194, bufB))
                << "peak " << peak << ", lag " << T0 << ", frac " << frac << ", trial " << t;
        }
    }
}

TEST(FastPaths, MagnitudeBoundIsTheLargestMagnitude) {
    // Every length around the eight-lane steps, the extreme anywhere.
    Signals gen(7);
    for (int peak : kPeaks) {
        for (int n = 0; n <= 50; n++) {
            int16_t x[50];
            gen.Fill(x, n, peak);
            int32_t expected = 0;
            for (int i = 0; i < n; i++) expected = std::max(expected, std::abs(int32_t{x[i]}));
            ASSERT_EQ(MaxMagnitude(x, n), expected) << "peak " << peak << ", length " << n;
        }
    }
    for (int at = 0; at < 20; at++) {
        int16_t x[20] = {};
        x[at] = -32768;
        ASSERT_EQ(MaxMagnitude(x, 20), 32768) << at;
        x[at] = 32767;
        ASSERT_EQ(MaxMagnitude(x, 20), 32767) << at;
    }
}

TEST(FastPaths, EnergyMatchesTheOperatorChain) {
    Signals gen(6);
    for (int peak : kPeaks) {
        for (int32_t start : {0, 1, 0x40000000}) {
            for (int t = 0; t < kTrials; t++) {
                int16_t x[40];
                gen.Fill(x, 40, peak);
                Overflow = 0;
                const int32_t fast = L_mac_energy(start, x, 40);
                const int16_t flag = Overflow;
                Overflow = 0;
                int32_t chain = start;
                for (int16_t v : x) chain = L_mac(chain, v, v);
                ASSERT_EQ(fast, chain) << "peak " << peak << ", start " << start << ", trial " << t;
                ASSERT_EQ(flag, Overflow) << "peak " << peak << ", start " << start << ", trial " << t;
            }
        }
    }
}

TEST(FastPaths, OutputFilterMatchesTheOperatorChain) {
    Signals gen(5);
    DecoderState s;
    for (int peak : kPeaks) {
        for (int t = 0; t < kTrials; t++) {
            FilterMemory m{gen.Sample(peak), gen.Sample(peak), gen.Sample(peak),
                           static_cast<int16_t>(gen.Pick(0, 32767)), gen.Sample(peak),
                           static_cast<int16_t>(gen.Pick(0, 32767))};
            s.x0 = m.x0, s.x1 = m.x1, s.y1_hi = m.y1_hi, s.y1_lo = m.y1_lo, s.y2_hi = m.y2_hi, s.y2_lo = m.y2_lo;
            int16_t sigA[80], sigB[80];
            gen.Fill(sigA, 80, peak);
            std::copy(sigA, sigA + 80, sigB);
            Post_Process(s, sigA, 80);
            ChainPostProcess(sigB, 80, m);
            ASSERT_TRUE(std::equal(sigA, sigA + 80, sigB)) << "peak " << peak << ", trial " << t;
            ASSERT_TRUE(s.x0 == m.x0 && s.x1 == m.x1 && s.y1_hi == m.y1_hi && s.y1_lo == m.y1_lo &&
                        s.y2_hi == m.y2_hi && s.y2_lo == m.y2_lo)
                << "filter memory, peak " << peak << ", trial " << t;
        }
    }
}

}  // namespace
