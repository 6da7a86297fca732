// Reading and replacing a FIR state's history (newest sample first for the caller), one
// sample through the doubled ring, and release.
#include <Primitives/Prim/Filter/FirBuild.h>

namespace Prim {
namespace {

template <class B>
bool AnyTag(const FirState<typename B::Value>* state) {
    return state->tag == B::singleTag || state->tag == B::multiTag;
}

template <class B>
Status GetDelayLine(const FirState<typename B::Value>* state, typename B::Value* dst) {
    if (state == nullptr || dst == nullptr) return StatusNullPointer;
    if (!AnyTag<B>(state)) return StatusWrongContext;
    const int64_t n = state->dlyLen;
    const auto* window = state->dlyLine + state->dlyPos;
    for (int64_t i = 0; i < n; ++i) dst[i] = window[n - 1 - i];
    return StatusOk;
}

template <class B>
Status SetDelayLine(FirState<typename B::Value>* state, const typename B::Value* src) {
    if (state == nullptr) return StatusNullPointer;
    if (!AnyTag<B>(state)) return StatusWrongContext;
    const int64_t n = state->dlyLen;
    state->dlyPos = 0;
    if (src) {
        for (int64_t i = 0; i < n; ++i) state->dlyLine[i] = src[n - 1 - i];
    } else {
        FirZero<B>(state->dlyLine, n);
    }
    return StatusOk;
}

template <class B>
Status Free(FirState<typename B::Value>* state) {
    if (state == nullptr) return StatusNullPointer;
    if (!AnyTag<B>(state)) return StatusWrongContext;
    if (state->ownsBlock == 0) return StatusOk;
    if (state->fftSpec) B::FftFree(state->fftSpec);
    FreeDirect(state);
    return StatusOk;
}

template <class B>
Status One(typename B::Value src, typename B::Value* dst, FirState<typename B::Value>* state) {
    if (state == nullptr || dst == nullptr) return StatusNullPointer;
    if (state->tag != B::singleTag) return StatusWrongContext;
    B::OneStep(state, src, dst);
    return StatusOk;
}

using X87F32 = FirBuild<float, Build::X87>;
using Sse2F32 = FirBuild<float, Build::Sse2>;
using X87F64 = FirBuild<double, Build::X87>;
using Sse2F64 = FirBuild<double, Build::Sse2>;

}  // namespace

Status FirGetDelayLineF32_x87(const FirStateF32* state, float* dst) { return GetDelayLine<X87F32>(state, dst); }
Status FirGetDelayLineF32_sse2(const FirStateF32* state, float* dst) { return GetDelayLine<Sse2F32>(state, dst); }
Status FirGetDelayLineF64_x87(const FirStateF64* state, double* dst) { return GetDelayLine<X87F64>(state, dst); }
Status FirGetDelayLineF64_sse2(const FirStateF64* state, double* dst) { return GetDelayLine<Sse2F64>(state, dst); }

Status FirSetDelayLineF32_x87(FirStateF32* state, const float* src) { return SetDelayLine<X87F32>(state, src); }
Status FirSetDelayLineF32_sse2(FirStateF32* state, const float* src) { return SetDelayLine<Sse2F32>(state, src); }
Status FirSetDelayLineF64_x87(FirStateF64* state, const double* src) { return SetDelayLine<X87F64>(state, src); }
Status FirSetDelayLineF64_sse2(FirStateF64* state, const double* src) { return SetDelayLine<Sse2F64>(state, src); }

Status FirFreeF32_x87(FirStateF32* state) { return Free<X87F32>(state); }
Status FirFreeF32_sse2(FirStateF32* state) { return Free<Sse2F32>(state); }
Status FirFreeF64_x87(FirStateF64* state) { return Free<X87F64>(state); }
Status FirFreeF64_sse2(FirStateF64* state) { return Free<Sse2F64>(state); }

Status FirOneF32_x87(float src, float* dst, FirStateF32* state) { return One<X87F32>(src, dst, state); }
Status FirOneF32_sse2(float src, float* dst, FirStateF32* state) { return One<Sse2F32>(src, dst, state); }
Status FirOneF64_x87(double src, double* dst, FirStateF64* state) { return One<X87F64>(src, dst, state); }
Status FirOneF64_sse2(double src, double* dst, FirStateF64* state) { return One<Sse2F64>(src, dst, state); }

}  // namespace Prim
