#include "codec/G729Decoder.h"

#include <algorithm>
#include <cstring>

#include "codec/DecoderState.h"
#include "codec/FrameUnpack.h"
#include "codec/OutputFilter.h"
#include "codec/PostFilter.h"
#include "codec/Synthesis.h"

void G729Decoder::Init() {
    std::fill(m_synthesis, m_synthesis + kHistory, int16_t{0});
    g729::ResetDecoderState(m_state);
}

int G729Decoder::DecodeFrame(const uint8_t* frame, int16_t* pcm) {
    std::memcpy(m_frame, frame, sizeof m_frame);
    g729::UnpackFrame(m_frame, m_parameters);
    m_parameters[0] = 0;  // no frame is ever treated as erased
    m_parameters[4] = 0;  // the received parity bit is not checked

    int16_t* speech = m_synthesis + kHistory;
    g729::Decod_ld8a(m_state, m_parameters, speech, m_lpCoefficients, m_pitchLags);
    g729::Post_Filter(m_state, speech, m_lpCoefficients, m_pitchLags);
    g729::Post_Process(m_state, speech, 80);
    std::memcpy(pcm, speech, 80 * sizeof(int16_t));
    return 160;
}
