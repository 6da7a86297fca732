// The multirate driver: short calls run through the delay-line area in one pass; long ones
// run their first cycles there and the rest straight over the caller's input.
#include <Primitives/Prim/Filter/FirPaths.h>

#include <algorithm>
#include <limits>

namespace Prim {
namespace {

template <class B>
int64_t Block(const FirState<typename B::Value>& s, FirMrSequence<typename B::Value> seq, typename B::Value* dst,
    int64_t count, int64_t pos) {
    if constexpr (B::build == Build::X87) {
        return FirMrBlockX87(s, seq, dst, count, pos);
    } else {
        return FirMrBlockSse2(s, seq, dst, count, pos);
    }
}

template <class B>
void Rest(const FirState<typename B::Value>& s, FirMrSequence<typename B::Value> seq, typename B::Value* dst,
    int64_t count, int64_t pos, int64_t bound) {
    if constexpr (B::build == Build::X87) {
        FirMrRestX87(s, seq, dst, count, pos, bound);
    } else {
        FirMrRestSse2(s, seq, dst, count, pos, bound);
    }
}

}  // namespace

template <class B>
Status FirMultirate(
    FirState<typename B::Value>* state, const typename B::Value* src, typename B::Value* dst, int32_t numIters) {
    using T = typename B::Value;
    const int32_t kind = state->mrKind;
    if (kind != FirMrPadded && kind != FirMrGatheredSingle && kind != FirMrGathered) return StatusWrongContext;
    const int64_t inputs = int64_t{state->downFactor} * numIters;
    const int64_t outputs = int64_t{state->upFactor} * numIters;
    if (std::max(inputs, outputs) > std::numeric_limits<int32_t>::max()) return StatusSizeError;

    const int64_t history = state->dlyLen;
    const int64_t limit = state->blockLimit;
    const int64_t cycle = 4 * int64_t{state->upFactor};
    T* line = state->dlyLine;
    const FirMrSequence<T> area{line, 0};
    if (inputs <= limit) {
        FirCopy<B>(src, line + history, inputs);
        // Samples past the input meet only zero taps, but an old infinity there would
        // still turn them into NaN.
        FirZero<B>(line + history + inputs, limit + 1 - inputs);
        const int64_t rest = outputs % cycle;
        const int64_t pos = Block<B>(*state, area, dst, outputs - rest, 0);
        Rest<B>(*state, area, dst + outputs - rest, rest, pos, history + inputs);
        std::copy(line + inputs, line + inputs + history, line);
        return StatusOk;
    }
    const int64_t first = state->firstPassOutputs;
    FirCopy<B>(src, line + history, limit);
    FirZero<B>(line + history + limit, 1);
    int64_t pos = Block<B>(*state, area, dst, first, 0);
    FirCopy<B>(src + inputs - history, line, history);
    int64_t rest = (outputs - first) % cycle;
    int64_t blocks = outputs - first - rest;
    if (blocks > 0) {
        blocks -= cycle;
        rest += cycle;
    }
    const FirMrSequence<T> input{src, history};
    pos = Block<B>(*state, input, dst + first, blocks, pos);
    Rest<B>(*state, input, dst + first + blocks, rest, pos, history + inputs);
    return StatusOk;
}

template Status FirMultirate<FirBuild<float, Build::X87>>(FirStateF32*, const float*, float*, int32_t);
template Status FirMultirate<FirBuild<float, Build::Sse2>>(FirStateF32*, const float*, float*, int32_t);
template Status FirMultirate<FirBuild<double, Build::X87>>(FirStateF64*, const double*, double*, int32_t);
template Status FirMultirate<FirBuild<double, Build::Sse2>>(FirStateF64*, const double*, double*, int32_t);

}  // namespace Prim
