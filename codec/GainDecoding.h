#pragma once
// Decoding of the two gains of a subframe with the code gain's MA prediction.

#include <cstdint>

namespace g729 {

struct DecoderState;

// From the 7-bit gain index and the subframe's fixed-codebook vector code[40]:
// *gain_pit (Q14) and *gain_cod (Q1). Reads and updates s.past_qua_en.
void Dec_gain(DecoderState& s, int16_t index, const int16_t code[40], int16_t* gain_pit, int16_t* gain_cod);

}  // namespace g729
