// Overlap-save: segments of fftLen samples through the forward core, the product with the
// taps' spectrum and the inverse core; the first tapsLen - 1 outputs of each wrap around
// and are dropped. The delay line is left as the direct form leaves it.
#include <Primitives/Prim/Filter/FirPaths.h>

#include <algorithm>

namespace Prim {

template <class B>
Status FirFftPath(FirState<typename B::Value>* state, const typename B::Value* src, typename B::Value* dst, int64_t n) {
    using T = typename B::Value;
    const int64_t tapsLen = state->tapsLen;
    const int64_t fftLen = state->fftLen;
    const int64_t outputs = fftLen - tapsLen + 1;
    T* block = state->fftBlock;
    T* line = state->dlyLine;
    const T* kept = block + tapsLen - 1;
    auto segment = [&](const T* source) {
        const Status forward = B::ForwardPacked(source, block, state->fftSpec, state->fftWork);
        if (forward != StatusOk) return forward;
        B::MulPack(state->tapsSpectrum, block, static_cast<int32_t>(fftLen));
        return B::InversePacked(block, block, state->fftSpec, state->fftWork);
    };

    FirCopy<B>(line + state->dlyPos + 1, block, tapsLen - 1);
    state->dlyPos = 0;
    if (n <= outputs) {
        FirCopy<B>(src, block + tapsLen - 1, n);
        FirCopy<B>(block + n - 1, line, tapsLen);
        FirZero<B>(block + tapsLen - 1 + n, fftLen - tapsLen + 1 - n);
        const Status status = segment(block);
        if (status != StatusOk) return status;
        FirCopy<B>(kept, dst, n);
        return StatusOk;
    }
    FirCopy<B>(src, block + tapsLen - 1, outputs);
    Status status = segment(block);
    if (status != StatusOk) return status;
    FirCopy<B>(kept, dst, outputs);
    FirCopy<B>(src + n - tapsLen, line, tapsLen);

    const int64_t rest = n - outputs;
    for (int64_t done = 0; done < rest; done += outputs) {
        const int64_t left = rest - done;
        const T* start = src + outputs - (tapsLen - 1) + done;
        if (left < fftLen) {
            const int64_t copied = std::min(left + tapsLen - 1, fftLen);
            FirCopy<B>(start, block, copied);
            FirZero<B>(block + copied, fftLen - copied);
            status = segment(block);
        } else {
            status = segment(start);
        }
        if (status != StatusOk) return status;
        FirCopy<B>(kept, dst + outputs + done, std::min(left, outputs));
    }
    return StatusOk;
}

template Status FirFftPath<FirBuild<float, Build::X87>>(FirStateF32*, const float*, float*, int64_t);
template Status FirFftPath<FirBuild<float, Build::Sse2>>(FirStateF32*, const float*, float*, int64_t);
template Status FirFftPath<FirBuild<double, Build::X87>>(FirStateF64*, const double*, double*, int64_t);
template Status FirFftPath<FirBuild<double, Build::Sse2>>(FirStateF64*, const double*, double*, int64_t);

}  // namespace Prim
