#pragma once
#include <Primitives/Prim/Status.h>

#include <cmath>
#include <cstdint>

// The Kaiser windows' building blocks: argument checks, the exponentials and
// the polynomial approximations of the modified Bessel function I0.
namespace Prim::WindowKaiserMath {

inline Status Check(const void* srcDst, std::int32_t len, float alpha, double limit) {
    if (srcDst == nullptr) return StatusNullPointer;
    if (len < 1) return StatusSizeError;
    // e^beta must stay inside the result type's exponent range.
    if (std::fabs(double(alpha)) * double(len - 1) * 0.5 > limit) return StatusKaiserAlphaError;
    return StatusOk;
}

// k (M - k) in 64 bits: in 32 bits it wraps from about 92,700 points on.
inline std::int64_t Product(std::int64_t k, std::int64_t m) { return k * (m - k); }

enum class ExpRange { Unlimited, Sse2 };

// e^x: x = k ln2 + r, ln2 in a high and a low part, exp(r) by a rational form.
inline double ExpF64(double x, ExpRange range) {
    if (range == ExpRange::Sse2) {
        if (x > 709.782341003) return HUGE_VAL;
        if (x < -708.393677758) return 0.0;
    }
    if (std::isnan(x)) return x;
    const double k = std::nearbyint(x * 1.4426950408889634);
    const double r = (x - k * 0.6931471803691238) - k * 1.9082149292705877e-10;
    const double r2 = r * r;
    const double c = r -
        r2 *
            (0.16666666666666602 +
                r2 *
                    (-0.0027777777777015593 +
                        r2 * (6.613756321437934e-5 + r2 * (-1.6533902205465252e-6 + r2 * 4.1381367970572385e-8))));
    const double er = 1.0 + (r + r * c / (2.0 - c));
    return std::ldexp(er, static_cast<int>(k));
}

// Single-precision e^x of the SSE2 build: ln2 split as 0.693359375 and a small
// correction, a polynomial for exp(r).
inline float ExpF32(float x) {
    if (x > 87.1f) return HUGE_VALF;
    if (x < -87.3365f) return 0.0f;
    if (std::isnan(x)) return x;
    const float k = std::nearbyint(x * 1.44269504088896341f);
    const float r = (x - k * 0.693359375f) - k * -2.12194440e-4f;
    float p = 1.9875691500e-4f;
    p = p * r + 1.3981999507e-3f;
    p = p * r + 8.3334519073e-3f;
    p = p * r + 4.1665795894e-2f;
    p = p * r + 1.6666665459e-1f;
    p = p * r + 5.0000001201e-1f;
    const float er = p * (r * r) + r + 1.0f;
    return std::ldexp(er, static_cast<int>(k));
}

// I0 for the 32-bit window (Abramowitz and Stegun 9.8.1 and 9.8.2), in the
// arithmetic of T with the exponential `exp`.
template <class T, class Exp>
T I0Short(T argument, Exp exp) {
    const T x = std::fabs(argument);
    if (x < T(3.75)) {
        const T q = x * T(0.26666666666666666);
        const T y = q * q;
        return T(1) +
            y *
            (T(3.5156229) +
                y * (T(3.0899424) + y * (T(1.2067492) + y * (T(0.2659732) + y * (T(0.0360768) + y * T(0.0045813))))));
    }
    const T t = T(3.75) / x;
    const T p = T(0.39894228) +
        t *
            (T(0.01328592) +
                t *
                    (T(0.00225319) +
                        t *
                            (T(-0.00157565) +
                                t *
                                    (T(0.00916281) +
                                        t *
                                            (T(-0.02057706) +
                                                t * (T(0.02635537) + t * (T(-0.01647633) + t * T(0.00392377))))))));
    return p * exp(x) / std::sqrt(x);
}

// I0 for the 64-bit window.
inline double I0Long(double argument, ExpRange range) {
    const double x = std::fabs(argument);
    if (x < 4.0) {
        const double q = x * 0.25;
        const double y = q * q;
        return 0.9999999985 +
            y *
            (4.0000001935 +
                y *
                    (3.9999959541 +
                        y *
                            (1.777809969 +
                                y * (0.4443189384 + y * (0.0713758187 + y * (0.0075942968 + y * 0.0008267816))))));
    }
    const double t = 4.0 / x;
    const double p = 0.3989422809 +
        t *
            (0.0124667783 +
                t *
                    (0.0017623668 +
                        t *
                            (0.00026 +
                                t *
                                    (0.0022585672 +
                                        t *
                                            (-0.0128314822 +
                                                t *
                                                    (0.0495811118 +
                                                        t *
                                                            (-0.1209940805 +
                                                                t *
                                                                    (0.1895476618 +
                                                                        t *
                                                                            (-0.1867783276 +
                                                                                t *
                                                                                    (0.1113315511 +
                                                                                        t *
                                                                                            (-0.0366694767 +
                                                                                                t * 0.0051246015)))))))))));
    return p * ExpF64(x, range) / std::sqrt(x);
}

}  // namespace Prim::WindowKaiserMath
