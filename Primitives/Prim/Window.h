#pragma once
#include <Primitives/Prim/Status.h>

#include <cstdint>

// Symmetric windows applied in place: x[n] becomes x[n] * w[n], each window
// value serving both mirrored elements; an odd length's middle element stays.
namespace Prim {

Status WinBartlettF32_x87(float* srcDst, std::int32_t len);
Status WinBartlettF32_sse2(float* srcDst, std::int32_t len);
Status WinHannF32_x87(float* srcDst, std::int32_t len);
Status WinHannF32_sse2(float* srcDst, std::int32_t len);
Status WinHammingF32_x87(float* srcDst, std::int32_t len);
Status WinHammingF32_sse2(float* srcDst, std::int32_t len);
// alpha = -0.16 gives the classic Blackman window.
Status WinBlackmanF32_x87(float* srcDst, std::int32_t len, float alpha);
Status WinBlackmanF32_sse2(float* srcDst, std::int32_t len, float alpha);
// Kaiser with beta = alpha * (len - 1) / 2.
Status WinKaiserF32_x87(float* srcDst, std::int32_t len, float alpha);
Status WinKaiserF32_sse2(float* srcDst, std::int32_t len, float alpha);
Status WinKaiserF64_x87(double* srcDst, std::int32_t len, float alpha);
Status WinKaiserF64_sse2(double* srcDst, std::int32_t len, float alpha);

// Entry points through the start-up binding.
Status WinBartlettF32(float* srcDst, std::int32_t len);
Status WinHannF32(float* srcDst, std::int32_t len);
Status WinHammingF32(float* srcDst, std::int32_t len);
Status WinBlackmanF32(float* srcDst, std::int32_t len, float alpha);

}  // namespace Prim
