#pragma once
#include <cstdint>

namespace Util {

double Floor(double x);
double Ceil(double x);
double Pow(double x, double y);
// e^x in extended precision; an infinite argument gives NaN.
double Exp(double x);
double Sqrt(double x);
double Sin(double x);
double Cos(double x);

// Logarithms guarded against zero: |x| < 1e-36 gives -1e35; negative x gives NaN.
double Log(double x);
double Log10(double x);

// 20·log10(amplitude), with -400 for amplitudes below 1e-20 (zero and negatives too).
float AmpToDb(float amplitude);

// x mapped from [range[0], range[1]] onto [c, d], unclamped; an empty range gives c.
float LinearMap(float x, const float range[2], float c, float d);
// The same map with the target given as a pair.
float LinearMapTo(float x, float a, float b, const float range[2]);

// Rounded half away from zero. NaN and values below the 64-bit range give INT64_MIN,
// values above it INT64_MAX.
std::int64_t RoundToInt64(double x);

}  // namespace Util

namespace UI {

// first·t + second·(255 - t), per 8-bit channel of 0x00RRGGBB, divided by 256 with
// rounding; t = 0 and t = 255 return second and first whole, top byte included.
inline std::uint32_t BlendColour(std::uint32_t first, std::uint32_t second, std::uint8_t t) {
    if (t == 0) return second;
    if (t == 255) return first;
    const std::uint32_t keep = t, take = 255u - t;
    // Red and blue share one word, green has its own: no channel can carry into another.
    const std::uint32_t redBlue = ((first & 0x00FF00FFu) * keep + (second & 0x00FF00FFu) * take + 0x00800080u) >> 8;
    const std::uint32_t green = ((first & 0x0000FF00u) * keep + (second & 0x0000FF00u) * take + 0x00008000u) >> 8;
    return (redBlue & 0x00FF00FFu) | (green & 0x0000FF00u);
}

}  // namespace UI
