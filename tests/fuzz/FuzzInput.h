#pragma once
// The fuzz input taken a piece at a time, and little-endian fields within
// it.

#include <cstddef>
#include <cstdint>

// The unsigned 32-bit little-endian field at p.
inline uint32_t U32At(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24); }

// Zeros once the input runs out.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool More() const { return at_ < size_; }
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    uint16_t U16() { return static_cast<uint16_t>(Byte() | (Byte() << 8)); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};
