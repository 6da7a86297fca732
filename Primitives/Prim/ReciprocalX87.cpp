// Portable builds, in double. The real forms save divisions: under T = 0 runs
// of four elements are inverted from the inverse of their product, under T > 0
// runs of two elements above the threshold; a run whose product or inverse is
// zero, infinite or NaN is divided element by element instead.
#include <Primitives/Prim/ArithCheck.h>
#include <Primitives/Prim/Reciprocal.h>

#include <cmath>
#include <cstddef>
#include <limits>

namespace Prim {
namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

bool Unusable(double v) { return v == 0.0 || !std::isfinite(v); }

// 1/x with +infinity for either zero.
double Plain(double x, Status& status) {
    if (x == 0.0) {
        status = StatusZeroElementWarning;
        return inf;
    }
    return 1.0 / x;
}

template <class T>
Status InvertReal(T* v, std::int32_t len, T threshold) {
    if (const Status s = ArithCheck::Vectors(len, v); s != StatusOk) return s;
    if (threshold < 0) return StatusNegativeLevel;
    Status status = StatusOk;
    const std::size_t n = static_cast<std::size_t>(len);
    std::size_t i = 0;
    if (!(threshold > 0)) {  // 0, or NaN
        for (; i + 4 <= n; i += 4) {
            const double a0 = v[i], a1 = v[i + 1], a2 = v[i + 2], a3 = v[i + 3];
            const double low = a0 * a1, high = a2 * a3;
            const double p = low * high, r = 1.0 / p;
            if (Unusable(p) || Unusable(r)) {
                for (std::size_t k = i; k < i + 4; ++k) v[k] = static_cast<T>(Plain(v[k], status));
                continue;
            }
            v[i] = static_cast<T>(a1 * (high * r));
            v[i + 1] = static_cast<T>(a0 * (high * r));
            v[i + 2] = static_cast<T>(a3 * (low * r));
            v[i + 3] = static_cast<T>(a2 * (low * r));
        }
        for (; i < n; ++i) v[i] = static_cast<T>(Plain(v[i], status));
        return status;
    }
    const double t = threshold, bound = 1.0 / t;
    const auto above = [t](double x) { return !(std::fabs(x) <= t); };
    while (i < n) {
        const double a0 = v[i];
        if (!above(a0)) {
            v[i++] = static_cast<T>(a0 >= 0 ? bound : -bound);  // -0 counts as 0
            continue;
        }
        if (i + 1 < n && above(v[i + 1])) {
            const double a1 = v[i + 1];
            const double p = a0 * a1, r = 1.0 / p;
            const bool plain = Unusable(p) || Unusable(r);
            v[i] = static_cast<T>(plain ? 1.0 / a0 : a1 * r);
            v[i + 1] = static_cast<T>(plain ? 1.0 / a1 : a0 * r);
            i += 2;
            continue;
        }
        v[i++] = static_cast<T>(1.0 / a0);
    }
    return status;
}

// (re, im) -> (re r, -im r) with r = 1/p, or the threshold's cases.
template <class T>
Status InvertComplex(T* v, std::int32_t len, double threshold) {
    Status status = StatusOk;
    const std::size_t n = static_cast<std::size_t>(len);
    const double t2 = threshold * threshold;
    for (std::size_t i = 0; i < 2 * n; i += 2) {
        const double re = v[i], im = v[i + 1];
        const double p = re * re + im * im;
        double outRe, outIm;
        if (!(threshold > 0)) {
            if (p == 0.0) {
                outRe = inf;
                outIm = 0.0;
                status = StatusZeroElementWarning;
            } else {
                const double r = 1.0 / p;
                outRe = re * r;
                outIm = -im * r;
            }
        } else if (p >= t2) {
            const double r = 1.0 / p;
            outRe = re * r;
            outIm = -im * r;
        } else if (p == 0.0) {
            outRe = 1.0 / threshold;
            outIm = 0.0;
        } else {
            const double d = std::sqrt(p) * threshold;
            outRe = re / d;
            outIm = -im / d;
        }
        v[i] = static_cast<T>(outRe);
        v[i + 1] = static_cast<T>(outIm);
    }
    return status;
}

}  // namespace

Status InvThreshInPlaceF32_x87(float* srcDst, std::int32_t len, float threshold) {
    return InvertReal(srcDst, len, threshold);
}
Status InvThreshInPlaceF64_x87(double* srcDst, std::int32_t len, double threshold) {
    return InvertReal(srcDst, len, threshold);
}
Status InvThreshInPlaceC32_x87(float* srcDst, std::int32_t len, float threshold) {
    if (const Status s = ArithCheck::Vectors(len, srcDst); s != StatusOk) return s;
    if (!(threshold >= 0)) return StatusNegativeLevel;
    return InvertComplex(srcDst, len, threshold);
}
Status InvThreshInPlaceC64_x87(double* srcDst, std::int32_t len, double threshold) {
    if (const Status s = ArithCheck::Vectors(len, srcDst); s != StatusOk) return s;
    if (threshold < 0) return StatusNegativeLevel;
    return InvertComplex(srcDst, len, threshold);  // a NaN threshold runs as 0
}

}  // namespace Prim
