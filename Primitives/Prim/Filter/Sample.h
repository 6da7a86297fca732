#pragma once
#include <Primitives/Prim/Status.h>

#include <cstdint>

// Up-sampling by zero insertion and down-sampling by keeping every factor-th sample, with a
// phase held by the caller so that a signal cut into blocks is resampled as in one piece.
// Checks, in order: a null pointer -8, srcLen below 1 -6, factor below 1 -31, *phase outside
// 0..factor-1 -30; up-sampling also refuses (-6) an output of more than 2^31 - 1 samples.
// A failed check writes nothing.
namespace Prim {

// *dstLen = factor * srcLen; dst[k * factor + *phase] = src[k], every other element 0.
Status UpSampleF32_x87(
    const float* src, std::int32_t srcLen, float* dst, std::int32_t* dstLen, std::int32_t factor, std::int32_t* phase);
Status UpSampleF32_sse2(
    const float* src, std::int32_t srcLen, float* dst, std::int32_t* dstLen, std::int32_t factor, std::int32_t* phase);
Status UpSampleF64_x87(const double* src, std::int32_t srcLen, double* dst, std::int32_t* dstLen, std::int32_t factor,
    std::int32_t* phase);
Status UpSampleF64_sse2(const double* src, std::int32_t srcLen, double* dst, std::int32_t* dstLen, std::int32_t factor,
    std::int32_t* phase);

// Keeps src[*phase], src[*phase + factor], ...; *dstLen = the number kept and *phase = the
// position of the next sample to keep, counted from the start of the next block.
Status DownSampleF32_x87(
    const float* src, std::int32_t srcLen, float* dst, std::int32_t* dstLen, std::int32_t factor, std::int32_t* phase);
Status DownSampleF32_sse2(
    const float* src, std::int32_t srcLen, float* dst, std::int32_t* dstLen, std::int32_t factor, std::int32_t* phase);
Status DownSampleF64_x87(const double* src, std::int32_t srcLen, double* dst, std::int32_t* dstLen, std::int32_t factor,
    std::int32_t* phase);
Status DownSampleF64_sse2(const double* src, std::int32_t srcLen, double* dst, std::int32_t* dstLen,
    std::int32_t factor, std::int32_t* phase);

}  // namespace Prim
