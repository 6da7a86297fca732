// Single-rate FIR set-up: one block with the reversed taps, the delay-line area used as a
// doubled ring, the lane-repeated taps of the SSE2 builds and, for long filters, the taps'
// spectrum and the overlap-save buffers.
#include <Primitives/Prim/Filter/FirBlockPlan.h>
#include <Primitives/Prim/Filter/FirBuild.h>
#include <Primitives/Prim/Filter/FirSetup.h>

#include <bit>

namespace Prim {
namespace {

template <class B>
Status StateInit(FirState<typename B::Value>** state, const typename B::Value* taps, int32_t tapsLen,
    const typename B::Value* dlyLine) {
    using T = typename B::Value;
    const int64_t n = tapsLen;
    FftSpecReal<T>* spec = nullptr;
    int32_t fftLen = 0;
    int32_t workSize = 0;
    if (n >= B::fftThreshold) {
        const int32_t order = std::bit_width(static_cast<uint32_t>(n)) + 1;
        const Status created = B::FftInit(&spec, order, FftFlagInverse, 0);
        if (created != StatusOk) return created;
        const Status sized = B::FftBufSize(spec, &workSize);
        if (sized != StatusOk) {
            B::FftFree(spec);
            return sized;
        }
        fftLen = int32_t{1} << order;
    }

    FirBlockPlan plan;
    plan.Add(sizeof(FirState<T>));
    const int64_t tapsAt = plan.Add(n * sizeof(T));
    const int64_t dlyAt = plan.Add((3 * n + 4) * sizeof(T) + 16);
    const int64_t lanesAt = plan.Add(B::lanes * n * sizeof(T));
    const int64_t spectrumAt = plan.Add(int64_t{fftLen} * sizeof(T));
    const int64_t workAt = plan.Add(workSize);
    const int64_t fftBlockAt = plan.Add(int64_t{fftLen} * sizeof(T));
    const int64_t scratchAt = plan.Add(FirInPlaceChunk * sizeof(T));
    uint8_t* block = plan.Fits() ? AllocU8Direct(plan.Bytes()) : nullptr;
    if (block == nullptr) {
        if (spec) B::FftFree(spec);
        return StatusNoMemory;
    }

    auto* s = reinterpret_cast<FirState<T>*>(block);
    *s = FirState<T>{};
    s->tag = B::singleTag;
    s->tapsRev = FirArea<T>(block, tapsAt);
    s->dlyLine = FirArea<T>(block, dlyAt);
    s->tapsLen = tapsLen;
    s->dlyLen = tapsLen;
    s->blockLimit = static_cast<int32_t>(((n + 3) & ~int64_t{3}) + 1);
    s->fftSpec = spec;
    s->fftLen = -1;
    s->fftWorkSize = workSize;
    s->tapsLanes = B::lanes ? FirArea<T>(block, lanesAt) : nullptr;
    s->fftBlock = FirArea<T>(block, fftBlockAt);
    s->inPlaceBuf = FirArea<T>(block, scratchAt);
    s->ownsBlock = 1;

    for (int64_t i = 0; i < n; ++i) s->tapsRev[i] = taps[n - 1 - i];
    for (int64_t i = 0; i < n * B::lanes; ++i) s->tapsLanes[i] = taps[i / B::lanes];
    if (dlyLine) {
        for (int64_t i = 0; i < n; ++i) s->dlyLine[i] = dlyLine[n - 1 - i];
    } else {
        FirZero<B>(s->dlyLine, n);
    }

    if (fftLen > 0) {
        s->fftLen = fftLen;
        s->tapsSpectrum = FirArea<T>(block, spectrumAt);
        s->fftWork = workSize > 0 ? FirArea<uint8_t>(block, workAt) : nullptr;
        FirCopy<B>(taps, s->tapsSpectrum, n);
        FirZero<B>(s->tapsSpectrum + n, fftLen - n);
        const Status transformed = B::ForwardPacked(s->tapsSpectrum, s->tapsSpectrum, spec, s->fftWork);
        if (transformed != StatusOk) {
            B::FftFree(spec);
            FreeDirect(block);
            return transformed;
        }
    }
    // Only a complete state reaches the caller.
    *state = s;
    return StatusOk;
}

template <class B>
Status InitAlloc(FirState<typename B::Value>** state, const typename B::Value* taps, int32_t tapsLen,
    const typename B::Value* dlyLine) {
    if (state == nullptr || taps == nullptr) return StatusNullPointer;
    if (tapsLen < 1) return StatusFirLengthError;
    return FirStateInit<B>(state, taps, tapsLen, dlyLine);
}

}  // namespace

template <class B>
Status FirStateInit(FirState<typename B::Value>** state, const typename B::Value* taps, int32_t tapsLen,
    const typename B::Value* dlyLine) {
    return StateInit<B>(state, taps, tapsLen, dlyLine);
}

template Status FirStateInit<FirBuild<float, Build::X87>>(FirStateF32**, const float*, int32_t, const float*);
template Status FirStateInit<FirBuild<float, Build::Sse2>>(FirStateF32**, const float*, int32_t, const float*);
template Status FirStateInit<FirBuild<double, Build::X87>>(FirStateF64**, const double*, int32_t, const double*);
template Status FirStateInit<FirBuild<double, Build::Sse2>>(FirStateF64**, const double*, int32_t, const double*);

Status FirInitAllocF32_x87(FirStateF32** state, const float* taps, int32_t tapsLen, const float* dlyLine) {
    return InitAlloc<FirBuild<float, Build::X87>>(state, taps, tapsLen, dlyLine);
}
Status FirInitAllocF32_sse2(FirStateF32** state, const float* taps, int32_t tapsLen, const float* dlyLine) {
    return InitAlloc<FirBuild<float, Build::Sse2>>(state, taps, tapsLen, dlyLine);
}
Status FirInitAllocF64_x87(FirStateF64** state, const double* taps, int32_t tapsLen, const double* dlyLine) {
    return InitAlloc<FirBuild<double, Build::X87>>(state, taps, tapsLen, dlyLine);
}
Status FirInitAllocF64_sse2(FirStateF64** state, const double* taps, int32_t tapsLen, const double* dlyLine) {
    return InitAlloc<FirBuild<double, Build::Sse2>>(state, taps, tapsLen, dlyLine);
}

}  // namespace Prim
