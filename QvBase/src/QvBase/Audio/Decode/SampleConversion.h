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

// `frames` stored frames of `channels` interleaved little-endian integers each, converted
// to floats straight into one buffer per channel in one pass: 16-bit samples scaled by
// 2^-15, 24-bit ones by 2^-23 and 32-bit ones by 2^-31, giving the values of the vector
// conversions and of Convert24ToFloat.
void Split16ToFloat(const uint8_t* source, size_t frames, uint32_t channels, float* const* destinations);
void Split24ToFloat(const uint8_t* source, size_t frames, uint32_t channels, float* const* destinations);
void Split32ToFloat(const uint8_t* source, size_t frames, uint32_t channels, float* const* destinations);
// The same for big-endian 24-bit samples.
void Split24BigEndianToFloat(const uint8_t* source, size_t frames, uint32_t channels, float* const* destinations);

}  // namespace Audio::Decode
