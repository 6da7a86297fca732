#pragma once
#include <Primitives/Prim/Status.h>

#include <cstdint>

// Copy, overlap-safe move, fill and clear of 8-, 16-, 32- and 64-bit vectors.
// Every operation checks its pointers (-8) and then len (-6) before writing.
// The two builds write the same bytes, with one exception: the x87 SetF64
// quietens a signalling NaN, as an x87 load and store would.

namespace Prim {

#define PRIM_COPY_BUILDS(suffix)                                                          \
    Status CopyU8##suffix(const std::uint8_t* src, std::uint8_t* dst, std::int32_t len);  \
    Status CopyS16##suffix(const std::int16_t* src, std::int16_t* dst, std::int32_t len); \
    Status CopyF32##suffix(const float* src, float* dst, std::int32_t len);               \
    Status CopyF64##suffix(const double* src, double* dst, std::int32_t len);             \
    Status MoveU8##suffix(const std::uint8_t* src, std::uint8_t* dst, std::int32_t len);  \
    Status MoveS16##suffix(const std::int16_t* src, std::int16_t* dst, std::int32_t len); \
    Status MoveF32##suffix(const float* src, float* dst, std::int32_t len);               \
    Status MoveF64##suffix(const double* src, double* dst, std::int32_t len);             \
    Status SetU8##suffix(std::uint8_t value, std::uint8_t* dst, std::int32_t len);        \
    Status SetS16##suffix(std::int16_t value, std::int16_t* dst, std::int32_t len);       \
    Status SetS32##suffix(std::int32_t value, std::int32_t* dst, std::int32_t len);       \
    Status SetF32##suffix(float value, float* dst, std::int32_t len);                     \
    Status SetF64##suffix(double value, double* dst, std::int32_t len);                   \
    Status ZeroU8##suffix(std::uint8_t* dst, std::int32_t len);                           \
    Status ZeroS16##suffix(std::int16_t* dst, std::int32_t len);                          \
    Status ZeroF32##suffix(float* dst, std::int32_t len);                                 \
    Status ZeroF64##suffix(double* dst, std::int32_t len);

PRIM_COPY_BUILDS(_x87)
PRIM_COPY_BUILDS(_sse2)
#undef PRIM_COPY_BUILDS

// Entry points: the build bound at start-up.
Status CopyU8(const std::uint8_t* src, std::uint8_t* dst, std::int32_t len);
Status CopyF32(const float* src, float* dst, std::int32_t len);
Status CopyF64(const double* src, double* dst, std::int32_t len);
Status MoveU8(const std::uint8_t* src, std::uint8_t* dst, std::int32_t len);
Status MoveF32(const float* src, float* dst, std::int32_t len);
Status MoveF64(const double* src, double* dst, std::int32_t len);
Status SetU8(std::uint8_t value, std::uint8_t* dst, std::int32_t len);
Status SetS32(std::int32_t value, std::int32_t* dst, std::int32_t len);
Status SetF32(float value, float* dst, std::int32_t len);
Status SetF64(double value, double* dst, std::int32_t len);
Status ZeroU8(std::uint8_t* dst, std::int32_t len);
Status ZeroF32(float* dst, std::int32_t len);
Status ZeroF64(double* dst, std::int32_t len);

}  // namespace Prim
