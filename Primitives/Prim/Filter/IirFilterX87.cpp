// Portable filtering: sample by sample in wide arithmetic, each output and delay value rounded
// to the element type when stored; the direct form of order 2 and above two samples per step.
#include <Primitives/Prim/Filter/IirFilterSteps.h>

#include <cstddef>

namespace Prim {
namespace {

using Wide = long double;

struct X87 {
    template <class T>
    static T OneDirect(IirState<T>& s, T x) {
        const std::int32_t order = s.dlyLen;
        const T* b = s.taps;
        const T* a = s.taps + order;  // a[k] = a'k
        T* d = s.dlyLine;
        const Wide wx = x;
        if (order == 0) return static_cast<T>(b[0] * wx);
        const Wide y = b[0] * wx + d[0];
        for (std::int32_t k = 1; k <= order; ++k) d[k - 1] = static_cast<T>((b[k] * wx - a[k] * y) + d[k]);
        return static_cast<T>(y);
    }

    template <class T>
    static T OneCascade(IirState<T>& s, T x) {
        Wide v = x;
        for (std::int32_t i = 0; i < s.sectionCount; ++i) {
            const T* t = s.taps + 5 * i;
            T* d = s.dlyLine + 2 * i;
            const Wide y = t[0] * v + d[0];
            d[0] = static_cast<T>(t[1] * v + d[1] - t[3] * y);
            d[1] = static_cast<T>(t[2] * v - t[4] * y);
            v = y;
        }
        return static_cast<T>(v);
    }

    // Two samples per step: the delay values between them stay wide.
    template <class T>
    static void PairSteps(IirState<T>& s, const T* src, T* dst, std::size_t n) {
        const std::int32_t order = s.dlyLen;
        const T* b = s.taps;
        const T* a = s.taps + order;
        T* d = s.dlyLine;
        std::size_t i = 0;
        for (; i + 2 <= n; i += 2) {
            const Wide x0 = src[i], x1 = src[i + 1];
            const Wide y0 = b[0] * x0 + d[0];
            const Wide e = (b[1] * x0 + d[1]) - a[1] * y0;
            const Wide y1 = b[0] * x1 + e;
            for (std::int32_t k = 0; k + 2 <= order; ++k)
                d[k] = static_cast<T>(b[k + 1] * x1 - a[k + 1] * y1 + b[k + 2] * x0 - a[k + 2] * y0 + d[k + 2]);
            d[order - 1] = static_cast<T>(b[order] * x1 - a[order] * y1);
            dst[i] = static_cast<T>(y0);
            dst[i + 1] = static_cast<T>(y1);
        }
        if (i < n) dst[i] = OneDirect(s, src[i]);
    }

    template <class T>
    static void Vector(IirState<T>& s, const T* src, T* dst, std::int32_t len, bool direct) {
        const auto n = static_cast<std::size_t>(len);
        if (!direct) {
            for (std::size_t i = 0; i < n; ++i) dst[i] = OneCascade(s, src[i]);
        } else if (s.dlyLen >= 2) {
            PairSteps(s, src, dst, n);
        } else {
            for (std::size_t i = 0; i < n; ++i) dst[i] = OneDirect(s, src[i]);
        }
    }
};

using F32 = IirFilterSteps<float, X87>;
using F64 = IirFilterSteps<double, X87>;

}  // namespace

Status IirOneF32_x87(float src, float* dst, IirStateF32* state) { return F32::One(src, dst, state); }
Status IirOneF64_x87(double src, double* dst, IirStateF64* state) { return F64::One(src, dst, state); }
Status IirF32_x87(const float* src, float* dst, std::int32_t len, IirStateF32* state) {
    return F32::Vector(src, dst, len, state);
}
Status IirF64_x87(const double* src, double* dst, std::int32_t len, IirStateF64* state) {
    return F64::Vector(src, dst, len, state);
}
Status IirInPlaceF32_x87(float* srcDst, std::int32_t len, IirStateF32* state) {
    return F32::InPlace(srcDst, len, state);
}
Status IirInPlaceF64_x87(double* srcDst, std::int32_t len, IirStateF64* state) {
    return F64::InPlace(srcDst, len, state);
}

}  // namespace Prim
