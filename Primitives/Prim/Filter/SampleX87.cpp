// Portable builds of the sampling operations: one element at a time.
#include <Primitives/Prim/Copy.h>
#include <Primitives/Prim/Filter/Sample.h>
#include <Primitives/Prim/Filter/SampleRules.h>

#include <cstddef>

namespace Prim {
namespace {

template <class T, Status (*Copy)(const T*, T*, std::int32_t)>
Status UpSample(
    const T* src, std::int32_t srcLen, T* dst, std::int32_t* dstLen, std::int32_t factor, std::int32_t* phase) {
    if (const Status s = SampleRules::Check(src, srcLen, dst, dstLen, factor, phase); s != StatusOk) return s;
    const std::int64_t outLen = SampleRules::UpLength(srcLen, factor);
    if (outLen < 0) return StatusSizeError;
    *dstLen = static_cast<std::int32_t>(outLen);
    if (factor == 1) return Copy(src, dst, srcLen);
    const std::size_t f = static_cast<std::size_t>(factor);
    const std::size_t p = static_cast<std::size_t>(*phase);
    for (std::size_t k = 0; k < static_cast<std::size_t>(srcLen); ++k) {
        T* group = dst + k * f;
        for (std::size_t j = 0; j < f; ++j) group[j] = j == p ? src[k] : T(0);
    }
    return StatusOk;
}

template <class T, Status (*Copy)(const T*, T*, std::int32_t)>
Status DownSample(
    const T* src, std::int32_t srcLen, T* dst, std::int32_t* dstLen, std::int32_t factor, std::int32_t* phase) {
    if (const Status s = SampleRules::Check(src, srcLen, dst, dstLen, factor, phase); s != StatusOk) return s;
    if (factor == 1) {
        *dstLen = srcLen;
        return Copy(src, dst, srcLen);
    }
    const std::int32_t kept = SampleRules::KeptCount(srcLen, factor, *phase);
    const std::size_t f = static_cast<std::size_t>(factor);
    const T* from = src + *phase;
    for (std::int32_t k = 0; k < kept; ++k) dst[k] = from[static_cast<std::size_t>(k) * f];
    *dstLen = kept;
    *phase = SampleRules::NextPhase(srcLen, factor, *phase, kept);
    return StatusOk;
}

}  // namespace

Status UpSampleF32_x87(
    const float* src, std::int32_t srcLen, float* dst, std::int32_t* dstLen, std::int32_t factor, std::int32_t* phase) {
    return UpSample<float, CopyF32_x87>(src, srcLen, dst, dstLen, factor, phase);
}
Status UpSampleF64_x87(const double* src, std::int32_t srcLen, double* dst, std::int32_t* dstLen, std::int32_t factor,
    std::int32_t* phase) {
    return UpSample<double, CopyF64_x87>(src, srcLen, dst, dstLen, factor, phase);
}
Status DownSampleF32_x87(
    const float* src, std::int32_t srcLen, float* dst, std::int32_t* dstLen, std::int32_t factor, std::int32_t* phase) {
    return DownSample<float, CopyF32_x87>(src, srcLen, dst, dstLen, factor, phase);
}
Status DownSampleF64_x87(const double* src, std::int32_t srcLen, double* dst, std::int32_t* dstLen, std::int32_t factor,
    std::int32_t* phase) {
    return DownSample<double, CopyF64_x87>(src, srcLen, dst, dstLen, factor, phase);
}

}  // namespace Prim
