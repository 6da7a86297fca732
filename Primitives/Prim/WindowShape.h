#pragma once
#include <Primitives/Prim/Status.h>

#include <cstdint>

// What both builds of the cosine windows and the Bartlett window share.
namespace Prim::WindowShape {

// 2 pi as the windows use it.
inline constexpr double twoPi = 6.283185307179586;

// The short windows need at least three elements.
inline Status Check(const void* srcDst, std::int32_t len) {
    if (srcDst == nullptr) return StatusNullPointer;
    return len < 3 ? StatusSizeError : StatusOk;
}

// Window value for cos(k theta) (and cos(2k theta) = 2 cos^2 - 1).
struct Hann {
    double operator()(double c) const { return 0.5 * (1.0 - c); }
};
struct Hamming {
    double operator()(double c) const { return 0.54 - 0.46 * c; }
};
struct Blackman {
    double half;  // (alpha + 1) / 2
    double quarter;  // alpha / 2
    explicit Blackman(float alpha) : half((double(alpha) + 1.0) / 2.0), quarter(double(alpha) / 2.0) {}
    double operator()(double c) const { return half - 0.5 * c - quarter * (2.0 * c * c - 1.0); }
};

}  // namespace Prim::WindowShape
