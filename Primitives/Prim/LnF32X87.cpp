// Portable build of the logarithm, in double. Near 1 the series of ln(1 + t)
// in t = x - 1; elsewhere x = 2^e y, c = y rounded to a multiple of 1/64,
// ln x = e ln 2 + ln c + ln(1 + t) with t = (y - c) / c, from the 65-row table
// of 1/c and ln c. Subnormal inputs are scaled by 2^60 first.
#include <Primitives/Prim/ExpLnDrivers.h>
#include <Primitives/Prim/FloatBits.h>
#include <Primitives/Prim/FloatFlags.h>
#include <Primitives/Prim/LnTableF32.inc>

#include <bit>
#include <cmath>
#include <cstddef>
#include <limits>

namespace Prim {
namespace {

constexpr double ln2Head = 0.6931471805598903, ln2Tail = 5.497923018708371e-14;
constexpr double nearOne = 0.009765625;  // 5/512

// ln(1 + t) for small t: t - t^2/2 + t^3 c3 + ... + t^8 c8.
double Log1p(double t) {
    constexpr double c3 = 0.33333333333334386, c4 = -0.25000000000003386, c5 = 0.19999999911565072,
                     c6 = -0.1666666651884978, c7 = 0.1428756883852146, c8 = -0.1250214602960357;
    return t + t * t * (-0.5 + t * (c3 + t * (c4 + t * (c5 + t * (c6 + t * (c7 + t * c8))))));
}

float Ln(float xf, Status& warning) {
    if (std::isnan(xf)) return FloatBits::Quieted(xf);
    if (xf == 0.0f) {
        warning = StatusLnSingularWarning;
        FloatFlags::RaiseDivideByZero();
        return -std::numeric_limits<float>::infinity();
    }
    if (xf < 0.0f) {
        warning = StatusLnInvalidWarning;
        FloatFlags::RaiseInvalid();
        return FloatBits::NegativeQuietNanF32;
    }
    if (std::isinf(xf)) return xf;
    double x = xf;
    std::int32_t scaled = 0;
    if (xf < std::numeric_limits<float>::min()) {
        x *= 0x1p60;
        scaled = 60;
    } else if (std::fabs(x - 1.0) <= nearOne) {
        return static_cast<float>(Log1p(x - 1.0));
    }
    const auto bits = std::bit_cast<std::uint64_t>(x);
    const double e = double(std::int32_t(bits >> 52) - 1023 - scaled);
    const double y = std::bit_cast<double>((bits & 0x000FFFFFFFFFFFFFull) | 0x3FF0000000000000ull);
    const auto steps = static_cast<std::size_t>(y * 64.0 + 0.5);  // 64 to 128
    const double c = double(steps) / 64.0;
    const auto& row = LnTableF32::Rows[steps - 64];
    const double t = (y - c) * row[0];  // y - c is exact
    return static_cast<float>((e * ln2Head + row[1]) + (e * ln2Tail + row[2] + Log1p(t)));
}

}  // namespace

Status LnF32_x87(const float* src, float* dst, std::int32_t len) {
    return ExpLnDrivers::EachElement(src, dst, len, Ln);
}

}  // namespace Prim
