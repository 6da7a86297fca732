#include <Primitives/Prim/Fft/FftCodelets.h>

namespace Prim {
namespace {
constexpr double R = 0.7071067811865476;  // sqrt(0.5)
constexpr double S = 1.4142135623730951;  // sqrt(2)
}  // namespace

void FftCodeletReal0F64_x87(const double* src, double* dst) { dst[0] = src[0]; }
void FftCodeletReal0ScaledF64_x87(const double* src, double* dst, double f) { dst[0] = src[0] * f; }

void FftCodeletReal1F64_x87(const double* src, double* dst) {
    double x0 = src[0], x1 = src[1];
    dst[0] = x0 + x1;
    dst[1] = x0 - x1;
}

void FftCodeletReal1ScaledF64_x87(const double* src, double* dst, double f) {
    double x0 = src[0], x1 = src[1];
    dst[0] = (x0 + x1) * f;
    dst[1] = (x0 - x1) * f;
}

void FftCodeletRealFwd2F64_x87(const double* src, double* dst) {
    double x0 = src[0], x1 = src[1], x2 = src[2], x3 = src[3];
    double s = x0 + x2, t = x3 + x1;
    dst[0] = s + t;
    dst[1] = s - t;
    dst[2] = x0 - x2;
    dst[3] = x3 - x1;
}

void FftCodeletRealFwd2ScaledF64_x87(const double* src, double* dst, double f) {
    double x0 = src[0], x1 = src[1], x2 = src[2], x3 = src[3];
    double s = (x0 + x2) * f, t = (x3 + x1) * f;
    dst[0] = s + t;
    dst[1] = s - t;
    dst[2] = (x0 - x2) * f;
    dst[3] = (x3 - x1) * f;
}

namespace {

inline void Forward3(
    double a0, double a1, double b0, double b1, double c0, double c1, double d0, double d1, double* dst) {
    double u = (c1 - d1) * R;
    double v = (c1 + d1) * -R;
    dst[0] = (a0 + b0) + (c0 + d0);
    dst[1] = (a0 + b0) - (c0 + d0);
    dst[2] = a1 + u;
    dst[3] = v - b1;
    dst[4] = a0 - b0;
    dst[5] = d0 - c0;
    dst[6] = a1 - u;
    dst[7] = b1 + v;
}

inline void Inverse3(double sum, double diff, double p4x2, double p5x2, double p26s, double p26d, double p37d,
    double p37s, double* dst) {
    double q1 = sum + p4x2, q2 = sum - p4x2;
    double q3 = diff - p5x2, q4 = diff + p5x2;
    double q5 = 2.0 * p26s, q6 = 2.0 * p37d;
    double q7 = (p26d - p37s) * S, q8 = (p26d + p37s) * -S;
    dst[0] = q1 + q5;
    dst[4] = q1 - q5;
    dst[2] = q2 - q6;
    dst[6] = q2 + q6;
    dst[1] = q3 + q7;
    dst[5] = q3 - q7;
    dst[3] = q4 + q8;
    dst[7] = q4 - q8;
}

}  // namespace

void FftCodeletRealFwd3F64_x87(const double* src, double* dst) {
    const double* x = src;
    Forward3(
        x[0] + x[4], x[0] - x[4], x[2] + x[6], x[2] - x[6], x[1] + x[5], x[1] - x[5], x[3] + x[7], x[3] - x[7], dst);
}

void FftCodeletRealFwd3ScaledF64_x87(const double* src, double* dst, double f) {
    const double* x = src;
    Forward3((x[0] + x[4]) * f, (x[0] - x[4]) * f, (x[2] + x[6]) * f, (x[2] - x[6]) * f, (x[1] + x[5]) * f,
        (x[1] - x[5]) * f, (x[3] + x[7]) * f, (x[3] - x[7]) * f, dst);
}

void FftCodeletRealInv2F64_x87(const double* src, double* dst) {
    double sum = src[0] + src[1], diff = src[0] - src[1];
    double re2 = 2.0 * src[2], im2 = 2.0 * src[3];
    dst[0] = sum + re2;
    dst[2] = sum - re2;
    dst[1] = diff - im2;
    dst[3] = diff + im2;
}

void FftCodeletRealInv2ScaledF64_x87(const double* src, double* dst, double f) {
    double sum = (src[0] + src[1]) * f, diff = (src[0] - src[1]) * f;
    double re2 = (2.0 * src[2]) * f, im2 = (2.0 * src[3]) * f;
    dst[0] = sum + re2;
    dst[2] = sum - re2;
    dst[1] = diff - im2;
    dst[3] = diff + im2;
}

void FftCodeletRealInv3F64_x87(const double* src, double* dst) {
    const double* p = src;
    Inverse3(p[0] + p[1], p[0] - p[1], 2.0 * p[4], 2.0 * p[5], p[2] + p[6], p[2] - p[6], p[3] - p[7], p[3] + p[7], dst);
}

void FftCodeletRealInv3ScaledF64_x87(const double* src, double* dst, double f) {
    const double* p = src;
    Inverse3((p[0] + p[1]) * f, (p[0] - p[1]) * f, (2.0 * p[4]) * f, (2.0 * p[5]) * f, (p[2] + p[6]) * f,
        (p[2] - p[6]) * f, (p[3] - p[7]) * f, (p[3] + p[7]) * f, dst);
}

const FftCodeletReal FftRowRealForwardF64_x87[4] = {
    FftCodeletReal0F64_x87, FftCodeletReal1F64_x87, FftCodeletRealFwd2F64_x87, FftCodeletRealFwd3F64_x87};
const FftCodeletRealScaled FftRowRealForwardScaledF64_x87[4] = {FftCodeletReal0ScaledF64_x87,
    FftCodeletReal1ScaledF64_x87, FftCodeletRealFwd2ScaledF64_x87, FftCodeletRealFwd3ScaledF64_x87};
const FftCodeletReal FftRowRealInverseF64_x87[4] = {
    FftCodeletReal0F64_x87, FftCodeletReal1F64_x87, FftCodeletRealInv2F64_x87, FftCodeletRealInv3F64_x87};
const FftCodeletRealScaled FftRowRealInverseScaledF64_x87[4] = {FftCodeletReal0ScaledF64_x87,
    FftCodeletReal1ScaledF64_x87, FftCodeletRealInv2ScaledF64_x87, FftCodeletRealInv3ScaledF64_x87};

}  // namespace Prim
