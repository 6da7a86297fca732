// x87 builds of the single-rate FIR kernels: products and sums held at least in double
// precision (the 64-bit direct form in extended precision) and rounded once per output.
#include <Primitives/Prim/Filter/FirKernels.h>

#include <type_traits>

namespace Prim {
namespace {

template <class T>
using WideSum = std::conditional_t<sizeof(T) == 4, double, long double>;

template <class T>
void OneStep(FirState<T>* state, T src, T* dst) {
    const int32_t n = state->tapsLen;
    T* ring = state->dlyLine;
    ring[state->dlyPos] = src;
    ring[state->dlyPos + n] = src;
    state->dlyPos = state->dlyPos + 1 == n ? 0 : state->dlyPos + 1;
    const T* window = ring + state->dlyPos;
    double sum = 0;
    for (int32_t k = 0; k < n; ++k) sum += double(state->tapsRev[k]) * double(window[k]);
    *dst = static_cast<T>(sum);
}

}  // namespace

void FirOneStepF32_x87(FirStateF32* state, float src, float* dst) { OneStep(state, src, dst); }
void FirOneStepF64_x87(FirStateF64* state, double src, double* dst) { OneStep(state, src, dst); }

template <class T>
void FirDirectX87(const T* tapsRev, const T* w, T* dst, int64_t count, int32_t tapsLen) {
    using Acc = WideSum<T>;
    int64_t j = 0;
    for (; j + 4 <= count; j += 4) {
        Acc s0 = 0, s1 = 0, s2 = 0, s3 = 0;
        const T* x = w + j;
        for (int32_t k = 0; k < tapsLen; ++k) {
            const Acc h = tapsRev[k];
            s0 += h * Acc(x[k]);
            s1 += h * Acc(x[k + 1]);
            s2 += h * Acc(x[k + 2]);
            s3 += h * Acc(x[k + 3]);
        }
        dst[j] = static_cast<T>(s0);
        dst[j + 1] = static_cast<T>(s1);
        dst[j + 2] = static_cast<T>(s2);
        dst[j + 3] = static_cast<T>(s3);
    }
    for (; j < count; ++j) {
        Acc s = 0;
        for (int32_t k = 0; k < tapsLen; ++k) s += Acc(tapsRev[k]) * Acc(w[j + k]);
        dst[j] = static_cast<T>(s);
    }
}

template void FirDirectX87<float>(const float*, const float*, float*, int64_t, int32_t);
template void FirDirectX87<double>(const double*, const double*, double*, int64_t, int32_t);

}  // namespace Prim
