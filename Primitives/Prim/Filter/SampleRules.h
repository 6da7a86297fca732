#pragma once
// Checks, counts and special cases shared by both builds of the sampling operations.
#include <Primitives/Prim/Status.h>

#include <cstddef>
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

// The four operations of both builds, checked in one order; factor 1 copies through the
// build's copy. A build brings K (its services, with Copy) and, for factors of 2 and more:
//   static void Up(const T* src, size_t n, T* dst, size_t factor, size_t phase)
//   static void Down(const T* src, int32_t srcLen, int32_t phase, size_t factor, size_t kept, T* dst)
template <class T, class K>
struct Steps {
    static Status Up(
        const T* src, std::int32_t srcLen, T* dst, std::int32_t* dstLen, std::int32_t factor, std::int32_t* phase) {
        if (const Status s = Check(src, srcLen, dst, dstLen, factor, phase); s != StatusOk) return s;
        const std::int64_t outLen = UpLength(srcLen, factor);
        if (outLen < 0) return StatusSizeError;
        *dstLen = static_cast<std::int32_t>(outLen);
        if (factor == 1) return K::Copy(src, dst, srcLen);
        K::Up(src, static_cast<std::size_t>(srcLen), dst, static_cast<std::size_t>(factor),
            static_cast<std::size_t>(*phase));
        return StatusOk;
    }

    static Status Down(
        const T* src, std::int32_t srcLen, T* dst, std::int32_t* dstLen, std::int32_t factor, std::int32_t* phase) {
        if (const Status s = Check(src, srcLen, dst, dstLen, factor, phase); s != StatusOk) return s;
        if (factor == 1) {
            *dstLen = srcLen;
            return K::Copy(src, dst, srcLen);
        }
        const std::int32_t kept = KeptCount(srcLen, factor, *phase);
        K::Down(src, srcLen, *phase, static_cast<std::size_t>(factor), static_cast<std::size_t>(kept), dst);
        *dstLen = kept;
        *phase = NextPhase(srcLen, factor, *phase, kept);
        return StatusOk;
    }
};

}  // namespace Prim::SampleRules
