// The direct form: a call's input is appended behind the history for at most blockLimit
// samples, and the rest of a long block is filtered straight from the caller's input.
#include <Primitives/Prim/Filter/FirPaths.h>

#include <algorithm>

namespace Prim {

template <class B>
void FirDirectForm(
    FirState<typename B::Value>* state, const typename B::Value* src, typename B::Value* dst, int64_t n) {
    const int64_t tapsLen = state->tapsLen;
    const int64_t limit = state->blockLimit;
    const int64_t pos = state->dlyPos;
    auto* line = state->dlyLine;
    const auto* work = line + pos + 1;
    state->dlyPos = 0;
    if (n <= limit) {
        FirCopy<B>(src, line + pos + tapsLen, n);
        FirDirectKernel<B>(*state, work, dst, n);
        // The source lies after the destination: a forward copy.
        std::copy(line + pos + n, line + pos + n + tapsLen, line);
        return;
    }
    const int64_t head = limit - 1;
    FirCopy<B>(src, line + pos + tapsLen, limit);
    FirDirectKernel<B>(*state, work, dst, head);
    FirCopy<B>(src + n - tapsLen, line, tapsLen);
    FirDirectKernel<B>(*state, src + head - tapsLen + 1, dst + head, n - head);
}

template void FirDirectForm<FirBuild<float, Build::X87>>(FirStateF32*, const float*, float*, int64_t);
template void FirDirectForm<FirBuild<float, Build::Sse2>>(FirStateF32*, const float*, float*, int64_t);
template void FirDirectForm<FirBuild<double, Build::X87>>(FirStateF64*, const double*, double*, int64_t);
template void FirDirectForm<FirBuild<double, Build::Sse2>>(FirStateF64*, const double*, double*, int64_t);

}  // namespace Prim
