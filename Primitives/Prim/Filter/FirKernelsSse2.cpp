// SSE2 builds of the single-rate FIR kernels: sums in the element type, grouped as the
// SSE2 build groups them, so that its results do not depend on how a block is cut.
#include <Primitives/Prim/Filter/FirKernels.h>
#include <Primitives/Prim/SimdLanes.h>

namespace Prim {
namespace {

using SimdLanes::Aligned16;

// Tap k of the reversed order, read from its lane-repeated copy.
template <class T>
struct ReversedTaps {
    using L = SimdLanes::Of<T>;
    const T* lanes;
    int32_t len;
    typename L::V Vector(int32_t k) const { return L::Load(lanes + L::width * (len - 1 - k)); }
    T Scalar(int32_t k) const { return lanes[L::width * (len - 1 - k)]; }
};

// One output as the full sum over taps [from, to), in tap order.
template <class T>
T Sum(ReversedTaps<T> taps, const T* x, int32_t from, int32_t to) {
    T s = taps.Scalar(from) * x[from];
    for (int32_t k = from + 1; k < to; ++k) s = s + taps.Scalar(k) * x[k];
    return s;
}

// dst[j] (+)= the sum over taps [from, to) for j in [begin, count), a vector of outputs at a time.
template <class T, bool Accumulate, bool AlignedStore>
void Pass(ReversedTaps<T> taps, const T* w, T* dst, int64_t begin, int64_t count, int32_t from, int32_t to) {
    using L = SimdLanes::Of<T>;
    constexpr int64_t width = L::width;
    int64_t j = begin;
    for (; j + width <= count; j += width) {
        const T* x = w + j;
        auto acc = L::Mul(taps.Vector(from), L::LoadU(x + from));
        for (int32_t k = from + 1; k < to; ++k) acc = L::Add(acc, L::Mul(taps.Vector(k), L::LoadU(x + k)));
        if constexpr (Accumulate) acc = L::Add(AlignedStore ? L::Load(dst + j) : L::LoadU(dst + j), acc);
        if constexpr (AlignedStore) {
            L::Store(dst + j, acc);
        } else {
            L::StoreU(dst + j, acc);
        }
    }
    for (; j < count; ++j) {
        const T s = Sum(taps, w + j, from, to);
        dst[j] = Accumulate ? dst[j] + s : s;
    }
}

template <class T>
void OneStepPrepare(FirState<T>* state, T src) {
    const int32_t n = state->tapsLen;
    state->dlyLine[state->dlyPos] = src;
    state->dlyLine[state->dlyPos + n] = src;
    state->dlyPos = state->dlyPos + 1 == n ? 0 : state->dlyPos + 1;
}

}  // namespace

template <class T>
void FirDirectSse2(const T* tapsLanes, const T* w, T* dst, int64_t count, int32_t tapsLen) {
    const ReversedTaps<T> taps{tapsLanes, tapsLen};
    if (reinterpret_cast<uintptr_t>(dst) % sizeof(T) != 0) {
        Pass<T, false, false>(taps, w, dst, 0, count, 0, tapsLen);
        return;
    }
    int64_t j = 0;
    for (; j < count && !Aligned16(dst + j); ++j) dst[j] = Sum(taps, w + j, 0, tapsLen);
    if (sizeof(T) == 8 || tapsLen <= 4) {
        Pass<T, false, true>(taps, w, dst, j, count, 0, tapsLen);
        return;
    }
    // Groups of four taps from the end of the filter; dst holds the running sums.
    const int32_t groups = tapsLen / 4;
    Pass<T, false, true>(taps, w, dst, j, count, 0, 4);
    for (int32_t g = 1; g < groups; ++g) Pass<T, true, true>(taps, w, dst, j, count, 4 * g, 4 * g + 4);
    if (tapsLen % 4) Pass<T, true, true>(taps, w, dst, j, count, 4 * groups, tapsLen);
}

template void FirDirectSse2<float>(const float*, const float*, float*, int64_t, int32_t);
template void FirDirectSse2<double>(const double*, const double*, double*, int64_t, int32_t);

// Short filters: one running sum; longer: four lane sums, two products per lane for each
// block of eight, the leftovers of 4, 2 and 1 into the first lanes.
void FirOneStepF32_sse2(FirStateF32* state, float src, float* dst) {
    OneStepPrepare(state, src);
    const int32_t n = state->tapsLen;
    const float* h = state->tapsRev;
    const float* x = state->dlyLine + state->dlyPos;
    if (n < 12) {
        float s = 0;
        for (int32_t k = 0; k < n; ++k) s = s + h[k] * x[k];
        *dst = s;
        return;
    }
    float lane[4] = {0, 0, 0, 0};
    int32_t k = 0;
    for (; k + 8 <= n; k += 8) {
        for (int r = 0; r < 4; ++r) lane[r] = lane[r] + h[k + r] * x[k + r];
        for (int r = 0; r < 4; ++r) lane[r] = lane[r] + h[k + 4 + r] * x[k + 4 + r];
    }
    for (int width = 4; width >= 1; width /= 2) {
        if (n - k < width) continue;
        for (int r = 0; r < width; ++r) lane[r] = lane[r] + h[k + r] * x[k + r];
        k += width;
    }
    *dst = (lane[0] + lane[2]) + (lane[1] + lane[3]);
}

// Two sums, of the even-indexed and of the odd-indexed products.
void FirOneStepF64_sse2(FirStateF64* state, double src, double* dst) {
    OneStepPrepare(state, src);
    const int32_t n = state->tapsLen;
    const double* h = state->tapsRev;
    const double* x = state->dlyLine + state->dlyPos;
    auto p = [&](int32_t k) { return h[k] * x[k]; };
    double even = 0, odd = 0;
    int32_t k = 0;
    for (; k + 8 <= n; k += 8) {
        even = even + ((p(k) + p(k + 2)) + (p(k + 4) + p(k + 6)));
        odd = odd + ((p(k + 1) + p(k + 3)) + (p(k + 5) + p(k + 7)));
    }
    if (n - k >= 4) {
        even = even + (p(k) + p(k + 2));
        odd = odd + (p(k + 1) + p(k + 3));
        k += 4;
    }
    if (n - k >= 2) {
        even = even + p(k);
        odd = odd + p(k + 1);
        k += 2;
    }
    if (k < n) even = even + p(k);
    *dst = even + odd;
}

}  // namespace Prim
