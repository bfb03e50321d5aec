#pragma once
// A deterministic speech-like test signal: syllables of a few harmonics with
// a gliding pitch and two formant-like peaks, each under a rise-and-fall
// envelope, separated by short gaps and longer pauses. The same arguments
// give the same samples on every run.

#include <cstddef>
#include <cstdint>
#include <vector>

// sampleCount samples at 8000 Hz; seed picks the syllables; peak bounds the
// magnitude of every sample.
std::vector<int16_t> MakeSpeechLikeSignal(size_t sampleCount, uint32_t seed, int peak = 12000);
