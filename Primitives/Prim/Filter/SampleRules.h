#pragma once
// Checks and counts shared by both builds of the sampling operations.
#include <Primitives/Prim/Status.h>

#include <cstdint>

namespace Prim::SampleRules {

template <class T>
Status Check(const T* src, std::int32_t srcLen, const T* dst, const std::int32_t* dstLen, std::int32_t factor,
    const std::int32_t* phase) {
    if (src == nullptr || dst == nullptr || dstLen == nullptr || phase == nullptr) return StatusNullPointer;
    if (srcLen < 1) return StatusSizeError;
    if (factor < 1) return StatusSampleFactorError;
    if (*phase < 0 || *phase >= factor) return StatusSamplePhaseError;
    return StatusOk;
}

// The up-sampled length, or -1 when it does not fit a 32-bit count.
inline std::int64_t UpLength(std::int32_t srcLen, std::int32_t factor) {
    const std::int64_t n = std::int64_t{srcLen} * factor;
    return n > INT32_MAX ? -1 : n;
}

// How many samples a block keeps from `phase` on.
inline std::int32_t KeptCount(std::int32_t srcLen, std::int32_t factor, std::int32_t phase) {
    if (phase >= srcLen) return 0;
    return static_cast<std::int32_t>((std::int64_t{srcLen} - phase + factor - 1) / factor);
}

inline std::int32_t NextPhase(std::int32_t srcLen, std::int32_t factor, std::int32_t phase, std::int32_t kept) {
    return static_cast<std::int32_t>(phase + std::int64_t{factor} * kept - srcLen);
}

}  // namespace Prim::SampleRules
