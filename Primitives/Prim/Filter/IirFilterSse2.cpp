// SSE2 filtering: one sample at a time in the element's precision, and vectors in chunks of
// the work buffer's length, long chunks through the block path.
#include <Primitives/Prim/BuildServices.h>
#include <Primitives/Prim/Filter/IirFilterSteps.h>
#include <Primitives/Prim/Filter/IirSse2.h>
#include <Primitives/Prim/SimdLanes.h>

#include <algorithm>

namespace Prim {
namespace IirSse2 {

template <class T>
T OneDirect(IirState<T>& s, T x) {
    using Q = SimdLanes::Four<T>;
    const std::int32_t order = s.dlyLen;
    const T* b = s.taps;
    const T* a = s.taps + order;
    T* d = s.dlyLine;
    if (order == 0) return b[0] * x;
    const T y = b[0] * x + d[0];
    std::int32_t k = 1;
    // Four delay values per step; each group reads its values before the next group writes.
    const Q vx = Q::Splat(x), vy = Q::Splat(y);
    for (; k + 3 <= order; k += 4) ((Q::LoadU(b + k) * vx - Q::LoadU(a + k) * vy) + Q::LoadU(d + k)).StoreU(d + k - 1);
    for (; k <= order; ++k) d[k - 1] = (b[k] * x - a[k] * y) + d[k];
    return y;
}

template <class T>
T OneCascade(IirState<T>& s, T x) {
    T v = x;
    const std::int64_t width = IirRecord::Tags<T>::sampleTableWidth;
    for (std::int32_t i = 0; i < s.sectionCount; ++i) {
        const T* e = s.sampleTable + width * i;
        // Floats: b'0, b'1, b'2, 0, c1, c2, 0, 0; doubles: b'0, b'0, b'1, b'2, c1, c2.
        const T b0 = e[0], b1 = e[width == 8 ? 1 : 2], b2 = e[width == 8 ? 2 : 3], c1 = e[4], c2 = e[5];
        T* d = s.dlyLine + 2 * i;
        const T y = b0 * v + d[0];
        d[0] = (b1 * v + d[1]) + c1 * y;
        d[1] = b2 * v + c2 * y;
        v = y;
    }
    return v;
}

template float OneDirect(IirStateF32&, float);
template double OneDirect(IirStateF64&, double);
template float OneCascade(IirStateF32&, float);
template double OneCascade(IirStateF64&, double);

}  // namespace IirSse2

namespace {

struct Sse2 {
    template <class T>
    static T OneDirect(IirState<T>& s, T x) {
        return IirSse2::OneDirect(s, x);
    }
    template <class T>
    static T OneCascade(IirState<T>& s, T x) {
        return IirSse2::OneCascade(s, x);
    }

    template <class T>
    static void Vector(IirState<T>& s, const T* src, T* dst, std::int32_t len, bool direct) {
        const std::int64_t blockAbove = 4 * std::int64_t{direct ? s.dlyLen : s.sectionCount};
        for (std::int32_t start = 0; start < len; start += IirWorkLength) {
            const std::int32_t n = std::min(IirWorkLength, len - start);
            const T* x = src + start;
            T* y = dst + start;
            if (direct && s.dlyLen == 0) {
                BuildServices<T, Build::Sse2>::MulConst(x, s.tapTable[0], y, n);
            } else if (n > blockAbove) {
                direct ? IirSse2::BlockDirect(s, x, y, std::size_t(n)) : IirSse2::BlockCascade(s, x, y, std::size_t(n));
            } else {
                for (std::int32_t i = 0; i < n; ++i)
                    y[i] = direct ? IirSse2::OneDirect(s, x[i]) : IirSse2::OneCascade(s, x[i]);
            }
        }
    }
};

using F32 = IirFilterSteps<float, Sse2>;
using F64 = IirFilterSteps<double, Sse2>;

}  // namespace

Status IirOneF32_sse2(float src, float* dst, IirStateF32* state) { return F32::One(src, dst, state); }
Status IirOneF64_sse2(double src, double* dst, IirStateF64* state) { return F64::One(src, dst, state); }
Status IirF32_sse2(const float* src, float* dst, std::int32_t len, IirStateF32* state) {
    return F32::Vector(src, dst, len, state);
}
Status IirF64_sse2(const double* src, double* dst, std::int32_t len, IirStateF64* state) {
    return F64::Vector(src, dst, len, state);
}
Status IirInPlaceF32_sse2(float* srcDst, std::int32_t len, IirStateF32* state) {
    return F32::InPlace(srcDst, len, state);
}
Status IirInPlaceF64_sse2(double* srcDst, std::int32_t len, IirStateF64* state) {
    return F64::InPlace(srcDst, len, state);
}

}  // namespace Prim
