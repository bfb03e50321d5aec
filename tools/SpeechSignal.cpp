#include "tools/SpeechSignal.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// A small fixed generator (xorshift32): the sequence is part of the output,
// so it must not depend on the standard library's distributions.
class Random {
public:
    explicit Random(uint32_t seed) : state_(seed * 2654435761u + 0x9E3779B9u) {
        if (state_ == 0) state_ = 1;
    }
    uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    // Uniform in [lo, hi).
    double Between(double lo, double hi) { return lo + (hi - lo) * (Next() >> 8) / double(1u << 24); }

private:
    uint32_t state_;
};

constexpr double kRate = 8000.0;
constexpr int kHarmonics = 10;

double Resonance(double f, double centre, double width) {
    const double x = (f - centre) / width;
    return 1.0 / (1.0 + x * x);
}

}  // namespace

std::vector<int16_t> MakeSpeechLikeSignal(size_t sampleCount, uint32_t seed, int peak) {
    std::vector<int16_t> out(sampleCount, 0);
    Random random(seed);
    const double voice = random.Between(95.0, 230.0);  // the speaker's mean pitch
    double phase[kHarmonics] = {};
    size_t pos = static_cast<size_t>(random.Between(0.05, 0.3) * kRate);  // starts after a breath
    int syllablesInPhrase = 0;
    while (pos < sampleCount) {
        const size_t length = static_cast<size_t>(random.Between(0.12, 0.32) * kRate);
        const double f0Start = voice * random.Between(0.85, 1.2);
        const double f0End = voice * random.Between(0.8, 1.15);
        const double f1 = random.Between(350.0, 850.0);
        const double f2 = random.Between(1100.0, 2300.0);
        const double loudness = random.Between(0.45, 1.0);
        for (size_t n = 0; n < length && pos + n < sampleCount; ++n) {
            const double t = double(n) / double(length);
            const double f0 = f0Start + (f0End - f0Start) * t;
            const double envelope = std::pow(std::sin(std::numbers::pi * t), 2.0) * loudness;
            double sum = 0.0, weights = 0.0;
            for (int k = 0; k < kHarmonics; ++k) {
                const double f = f0 * (k + 1);
                const double w = f < 3800.0 ? Resonance(f, f1, 120.0) + 0.5 * Resonance(f, f2, 200.0) + 0.05 : 0.0;
                phase[k] += 2.0 * std::numbers::pi * f / kRate;
                if (phase[k] > 2.0 * std::numbers::pi) phase[k] -= 2.0 * std::numbers::pi;
                sum += w * std::sin(phase[k]);
                weights += w;
            }
            // Dividing by the weights keeps the harmonic sum within -1..1.
            const double noise = random.Between(-0.01, 0.01);
            const double value = (weights > 0.0 ? sum / weights : 0.0) * envelope + noise * envelope;
            out[pos + n] = static_cast<int16_t>(std::clamp(std::lround(value * peak), long(-peak), long(peak)));
        }
        pos += length;
        // A short gap between syllables, a longer pause after a phrase.
        if (++syllablesInPhrase >= 2 + static_cast<int>(random.Next() % 5)) {
            syllablesInPhrase = 0;
            pos += static_cast<size_t>(random.Between(0.3, 0.8) * kRate);
        } else {
            pos += static_cast<size_t>(random.Between(0.02, 0.1) * kRate);
        }
    }
    return out;
}
