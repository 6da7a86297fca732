// Creation, taps, delay-line exchange and release of the recursive-filter records, both builds.
#include <Primitives/Prim/BuildServices.h>
#include <Primitives/Prim/Filter/IirRecord.h>

#include <cmath>
#include <cstddef>

namespace Prim {
namespace {

using IirRecord::Areas;
using IirRecord::Kind;
using IirRecord::Lanes;
using IirRecord::Tags;

template <class T>
bool UnusableDivisor(T v) {
    return v == T(0) || std::isnan(v);
}

// Division by a0 as a multiplication by its reciprocal: the x87 build keeps the reciprocal
// wide and rounds each product, the SSE2 build rounds the reciprocal to the element type.
template <class T, Build B>
class Scaler {
public:
    explicit Scaler(T a0) : wide_(1.0L / static_cast<long double>(a0)), narrow_(T(1) / a0) {}
    T operator()(T v) const {
        if constexpr (B == Build::Sse2) {
            return v * narrow_;
        } else {
            return static_cast<T>(static_cast<long double>(v) * wide_);
        }
    }

private:
    long double wide_;
    T narrow_;
};

// Weights of the past outputs y[n-1-j] in four outputs y[n..n+3] (N rows), then the weights of
// the feed-forward values w[n], w[n+1], w[n+2] (three rows); a' holds a'1..a'N.
template <class T>
void FillBlockRows(const T* aNorm, std::int32_t order, T* out) {
    const auto c = [&](std::int32_t k) { return k >= 1 && k <= order ? -aNorm[k - 1] : T(0); };
    const T c1 = c(1), c2 = c(2), c3 = c(3);
    for (std::int32_t j = 0; j < order; ++j) {
        T* r = out + 4 * j;
        r[0] = c(j + 1);
        r[1] = c1 * r[0] + c(j + 2);
        r[2] = c1 * r[1] + c2 * r[0] + c(j + 3);
        r[3] = c1 * r[2] + c2 * r[1] + c3 * r[0] + c(j + 4);
    }
    const T h1 = c1, h2 = out[1], h3 = out[2];
    const T tail[12] = {1, h1, h2, h3, 0, 1, h1, h2, 0, 0, 1, h1};
    for (int i = 0; i < 12; ++i) out[4 * order + i] = tail[i];
}

template <class T>
void FillLanes(T* out, T v) {
    for (std::int64_t l = 0; l < Lanes<T>; ++l) out[l] = v;
}

template <class T, Build B>
Status SetDirectTaps(IirState<T>& s, const T* taps) {
    const std::int32_t order = s.dlyLen;
    const T a0 = taps[order + 1];
    if (UnusableDivisor(a0)) return StatusDivideByZero;
    const Scaler<T, B> scale(a0);
    s.taps[0] = scale(taps[0]);
    for (std::int32_t k = 1; k <= order; ++k) {
        s.taps[k] = scale(taps[k]);
        s.taps[order + k] = scale(taps[order + 1 + k]);
    }
    if constexpr (B == Build::Sse2) {
        for (std::int32_t k = 0; k <= order; ++k) FillLanes(s.tapTable + Lanes<T> * k, s.taps[k]);
        if (order >= 1) FillBlockRows(s.taps + order + 1, order, s.blockTable);
    }
    return StatusOk;
}

// Every section is checked before any is written, so a refused set leaves the record as it was.
template <class T, Build B>
Status SetCascadeTaps(IirState<T>& s, const T* taps) {
    const std::int32_t sections = s.sectionCount;
    for (std::int32_t i = 0; i < sections; ++i) {
        if (UnusableDivisor(taps[6 * i + 3]) || UnusableDivisor(taps[6 * i])) return StatusDivideByZero;
    }
    for (std::int32_t i = 0; i < sections; ++i) {
        const T* in = taps + 6 * i;
        T* out = s.taps + 5 * i;
        const Scaler<T, B> scale(in[3]);
        const T normalised[5] = {scale(in[0]), scale(in[1]), scale(in[2]), scale(in[4]), scale(in[5])};
        for (int k = 0; k < 5; ++k) out[k] = normalised[k];
        if constexpr (B == Build::Sse2) {
            for (int k = 0; k < 3; ++k) FillLanes(s.tapTable + Lanes<T> * (3 * i + k), out[k]);
            FillBlockRows(out + 3, 2, s.blockTable + 20 * i);
            const T c1 = -out[3], c2 = -out[4];
            T* one = s.sampleTable + Tags<T>::sampleTableWidth * i;
            if constexpr (sizeof(T) == 4) {
                const T entry[8] = {out[0], out[1], out[2], 0, c1, c2, 0, 0};
                for (int k = 0; k < 8; ++k) one[k] = entry[k];
            } else {
                const T entry[6] = {out[0], out[0], out[1], out[2], c1, c2};
                for (int k = 0; k < 6; ++k) one[k] = entry[k];
            }
        }
    }
    return StatusOk;
}

template <class T, Build B>
Status SetTaps(IirState<T>& s, const T* taps) {
    return IirRecord::KindOf(s) == Kind::Direct ? SetDirectTaps<T, B>(s, taps) : SetCascadeTaps<T, B>(s, taps);
}

template <class T, Build B>
Status InitAlloc(IirState<T>** out, const T* taps, std::int32_t size, const T* dly, Kind kind) {
    if (taps == nullptr || out == nullptr) return StatusNullPointer;
    if (kind == Kind::Direct ? size < 0 : size < 1) return StatusIirOrderError;
    const Areas<T> areas(kind, size, B == Build::Sse2);
    const std::int64_t total = areas.TotalBytes();
    if (total > MaxAllocBytes) return StatusNoMemory;
    std::uint8_t* block = AllocU8Direct(static_cast<std::int32_t>(total));
    if (block == nullptr) return StatusNoMemory;
    // Cleared whole, so that a record refused its taps holds zeros rather than leftovers.
    BuildServices<T, B>::ZeroBytes(block, static_cast<std::int32_t>(total));
    auto* s = reinterpret_cast<IirState<T>*>(block);
    *out = s;
    std::uint8_t* next = block + Areas<T>::RecordBytes();
    const auto take = [&](std::int64_t count) {
        T* area = count > 0 ? reinterpret_cast<T*>(next) : nullptr;
        next += Areas<T>::Bytes(count);
        return area;
    };
    s->tag = kind == Kind::Direct ? Tags<T>::direct : Tags<T>::cascade;
    s->taps = take(areas.taps);
    s->dlyLine = take(areas.dly);
    s->dlyLen = kind == Kind::Direct ? size : 2 * size;
    s->sectionCount = kind == Kind::Direct ? 0 : size;
    s->ownsBlock = 0;
    if constexpr (B == Build::Sse2) {
        s->tapTable = take(areas.tapTable);
        s->blockTable = take(areas.blockTable);
        s->sampleTable = take(areas.sampleTable);
        s->workBuffer = take(areas.work);
        s->workBuffer2 = nullptr;
    }
    if (s->dlyLen > 0) {
        if (dly != nullptr) {
            BuildServices<T, B>::Copy(dly, s->dlyLine, s->dlyLen);
        } else {
            BuildServices<T, B>::Zero(s->dlyLine, s->dlyLen);
        }
        if (kind == Kind::Direct) s->dlyLine[size] = T(0);
    }
    const Status status = SetTaps<T, B>(*s, taps);
    s->ownsBlock = 1;
    return status;
}

template <class T>
bool OwnTag(const IirState<T>& s) {
    return IirRecord::KindOf(s) != Kind::Other;
}

template <Build B>
Status SetTapsF64(const double* taps, IirStateF64* s) {
    if (taps == nullptr || s == nullptr) return StatusNullPointer;
    if (!OwnTag(*s)) return StatusWrongContext;
    return SetTaps<double, B>(*s, taps);
}

template <class T, Build B>
Status GetDelayLine(const IirState<T>* s, T* dly) {
    if (s == nullptr || dly == nullptr) return StatusNullPointer;
    if (!OwnTag(*s)) return StatusWrongContext;
    BuildServices<T, B>::Copy(s->dlyLine, dly, s->dlyLen);
    return StatusOk;
}

template <class T, Build B>
Status SetDelayLine(IirState<T>* s, const T* dly) {
    if (s == nullptr) return StatusNullPointer;
    if (!OwnTag(*s)) return StatusWrongContext;
    if (dly != nullptr) {
        BuildServices<T, B>::Copy(dly, s->dlyLine, s->dlyLen);
    } else {
        BuildServices<T, B>::Zero(s->dlyLine, s->dlyLen);
    }
    return StatusOk;
}

template <class T>
Status FreeState(IirState<T>* s) {
    if (s == nullptr) return StatusNullPointer;
    if (!OwnTag(*s)) return StatusWrongContext;
    if (s->ownsBlock != 0) FreeDirect(s);
    return StatusOk;
}

}  // namespace

#define PRIM_IIR_SETUP_DEFINE(suffix, build)                                                                         \
    Status IirInitAllocF32##suffix(IirStateF32** state, const float* taps, std::int32_t order, const float* dly) {   \
        return InitAlloc<float, build>(state, taps, order, dly, Kind::Direct);                                       \
    }                                                                                                                \
    Status IirInitAllocF64##suffix(IirStateF64** state, const double* taps, std::int32_t order, const double* dly) { \
        return InitAlloc<double, build>(state, taps, order, dly, Kind::Direct);                                      \
    }                                                                                                                \
    Status IirInitAllocBiquadF32##suffix(                                                                            \
        IirStateF32** state, const float* taps, std::int32_t sections, const float* dly) {                           \
        return InitAlloc<float, build>(state, taps, sections, dly, Kind::Cascade);                                   \
    }                                                                                                                \
    Status IirInitAllocBiquadF64##suffix(                                                                            \
        IirStateF64** state, const double* taps, std::int32_t sections, const double* dly) {                         \
        return InitAlloc<double, build>(state, taps, sections, dly, Kind::Cascade);                                  \
    }                                                                                                                \
    Status IirSetTapsF64##suffix(const double* taps, IirStateF64* state) { return SetTapsF64<build>(taps, state); }  \
    Status IirGetDelayLineF32##suffix(const IirStateF32* state, float* dly) {                                        \
        return GetDelayLine<float, build>(state, dly);                                                               \
    }                                                                                                                \
    Status IirGetDelayLineF64##suffix(const IirStateF64* state, double* dly) {                                       \
        return GetDelayLine<double, build>(state, dly);                                                              \
    }                                                                                                                \
    Status IirSetDelayLineF32##suffix(IirStateF32* state, const float* dly) {                                        \
        return SetDelayLine<float, build>(state, dly);                                                               \
    }                                                                                                                \
    Status IirSetDelayLineF64##suffix(IirStateF64* state, const double* dly) {                                       \
        return SetDelayLine<double, build>(state, dly);                                                              \
    }                                                                                                                \
    Status IirFreeF32##suffix(IirStateF32* state) { return FreeState(state); }                                       \
    Status IirFreeF64##suffix(IirStateF64* state) { return FreeState(state); }

PRIM_IIR_SETUP_DEFINE(_x87, Build::X87)
PRIM_IIR_SETUP_DEFINE(_sse2, Build::Sse2)
#undef PRIM_IIR_SETUP_DEFINE

}  // namespace Prim
