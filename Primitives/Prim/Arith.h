#pragma once
#include <Primitives/Prim/Status.h>

#include <cstdint>

// Element-wise arithmetic on real float vectors, in both builds. The x87 builds
// compute every element in double precision, the SSE2 builds in the element
// type; both round each result to the element type, so they agree bit for bit
// except for AddProductF32, whose x87 build rounds only once.
// A constant equal to 0 (adding, subtracting) or 1 (multiplying) skips the
// arithmetic, as does a NaN constant; multiplying by 0 clears to +0.0.
namespace Prim {

// Addition
Status AddConstInPlaceF32_x87(float value, float* srcDst, std::int32_t len);
Status AddConstInPlaceF32_sse2(float value, float* srcDst, std::int32_t len);
Status AddConstInPlaceF64_x87(double value, double* srcDst, std::int32_t len);
Status AddConstInPlaceF64_sse2(double value, double* srcDst, std::int32_t len);
Status AddInPlaceF32_x87(const float* src, float* srcDst, std::int32_t len);
Status AddInPlaceF32_sse2(const float* src, float* srcDst, std::int32_t len);
Status AddInPlaceF64_x87(const double* src, double* srcDst, std::int32_t len);
Status AddInPlaceF64_sse2(const double* src, double* srcDst, std::int32_t len);
Status AddConstF32_x87(const float* src, float value, float* dst, std::int32_t len);
Status AddConstF32_sse2(const float* src, float value, float* dst, std::int32_t len);
Status AddF32_x87(const float* src1, const float* src2, float* dst, std::int32_t len);
Status AddF32_sse2(const float* src1, const float* src2, float* dst, std::int32_t len);
Status AddF64_x87(const double* src1, const double* src2, double* dst, std::int32_t len);
Status AddF64_sse2(const double* src1, const double* src2, double* dst, std::int32_t len);
Status AddProductF32_x87(const float* src1, const float* src2, float* srcDst, std::int32_t len);
Status AddProductF32_sse2(const float* src1, const float* src2, float* srcDst, std::int32_t len);

// Subtraction
Status SubConstInPlaceF32_x87(float value, float* srcDst, std::int32_t len);
Status SubConstInPlaceF32_sse2(float value, float* srcDst, std::int32_t len);
Status SubConstInPlaceF64_x87(double value, double* srcDst, std::int32_t len);
Status SubConstInPlaceF64_sse2(double value, double* srcDst, std::int32_t len);
Status SubConstRevInPlaceF32_x87(float value, float* srcDst, std::int32_t len);
Status SubConstRevInPlaceF32_sse2(float value, float* srcDst, std::int32_t len);
Status SubConstRevInPlaceF64_x87(double value, double* srcDst, std::int32_t len);
Status SubConstRevInPlaceF64_sse2(double value, double* srcDst, std::int32_t len);
Status SubInPlaceF32_x87(const float* src, float* srcDst, std::int32_t len);
Status SubInPlaceF32_sse2(const float* src, float* srcDst, std::int32_t len);
Status SubInPlaceF64_x87(const double* src, double* srcDst, std::int32_t len);
Status SubInPlaceF64_sse2(const double* src, double* srcDst, std::int32_t len);

// Multiplication
Status MulConstInPlaceF32_x87(float value, float* srcDst, std::int32_t len);
Status MulConstInPlaceF32_sse2(float value, float* srcDst, std::int32_t len);
Status MulConstInPlaceF64_x87(double value, double* srcDst, std::int32_t len);
Status MulConstInPlaceF64_sse2(double value, double* srcDst, std::int32_t len);
Status MulConstF32_x87(const float* src, float value, float* dst, std::int32_t len);
Status MulConstF32_sse2(const float* src, float value, float* dst, std::int32_t len);
Status MulConstF64_x87(const double* src, double value, double* dst, std::int32_t len);
Status MulConstF64_sse2(const double* src, double value, double* dst, std::int32_t len);
Status MulInPlaceF32_x87(const float* src, float* srcDst, std::int32_t len);
Status MulInPlaceF32_sse2(const float* src, float* srcDst, std::int32_t len);
Status MulInPlaceF64_x87(const double* src, double* srcDst, std::int32_t len);
Status MulInPlaceF64_sse2(const double* src, double* srcDst, std::int32_t len);
Status MulF32_x87(const float* src1, const float* src2, float* dst, std::int32_t len);
Status MulF32_sse2(const float* src1, const float* src2, float* dst, std::int32_t len);

// Entry points through the start-up binding (the operations the program calls).
Status AddInPlaceF32(const float* src, float* srcDst, std::int32_t len);
Status AddInPlaceF64(const double* src, double* srcDst, std::int32_t len);
Status MulConstInPlaceF32(float value, float* srcDst, std::int32_t len);
Status MulConstInPlaceF64(double value, double* srcDst, std::int32_t len);
Status MulInPlaceF64(const double* src, double* srcDst, std::int32_t len);

}  // namespace Prim
