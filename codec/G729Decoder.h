#pragma once
// G.729 Annex A speech decoder: one 10-byte frame in, 80 samples of 8 kHz
// 16-bit PCM out, bit-exact with the ITU-T fixed-point reference decoder fed
// the same parameters with no frame erased and the pitch parity check off.
//
// The object is the per-stream context; the inter-frame state it decodes with
// is the g729::DecoderState it is given, which a program shares between all
// its decoders (codec/DecoderState.h says what carries over between streams).
// Decoding allocates nothing.

#include <cstdint>

namespace g729 {
struct DecoderState;
}

class G729Decoder {
public:
    // Decodes with state, which must outlive the decoder.
    explicit G729Decoder(g729::DecoderState& state) : m_state(state) {}

    // Prepares this context and the state for a new stream; call it before
    // the first DecodeFrame of every stream. The state's kept items (lsp_old,
    // past_qua_en, mem_pre, past_gain) stay as the previous stream on the same
    // state left them, so the first frames of a stream can depend on what was
    // decoded before with it.
    void Init();

    // Decodes the 10 bytes at frame (bits read from byte 0 on, most significant
    // bit first; the parity bit is ignored) and writes 80 samples to pcm.
    // Every bit pattern is a valid frame. Returns 160, the bytes written.
    int DecodeFrame(const uint8_t* frame, int16_t* pcm);

private:
    static constexpr int kHistory = 10;  // unfiltered samples kept from the previous frame

    g729::DecoderState& m_state;

    // Elements 0..9: the previous frame's last unfiltered samples; 10..89: this frame.
    int16_t m_synthesis[kHistory + 80] = {};
    // Element 0: bad-frame indicator; 1..11: the frame parameters in frame order.
    int16_t m_parameters[12] = {};
    int16_t m_lpCoefficients[22] = {};  // two sets a0..a10, Q12, one per subframe
    int16_t m_pitchLags[2] = {};        // integer pitch lag of each subframe
    uint8_t m_frame[10] = {};           // copy of the frame being decoded
};
