#pragma once
// G.729 Annex A speech decoder: one 10-byte frame in, 80 samples of 8 kHz
// 16-bit PCM out, bit-exact with the ITU-T fixed-point reference decoder fed
// the same parameters with no frame erased and the pitch parity check off.
//
// The object is the per-stream context; the inter-frame state behind it is one
// instance for the whole process (codec/DecoderState.h), shared by every
// G729Decoder. So one stream decodes at a time: no two Init or DecodeFrame
// calls may run concurrently, and streams may not be interleaved frame by
// frame. Decoding allocates nothing.

#include <cstdint>

class G729Decoder {
public:
    // Prepares this context and the process-wide state for a new stream; call
    // it before the first DecodeFrame of every stream. lsp_old, past_qua_en,
    // mem_pre and past_gain keep the values the previous stream left (their
    // start values in a fresh process), so the first frames of a stream can
    // depend on what was decoded before in the same process.
    void Init();

    // Decodes the 10 bytes at frame (bits read from byte 0 on, most significant
    // bit first; the parity bit is ignored) and writes 80 samples to pcm.
    // Every bit pattern is a valid frame. Returns 160, the bytes written.
    int DecodeFrame(const uint8_t* frame, int16_t* pcm);

private:
    static constexpr int kHistory = 10;  // unfiltered samples kept from the previous frame

    // Elements 0..9: the previous frame's last unfiltered samples; 10..89: this frame.
    int16_t m_synthesis[kHistory + 80] = {};
    // Element 0: bad-frame indicator; 1..11: the frame parameters in frame order.
    int16_t m_parameters[12] = {};
    int16_t m_lpCoefficients[22] = {};  // two sets a0..a10, Q12, one per subframe
    int16_t m_pitchLags[2] = {};        // integer pitch lag of each subframe
    uint8_t m_frame[10] = {};           // copy of the frame being decoded
};
