// The FIR filtering operations: checks, then the path by the state's tag and the block's
// length; the in-place operations run the out-of-place paths through the state's scratch.
#include <Primitives/Prim/Filter/FirPaths.h>

#include <algorithm>
#include <limits>

namespace Prim {
namespace {

constexpr int64_t FftFromLength = 512;

template <class B>
Status Filter(
    const typename B::Value* src, typename B::Value* dst, int32_t numIters, FirState<typename B::Value>* state) {
    if (state == nullptr || src == nullptr || dst == nullptr) return StatusNullPointer;
    if (numIters < 1) return StatusSizeError;
    if (state->tag == B::multiTag) return FirMultirate<B>(state, src, dst, numIters);
    if (state->tag != B::singleTag) return StatusWrongContext;
    if (numIters >= FftFromLength && state->fftLen >= 1) return FirFftPath<B>(state, src, dst, numIters);
    FirDirectForm<B>(state, src, dst, numIters);
    return StatusOk;
}

template <class B>
Status InPlaceSingle(typename B::Value* srcDst, int64_t n, FirState<typename B::Value>* state) {
    for (int64_t at = 0; at < n; at += FirInPlaceChunk) {
        const int64_t chunk = std::min<int64_t>(FirInPlaceChunk, n - at);
        if (state->fftLen >= chunk || state->fftLen < 1) {
            FirDirectForm<B>(state, srcDst + at, state->inPlaceBuf, chunk);
        } else {
            const Status status = FirFftPath<B>(state, srcDst + at, state->inPlaceBuf, chunk);
            if (status != StatusOk) return status;
        }
        FirCopy<B>(state->inPlaceBuf, srcDst + at, chunk);
    }
    return StatusOk;
}

template <class B>
Status InPlaceMultirate(typename B::Value* srcDst, int32_t numIters, FirState<typename B::Value>* state) {
    using T = typename B::Value;
    const int64_t up = state->upFactor;
    const int64_t down = state->downFactor;
    if (std::max(up, down) * numIters > std::numeric_limits<int32_t>::max()) return StatusSizeError;
    if (up != 1) {
        const int64_t inputs = down * numIters;
        T* copy = B::Alloc(static_cast<int32_t>(inputs));
        if (copy == nullptr) return StatusNoMemory;
        FirCopy<B>(srcDst, copy, inputs);
        const Status status = FirMultirate<B>(state, copy, srcDst, numIters);
        FreeDirect(copy);
        return status;
    }
    // One output per iteration: the outputs never overtake the input still to be read.
    for (int64_t done = 0; done < numIters; done += FirInPlaceChunk) {
        const int32_t chunk = static_cast<int32_t>(std::min<int64_t>(FirInPlaceChunk, numIters - done));
        const Status status = FirMultirate<B>(state, srcDst + done * down, state->inPlaceBuf, chunk);
        if (status != StatusOk) return status;
        FirCopy<B>(state->inPlaceBuf, srcDst + done, chunk);
    }
    return StatusOk;
}

template <class B>
Status InPlace(typename B::Value* srcDst, int32_t numIters, FirState<typename B::Value>* state) {
    if (state == nullptr || srcDst == nullptr) return StatusNullPointer;
    if (numIters < 1) return StatusSizeError;
    if (state->tag == B::singleTag) return InPlaceSingle<B>(srcDst, numIters, state);
    if (state->tag == B::multiTag) return InPlaceMultirate<B>(srcDst, numIters, state);
    return StatusWrongContext;
}

using X87F32 = FirBuild<float, Build::X87>;
using Sse2F32 = FirBuild<float, Build::Sse2>;
using X87F64 = FirBuild<double, Build::X87>;
using Sse2F64 = FirBuild<double, Build::Sse2>;

}  // namespace

Status FirF32_x87(const float* src, float* dst, int32_t numIters, FirStateF32* state) {
    return Filter<X87F32>(src, dst, numIters, state);
}
Status FirF32_sse2(const float* src, float* dst, int32_t numIters, FirStateF32* state) {
    return Filter<Sse2F32>(src, dst, numIters, state);
}
Status FirF64_x87(const double* src, double* dst, int32_t numIters, FirStateF64* state) {
    return Filter<X87F64>(src, dst, numIters, state);
}
Status FirF64_sse2(const double* src, double* dst, int32_t numIters, FirStateF64* state) {
    return Filter<Sse2F64>(src, dst, numIters, state);
}
Status FirInPlaceF32_x87(float* srcDst, int32_t numIters, FirStateF32* state) {
    return InPlace<X87F32>(srcDst, numIters, state);
}
Status FirInPlaceF32_sse2(float* srcDst, int32_t numIters, FirStateF32* state) {
    return InPlace<Sse2F32>(srcDst, numIters, state);
}
Status FirInPlaceF64_x87(double* srcDst, int32_t numIters, FirStateF64* state) {
    return InPlace<X87F64>(srcDst, numIters, state);
}
Status FirInPlaceF64_sse2(double* srcDst, int32_t numIters, FirStateF64* state) {
    return InPlace<Sse2F64>(srcDst, numIters, state);
}

}  // namespace Prim
