#pragma once
// A small IMA ADPCM encoder producing the recording device's block layout
// (see ImaAdpcm.h). The player itself only decodes; the encoder makes
// recordings for the sample folder, the tests and the benchmarks.

#include <cstdint>
#include <span>
#include <vector>

#include "playback/ImaAdpcm.h"

class ImaAdpcmEncoder {
public:
    // Encodes kImaBlockSamples samples from pcm into the kImaBlockBytes bytes
    // at block. The first sample is stored as it is and starts the predictor;
    // the step index carries over from the previous block (0 for the first),
    // as an encoder of a continuous stream does.
    void EncodeBlock(const int16_t* pcm, uint8_t* block);

private:
    int index_ = 0;
};

// Encodes pcm as a sequence of whole blocks; a last partial block is
// completed with silence (zero samples). Empty input gives no blocks.
std::vector<uint8_t> EncodeImaAdpcm(std::span<const int16_t> pcm);
