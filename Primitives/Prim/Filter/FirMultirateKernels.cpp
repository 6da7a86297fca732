// Multirate kernels of both builds. A cycle is 4 * upFactor outputs reading 4 * downFactor
// new samples. The x87 builds sum at least in double precision (doubles in extended
// precision); the SSE2 builds sum in the element type, the gathered kinds in four lanes.
#include <Primitives/Prim/Dispatch.h>
#include <Primitives/Prim/Filter/FirKernels.h>

#include <algorithm>
#include <type_traits>

namespace Prim {
namespace {

template <class T, Build B>
using Accumulator = std::conditional_t<B == Build::Sse2, T, std::conditional_t<sizeof(T) == 4, double, long double>>;

// Samples of one output that a bounded kernel may read: those below `bound`.
template <bool Bounded>
int64_t Reach(int64_t first, int64_t count, int64_t bound) {
    if constexpr (!Bounded) return count;
    return std::clamp<int64_t>(bound - first, 0, count);
}

// Padded kind: each group multiplies P consecutive samples by quadruples of taps.
template <class T, Build B, bool Bounded>
int64_t Padded(const FirState<T>& s, FirMrSequence<T> seq, T* dst, int64_t count, int64_t pos, int64_t bound) {
    using Acc = Accumulator<T, B>;
    const int32_t up = s.upFactor;
    const int32_t perPhase = s.tapsPerPhase;
    int64_t done = 0;
    while (done < count) {
        int64_t at = pos;
        const T* quads = s.tapsLanes;
        for (int32_t j = 0; j < up && done < count; ++j, quads += 4 * perPhase) {
            at += s.phaseTable[j];
            Acc acc[4] = {0, 0, 0, 0};
            const int64_t reach = Reach<Bounded>(at, perPhase, bound);
            for (int64_t k = 0; k < reach; ++k) {
                const Acc x = seq[at + k];
                for (int r = 0; r < 4; ++r) acc[r] = acc[r] + Acc(quads[4 * k + r]) * x;
            }
            for (int r = 0; r < 4 && done < count; ++r) dst[done++] = static_cast<T>(acc[r]);
        }
        pos = at + s.phaseTable[up];
    }
    return pos;
}

// One gathered output: taps t = 0 .. reach-1 at taps[t * stride] against seq[first + t].
template <class T, Build B>
T GatheredDot(const T* taps, int64_t stride, FirMrSequence<T> seq, int64_t first, int64_t reach) {
    using Acc = Accumulator<T, B>;
    if (B == Build::X87 || reach < 4) {
        Acc sum = 0;
        for (int64_t t = 0; t < reach; ++t) sum = sum + Acc(taps[t * stride]) * Acc(seq[first + t]);
        return static_cast<T>(sum);
    }
    T lane[4] = {0, 0, 0, 0};
    int64_t t = 0;
    for (; t + 4 <= reach; t += 4) {
        for (int r = 0; r < 4; ++r) lane[r] = lane[r] + taps[(t + r) * stride] * seq[first + t + r];
    }
    for (int r = 0; t < reach; ++t, ++r) lane[r] = lane[r] + taps[t * stride] * seq[first + t];
    return (lane[0] + lane[2]) + (lane[1] + lane[3]);
}

// Gathered kinds: every output slot of a cycle has its own start and its own taps (in
// kind 2 all slots share the taps of slot 0).
template <class T, Build B, bool Bounded>
int64_t Gathered(const FirState<T>& s, FirMrSequence<T> seq, T* dst, int64_t count, int64_t pos, int64_t bound) {
    const int64_t slots = 4 * int64_t{s.upFactor};
    const int64_t taps = s.dlyLen;
    const bool shared = s.mrKind == FirMrGatheredSingle;
    int64_t done = 0;
    while (done < count) {
        for (int64_t slot = 0; slot < slots && done < count; ++slot) {
            const int64_t used = shared ? 0 : slot;
            // x87: quadruples per group; SSE2: slot after slot.
            const T* first =
                B == Build::X87 ? s.tapsLanes + 4 * (used / 4) * taps + used % 4 : s.tapsLanes + used * taps;
            const int64_t stride = B == Build::X87 ? 4 : 1;
            const int64_t start = pos + s.phaseTable[slot];
            dst[done++] = GatheredDot<T, B>(first, stride, seq, start, Reach<Bounded>(start, taps, bound));
        }
        pos += s.phaseTable[slots];
    }
    return pos;
}

template <class T, Build B, bool Bounded>
int64_t Run(const FirState<T>& s, FirMrSequence<T> seq, T* dst, int64_t count, int64_t pos, int64_t bound) {
    if (count <= 0) return pos;
    if (s.mrKind == FirMrPadded) return Padded<T, B, Bounded>(s, seq, dst, count, pos, bound);
    return Gathered<T, B, Bounded>(s, seq, dst, count, pos, bound);
}

}  // namespace

template <class T>
int64_t FirMrBlockX87(const FirState<T>& state, FirMrSequence<T> seq, T* dst, int64_t count, int64_t pos) {
    return Run<T, Build::X87, false>(state, seq, dst, count, pos, 0);
}
template <class T>
int64_t FirMrRestX87(
    const FirState<T>& state, FirMrSequence<T> seq, T* dst, int64_t count, int64_t pos, int64_t bound) {
    return Run<T, Build::X87, true>(state, seq, dst, count, pos, bound);
}
template <class T>
int64_t FirMrBlockSse2(const FirState<T>& state, FirMrSequence<T> seq, T* dst, int64_t count, int64_t pos) {
    return Run<T, Build::Sse2, false>(state, seq, dst, count, pos, 0);
}
template <class T>
int64_t FirMrRestSse2(
    const FirState<T>& state, FirMrSequence<T> seq, T* dst, int64_t count, int64_t pos, int64_t bound) {
    return Run<T, Build::Sse2, true>(state, seq, dst, count, pos, bound);
}

template int64_t FirMrBlockX87<float>(const FirStateF32&, FirMrSequence<float>, float*, int64_t, int64_t);
template int64_t FirMrBlockX87<double>(const FirStateF64&, FirMrSequence<double>, double*, int64_t, int64_t);
template int64_t FirMrBlockSse2<float>(const FirStateF32&, FirMrSequence<float>, float*, int64_t, int64_t);
template int64_t FirMrBlockSse2<double>(const FirStateF64&, FirMrSequence<double>, double*, int64_t, int64_t);
template int64_t FirMrRestX87<float>(const FirStateF32&, FirMrSequence<float>, float*, int64_t, int64_t, int64_t);
template int64_t FirMrRestX87<double>(const FirStateF64&, FirMrSequence<double>, double*, int64_t, int64_t, int64_t);
template int64_t FirMrRestSse2<float>(const FirStateF32&, FirMrSequence<float>, float*, int64_t, int64_t, int64_t);
template int64_t FirMrRestSse2<double>(const FirStateF64&, FirMrSequence<double>, double*, int64_t, int64_t, int64_t);

}  // namespace Prim
