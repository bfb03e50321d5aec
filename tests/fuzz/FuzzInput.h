#pragma once
// The fuzz input taken a piece at a time; zeros once it runs out.

#include <cstddef>
#include <cstdint>

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
