#include <QvBase/Util/Math.h>

#include <cmath>
#include <limits>

namespace Util {

namespace {

constexpr long double kLn2 = 0.693147180559945309417232121458176568L;
constexpr long double kLog10Of2 = 0.301029995663981195213738894724493027L;
constexpr long double kLog2OfE = 1.442695040888963407359924681001892137L;

constexpr double kLogGuard = 1e-36;
constexpr double kLogOfZero = -1e35;

// 20 / ln 10 as the float the dB conversion has always used.
constexpr float kDbPerNeper = 8.685889f;
constexpr float kAmplitudeFloor = 1e-20f;
constexpr float kDbFloor = -400.0f;

}  // namespace

double Floor(double x) { return std::floor(x); }
double Ceil(double x) { return std::ceil(x); }
double Pow(double x, double y) { return std::pow(x, y); }
double Sqrt(double x) { return std::sqrt(x); }
double Sin(double x) { return std::sin(x); }
double Cos(double x) { return std::cos(x); }

double Exp(double x) {
    const long double y = static_cast<long double>(x) * kLog2OfE;
    const long double n = std::nearbyint(y);
    const long double f = y - n;
    if (std::isnan(f)) return std::numeric_limits<double>::quiet_NaN();
    // Beyond ±70000 the result over- or underflows a double whatever the fraction.
    const long exponent = static_cast<long>(std::fmax(-70000.0L, std::fmin(70000.0L, n)));
    return static_cast<double>(std::scalbln(std::exp2(f), exponent));
}

double Log(double x) {
    if (x > -kLogGuard && x < kLogGuard) return kLogOfZero;
    return static_cast<double>(std::log2(static_cast<long double>(x)) * kLn2);
}

double Log10(double x) {
    if (x > -kLogGuard && x < kLogGuard) return kLogOfZero;
    return static_cast<double>(std::log2(static_cast<long double>(x)) * kLog10Of2);
}

float AmpToDb(float amplitude) {
    if (amplitude < kAmplitudeFloor) return kDbFloor;
    return static_cast<float>(std::log(static_cast<long double>(amplitude)) * static_cast<long double>(kDbPerNeper));
}

float LinearMap(float x, const float range[2], float c, float d) {
    const long double a = range[0], b = range[1];
    if (a == b) return c;
    return static_cast<float>(((x - a) / (b - a)) * (static_cast<long double>(d) - c) + c);
}

float LinearMapTo(float x, float a, float b, const float range[2]) {
    const long double c = range[0], d = range[1];
    if (a == b) return range[0];
    return static_cast<float>(c + ((x - static_cast<long double>(a)) / (static_cast<long double>(b) - a)) * (d - c));
}

std::int64_t RoundToInt64(double x) {
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    if (std::isnan(x)) return kMin;
    const long double shifted = x < 0 ? static_cast<long double>(x) - 0.5L : static_cast<long double>(x) + 0.5L;
    const long double whole = std::trunc(shifted);
    // 2^63 is exact in long double; everything at or past it does not fit.
    constexpr long double kLimit = 9223372036854775808.0L;
    if (whole >= kLimit) return kMax;
    if (whole < -kLimit) return kMin;
    return static_cast<std::int64_t>(whole);
}

}  // namespace Util
