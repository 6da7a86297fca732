// Multirate FIR set-up: the polyphase taps and phase table of the padded kind (long taps
// against the down factor) or of the gathered kinds, built once so that filtering only
// walks them. Both factors 1 give a single-rate state.
#include <Primitives/Prim/Filter/FirBlockPlan.h>
#include <Primitives/Prim/Filter/FirBuild.h>
#include <Primitives/Prim/Filter/FirSetup.h>

#include <limits>

namespace Prim {
namespace {

constexpr int64_t MaxSize = std::numeric_limits<int32_t>::max();

struct Geometry {
    int64_t tapsLen, up, upPhase, down, downPhase;
    int64_t dlyLen;  // ceil(tapsLen / up)
    int64_t padLen;  // tapsLen + 3 * down, rounded up to a multiple of up
    int64_t tapsPerPhase;  // samples per group in the padded kind: padLen / up
    int64_t blockLimit = 0;
    int64_t firstPassOutputs = 0;
};

// Walks the groups of the first cycle in order: group j starts reading at sample index
// Start(), and its k-th sample meets padded tap position Offset() + k * up.
class GroupWalk {
public:
    explicit GroupWalk(const Geometry& g) : g_(g) {
        const int64_t s0 = (g.tapsLen - 1) % g.up + g.upPhase;
        p_ = s0 < g.up ? s0 : s0 - g.up;
        c_ = s0 < g.up ? 1 : 0;
    }
    void Advance(int64_t j) {
        target_ = g_.downPhase + 4 * j * g_.down;
        if (p_ < target_) {
            const int64_t steps = (target_ - p_ + g_.up - 1) / g_.up;
            p_ += steps * g_.up;
            c_ += steps;
        }
    }
    int64_t Start() const { return c_; }
    int64_t Offset() const { return p_ - target_; }

private:
    const Geometry& g_;
    int64_t p_, c_, target_ = 0;
};

void Count(Geometry& g, int64_t reach) {
    const int64_t step = 4 * g.down;
    int64_t a = (reach / step + 1) * step;
    int64_t f = (g.dlyLen + g.down - 1) / g.down * g.up;
    while (f % (4 * g.up) != 0) {
        f += g.up;
        a += g.down;
    }
    g.firstPassOutputs = f;
    g.blockLimit = a + 1;
}

// The block of a multirate state, with every area placed and the header filled.
template <class B>
FirState<typename B::Value>* AllocState(const Geometry& g, int64_t phaseEntries, int32_t kind) {
    using T = typename B::Value;
    FirBlockPlan plan;
    plan.Add(sizeof(FirState<T>));
    const int64_t tapsAt = plan.Add(g.tapsLen * sizeof(T));
    const int64_t lanesAt = plan.Add(4 * g.padLen * sizeof(T));
    const int64_t phaseAt = plan.Add(phaseEntries * sizeof(int32_t));
    const int64_t dlyAt = plan.Add((g.dlyLen + g.blockLimit + 1) * sizeof(T));
    const int64_t scratchAt = plan.Add(FirInPlaceChunk * sizeof(T));
    uint8_t* block = plan.Fits() ? AllocU8Direct(plan.Bytes()) : nullptr;
    if (block == nullptr) return nullptr;
    auto* s = reinterpret_cast<FirState<T>*>(block);
    *s = FirState<T>{};
    s->tag = B::multiTag;
    s->tapsRev = FirArea<T>(block, tapsAt);
    s->tapsLanes = FirArea<T>(block, lanesAt);
    s->phaseTable = FirArea<int32_t>(block, phaseAt);
    s->dlyLine = FirArea<T>(block, dlyAt);
    s->inPlaceBuf = FirArea<T>(block, scratchAt);
    s->tapsLen = static_cast<int32_t>(g.tapsLen);
    s->upFactor = static_cast<int32_t>(g.up);
    s->upPhase = static_cast<int32_t>(g.upPhase);
    s->downFactor = static_cast<int32_t>(g.down);
    s->downPhase = static_cast<int32_t>(g.downPhase);
    s->dlyLen = static_cast<int32_t>(g.dlyLen);
    s->blockLimit = static_cast<int32_t>(g.blockLimit);
    s->firstPassOutputs = static_cast<int32_t>(g.firstPassOutputs);
    s->tapsPerPhase = static_cast<int32_t>(g.tapsPerPhase);
    s->fftLen = -1;
    s->mrKind = kind;
    s->ownsBlock = 1;
    return s;
}

template <class B>
void FillCommon(FirState<typename B::Value>* s, const typename B::Value* taps, const typename B::Value* dlyLine) {
    const int64_t n = s->tapsLen;
    const int64_t history = s->dlyLen;
    for (int64_t i = 0; i < n; ++i) s->tapsRev[i] = taps[n - 1 - i];
    FirZero<B>(s->dlyLine, history + s->blockLimit + 1);
    if (dlyLine) {
        for (int64_t i = 0; i < history; ++i) s->dlyLine[i] = dlyLine[history - 1 - i];
    }
}

template <class S>
typename S::Value* AllocTemporary(int64_t count) {
    return count > MaxSize ? nullptr : S::Alloc(static_cast<int32_t>(count));
}

template <class B>
FirState<typename B::Value>* InitPadded(
    Geometry g, const typename B::Value* taps, const typename B::Value* dlyLine, Status* status) {
    using T = typename B::Value;
    Count(g, g.tapsPerPhase);
    const int64_t lanes = 4 * g.padLen;
    auto* s = AllocState<B>(g, g.up + 1, FirMrPadded);
    T* rows = AllocTemporary<B>(lanes);
    if (s == nullptr || rows == nullptr) {
        FreeDirect(s);
        FreeDirect(rows);
        *status = StatusNoMemory;
        return nullptr;
    }
    FillCommon<B>(s, taps, dlyLine);
    // Row r (output r of a group) holds the reversed taps r * down positions later; the
    // rows are interleaved into quadruples, one per padded position.
    FirZero<B>(s->tapsLanes, lanes);
    for (int64_t r = 0; r < 4; ++r) FirCopy<B>(s->tapsRev, s->tapsLanes + r * (g.padLen + g.down), g.tapsLen);
    for (int64_t q = 0; q < g.padLen; ++q) {
        for (int64_t r = 0; r < 4; ++r) rows[4 * q + r] = s->tapsLanes[r * g.padLen + q];
    }
    GroupWalk walk(g);
    T* out = s->tapsLanes;
    int64_t previous = 0;
    for (int64_t j = 0; j < g.up; ++j) {
        walk.Advance(j);
        for (int64_t q = walk.Offset(); q < g.padLen; q += g.up, out += 4) {
            for (int r = 0; r < 4; ++r) out[r] = rows[4 * q + r];
        }
        s->phaseTable[j] = static_cast<int32_t>(walk.Start() - previous);
        previous = walk.Start();
    }
    s->phaseTable[g.up] = static_cast<int32_t>(4 * g.down - previous);
    FreeDirect(rows);
    *status = StatusOk;
    return s;
}

template <class B>
FirState<typename B::Value>* InitGathered(
    Geometry g, const typename B::Value* taps, const typename B::Value* dlyLine, Status* status) {
    Count(g, g.dlyLen);
    const int64_t slots = 4 * g.up;
    const int64_t lanes = 4 * g.padLen;
    auto* s = AllocState<B>(g, slots + 1, g.up == 1 ? FirMrGatheredSingle : FirMrGathered);
    // First half: the tap indexes of every slot; second half: the padded rows of indexes.
    auto* index = reinterpret_cast<int32_t*>(AllocTemporary<BuildServices<float, B::build>>(2 * lanes));
    if (s == nullptr || index == nullptr) {
        FreeDirect(s);
        FreeDirect(index);
        *status = StatusNoMemory;
        return nullptr;
    }
    if (B::build == Build::Sse2) s->tapsPerPhase = s->dlyLen;
    int32_t* table = s->phaseTable;
    B::SetS32(-1, table, static_cast<int32_t>(slots));
    B::SetS32(-1, index, static_cast<int32_t>(2 * lanes));
    FillCommon<B>(s, taps, dlyLine);
    int32_t* lists = index;
    int32_t* rows = index + lanes;
    for (int64_t r = 0; r < 4; ++r) {
        for (int64_t k = 0; k < g.tapsLen; ++k) rows[r * g.padLen + r * g.down + k] = int32_t(g.tapsLen - 1 - k);
    }
    GroupWalk walk(g);
    int64_t firstStart = 0;
    for (int64_t j = 0; j < g.up; ++j) {
        walk.Advance(j);
        if (j == 0) firstStart = walk.Start();
        for (int64_t r = 0; r < 4; ++r) {
            int32_t* list = lists + r * g.up * g.dlyLen + j * g.dlyLen;
            int32_t* entry = table + 4 * j + r;
            for (int64_t q = walk.Offset(), k = 0; q < g.padLen; q += g.up, ++k) {
                const int32_t tap = rows[r * g.padLen + q];
                if (tap == -1) continue;
                *list++ = tap;
                if (*entry == -1) *entry = static_cast<int32_t>(walk.Start() + k);
            }
        }
    }
    if (table[0] == -1) table[0] = static_cast<int32_t>(firstStart);
    table[slots] = static_cast<int32_t>(4 * g.down);
    for (int64_t i = 1; i < slots; ++i) {
        if (table[i] == -1) table[i] = table[i - 1];
    }
    // The build's layout: x87 quadruples of the four slots of a group, SSE2 slot after slot.
    const int64_t used = slots * g.dlyLen;
    for (int64_t j = 0; j < g.up; ++j) {
        for (int64_t r = 0; r < 4; ++r) {
            for (int64_t t = 0; t < g.dlyLen; ++t) {
                const int64_t from = r * g.up * g.dlyLen + j * g.dlyLen + t;
                const int64_t to = B::build == Build::X87 ? 4 * (j * g.dlyLen + t) + r : (4 * j + r) * g.dlyLen + t;
                rows[to] = lists[from];
            }
        }
    }
    for (int64_t i = 0; i < used; ++i) s->tapsLanes[i] = rows[i] == -1 ? 0 : taps[rows[i]];
    FreeDirect(index);
    *status = StatusOk;
    return s;
}

template <class B>
Status MultirateInit(FirState<typename B::Value>** state, const typename B::Value* taps, int32_t tapsLen, int32_t up,
    int32_t upPhase, int32_t down, int32_t downPhase, const typename B::Value* dlyLine) {
    if (state == nullptr || taps == nullptr) return StatusNullPointer;
    if (tapsLen < 1) return StatusFirLengthError;
    if (up < 1 || down < 1) return StatusFirFactorError;
    if (upPhase < 0 || upPhase >= up || downPhase < 0 || downPhase >= down) return StatusFirPhaseError;
    if (up == 1 && down == 1) return FirStateInit<B>(state, taps, tapsLen, dlyLine);

    Geometry g{tapsLen, up, upPhase, down, downPhase, 0, 0, 0};
    g.dlyLen = (g.tapsLen + g.up - 1) / g.up;
    g.padLen = (g.tapsLen + 3 * g.down + g.up - 1) / g.up * g.up;
    g.tapsPerPhase = g.padLen / g.up;
    // Positions of a cycle run to 4 * up * down; every table and area must fit 32 bits.
    if (4 * g.up * g.down > MaxSize) return StatusNoMemory;
    // The SSE2 build of the 32-bit set-up compares in single precision, so the tie
    // 7 * tapsLen = 9 * down gives the padded kind there.
    const double threshold = up == 1 ? 0.5 : 0.3;
    bool padded;
    if constexpr (B::build == Build::Sse2 && sizeof(typename B::Value) == 4) {
        padded = static_cast<float>(tapsLen) / static_cast<float>(g.tapsLen + 3 * g.down) > threshold;
    } else {
        padded = static_cast<double>(tapsLen) / static_cast<double>(g.tapsLen + 3 * g.down) > threshold;
    }
    Status status = StatusOk;
    *state = padded ? InitPadded<B>(g, taps, dlyLine, &status) : InitGathered<B>(g, taps, dlyLine, &status);
    return status;
}

using X87F32 = FirBuild<float, Build::X87>;
using Sse2F32 = FirBuild<float, Build::Sse2>;
using X87F64 = FirBuild<double, Build::X87>;
using Sse2F64 = FirBuild<double, Build::Sse2>;

}  // namespace

Status FirMultirateInitAllocF32_x87(FirStateF32** state, const float* taps, int32_t tapsLen, int32_t upFactor,
    int32_t upPhase, int32_t downFactor, int32_t downPhase, const float* dlyLine) {
    return MultirateInit<X87F32>(state, taps, tapsLen, upFactor, upPhase, downFactor, downPhase, dlyLine);
}
Status FirMultirateInitAllocF32_sse2(FirStateF32** state, const float* taps, int32_t tapsLen, int32_t upFactor,
    int32_t upPhase, int32_t downFactor, int32_t downPhase, const float* dlyLine) {
    return MultirateInit<Sse2F32>(state, taps, tapsLen, upFactor, upPhase, downFactor, downPhase, dlyLine);
}
Status FirMultirateInitAllocF64_x87(FirStateF64** state, const double* taps, int32_t tapsLen, int32_t upFactor,
    int32_t upPhase, int32_t downFactor, int32_t downPhase, const double* dlyLine) {
    return MultirateInit<X87F64>(state, taps, tapsLen, upFactor, upPhase, downFactor, downPhase, dlyLine);
}
Status FirMultirateInitAllocF64_sse2(FirStateF64** state, const double* taps, int32_t tapsLen, int32_t upFactor,
    int32_t upPhase, int32_t downFactor, int32_t downPhase, const double* dlyLine) {
    return MultirateInit<Sse2F64>(state, taps, tapsLen, upFactor, upPhase, downFactor, downPhase, dlyLine);
}

}  // namespace Prim
