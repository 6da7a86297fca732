// Portable build of the exponential, in double: x = k ln2/64 + r with k
// rounded to nearest, e^x = 2^(k div 64) H[j] (1 + L[j] + r + r^2 P(r)) for
// j = k mod 64, from the 64-row table of 2^(j/64) as H (1 + L).
#include <Primitives/Prim/ExpLnDrivers.h>
#include <Primitives/Prim/FloatBits.h>
#include <Primitives/Prim/FloatFlags.h>
#include <Primitives/Prim/ExpTable.inc>

#include <bit>
#include <cmath>
#include <cstddef>
#include <limits>

namespace Prim {
namespace {

constexpr float overflowAbove = std::bit_cast<float>(0x42B17217u);  // 88.72283172607422
constexpr float underflowBelow = std::bit_cast<float>(0xC2CFF1B4u);  // -103.97207641601562
constexpr double sixtyFourOverLn2 = 92.33248261689366;
constexpr double ln2Over64Head = 0.010830424696223417, ln2Over64Tail = 2.572804622327669e-14;
constexpr double roundingShift = 0x1.8p52;  // adding and subtracting it rounds to an integer
constexpr double c3 = 0.1666666666665788, c4 = 0.04166666666677052, c5 = 0.008333341995140497,
                 c6 = 0.0013888870459233254;

float Exp(float xf, Status& warning) {
    if (std::isnan(xf)) return FloatBits::Quieted(xf);
    if (std::isinf(xf)) return xf > 0 ? xf : 0.0f;
    if ((std::bit_cast<std::uint32_t>(xf) & 0x7F800000u) <= (74u << 23)) return 1.0f;  // |x| < 2^-52: 1 + x
    if (xf > overflowAbove) {
        warning = StatusOverflowWarning;
        FloatFlags::RaiseOverflow();
        return std::numeric_limits<float>::infinity();
    }
    if (xf < underflowBelow) {
        warning = StatusUnderflowWarning;
        FloatFlags::RaiseUnderflow();
        return 0.0f;
    }
    const double x = xf;
    const double k = (x * sixtyFourOverLn2 + roundingShift) - roundingShift;
    const double r = (x - k * ln2Over64Head) - k * ln2Over64Tail;
    const auto ki = static_cast<std::int32_t>(k);
    const std::int32_t j = ki & 63, m = ki >> 6;  // floor division
    const double p = r * r * (0.5 + r * (c3 + r * (c4 + r * (c5 + r * c6))));
    const double h = ExpTable::Rows[j][0];
    // A double holds every 2^m here (m from -163 to 128), so results in the float
    // subnormal range are rounded once, at the store.
    const double twoToM = std::bit_cast<double>(static_cast<std::uint64_t>(m + 1023) << 52);
    return static_cast<float>((h + h * (ExpTable::Rows[j][1] + (r + p))) * twoToM);
}

}  // namespace

Status ExpF32_x87(const float* src, float* dst, std::int32_t len) {
    return ExpLnDrivers::EachElement(src, dst, len, Exp);
}

}  // namespace Prim
