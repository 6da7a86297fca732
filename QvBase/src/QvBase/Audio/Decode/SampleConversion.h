#pragma once

#include <cstddef>
#include <cstdint>

namespace Audio::Decode {

// 2^-23 as a float: maps 24-bit samples onto [-1, 1).
inline constexpr float kScale24 = 1.0f / 8388608.0f;

// The little-endian two's-complement integer of `width` bytes at `sample`, times `factor`.
double IntegerToReal(const uint8_t* sample, unsigned width, float factor);

// An 80-bit extended number given as five 16-bit words in host order, most significant first.
double ExtendedToReal(const uint16_t words[5]);

// Little-endian 24-bit samples to floats or doubles scaled by 2^-23; the same values as
// IntegerToReal with width 3 gives, computed without the byte loop.
void Convert24ToFloat(const uint8_t* source, size_t samples, float* destination);
void Convert24ToDouble(const uint8_t* source, size_t samples, double* destination);

// The same for big-endian 24-bit samples, to floats.
void Convert24BigEndianToFloat(const uint8_t* source, size_t samples, float* destination);

}  // namespace Audio::Decode
