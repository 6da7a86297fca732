#include <Primitives/Prim/Fft/FftCodelets.h>

namespace Prim {
namespace {

// The real codelets of every family: T is the element type, C the type each sum is
// carried in (the 32-bit family's x87 members hold their sums wider and round on store).
// The constants are those of the element type, widened.
template <typename T, typename C>
struct RealCodelets {
    static constexpr C R = C(T(0.7071067811865476));  // sqrt(0.5)
    static constexpr C S = C(T(1.4142135623730951));  // sqrt(2)

    static void Copy(const T* src, T* dst) { dst[0] = src[0]; }
    static void CopyScaled(const T* src, T* dst, T f) { dst[0] = T(C(src[0]) * C(f)); }

    static void Two(const T* src, T* dst) {
        const C x0 = src[0], x1 = src[1];
        dst[0] = T(x0 + x1);
        dst[1] = T(x0 - x1);
    }
    static void TwoScaled(const T* src, T* dst, T f) {
        const C x0 = src[0], x1 = src[1];
        dst[0] = T((x0 + x1) * C(f));
        dst[1] = T((x0 - x1) * C(f));
    }

    static void Forward4(C s, C t, C d02, C d31, T* dst) {
        dst[0] = T(s + t);
        dst[1] = T(s - t);
        dst[2] = T(d02);
        dst[3] = T(d31);
    }
    static void Fwd2(const T* src, T* dst) {
        const C x0 = src[0], x1 = src[1], x2 = src[2], x3 = src[3];
        Forward4(x0 + x2, x3 + x1, x0 - x2, x3 - x1, dst);
    }
    static void Fwd2Scaled(const T* src, T* dst, T f) {
        const C x0 = src[0], x1 = src[1], x2 = src[2], x3 = src[3], c = f;
        Forward4((x0 + x2) * c, (x3 + x1) * c, (x0 - x2) * c, (x3 - x1) * c, dst);
    }

    static void Inverse4(C sum, C diff, C re2, C im2, T* dst) {
        const C x0 = sum + re2, x2 = sum - re2, x1 = diff - im2, x3 = diff + im2;
        dst[0] = T(x0);
        dst[1] = T(x1);
        dst[2] = T(x2);
        dst[3] = T(x3);
    }
    static void Inv2(const T* src, T* dst) {
        const C p0 = src[0], p1 = src[1], p2 = src[2], p3 = src[3];
        Inverse4(p0 + p1, p0 - p1, C(2) * p2, C(2) * p3, dst);
    }
    static void Inv2Scaled(const T* src, T* dst, T f) {
        const C p0 = src[0], p1 = src[1], p2 = src[2], p3 = src[3], c = f;
        Inverse4((p0 + p1) * c, (p0 - p1) * c, (C(2) * p2) * c, (C(2) * p3) * c, dst);
    }

    // a, b, c, d: the sums and differences of x_t and x_(t+4) for t = 0, 2, 1, 3.
    static void Forward8(C a0, C a1, C b0, C b1, C c0, C c1, C d0, C d1, T* dst) {
        const C u = (c1 - d1) * R;
        const C v = (c1 + d1) * -R;
        dst[0] = T((a0 + b0) + (c0 + d0));
        dst[1] = T((a0 + b0) - (c0 + d0));
        dst[2] = T(a1 + u);
        dst[3] = T(v - b1);
        dst[4] = T(a0 - b0);
        dst[5] = T(d0 - c0);
        dst[6] = T(a1 - u);
        dst[7] = T(b1 + v);
    }
    static void Fwd3(const T* src, T* dst) {
        C x[8];
        for (int i = 0; i < 8; ++i) x[i] = src[i];
        Forward8(x[0] + x[4], x[0] - x[4], x[2] + x[6], x[2] - x[6], x[1] + x[5], x[1] - x[5], x[3] + x[7], x[3] - x[7],
            dst);
    }
    static void Fwd3Scaled(const T* src, T* dst, T factor) {
        C x[8];
        for (int i = 0; i < 8; ++i) x[i] = src[i];
        const C f = factor;
        Forward8((x[0] + x[4]) * f, (x[0] - x[4]) * f, (x[2] + x[6]) * f, (x[2] - x[6]) * f, (x[1] + x[5]) * f,
            (x[1] - x[5]) * f, (x[3] + x[7]) * f, (x[3] - x[7]) * f, dst);
    }

    static void Inverse8(C sum, C diff, C p4x2, C p5x2, C p26s, C p26d, C p37d, C p37s, T* dst) {
        const C q1 = sum + p4x2, q2 = sum - p4x2;
        const C q3 = diff - p5x2, q4 = diff + p5x2;
        const C q5 = C(2) * p26s, q6 = C(2) * p37d;
        const C q7 = (p26d - p37s) * S, q8 = (p26d + p37s) * -S;
        const C out[8] = {q1 + q5, q3 + q7, q2 - q6, q4 + q8, q1 - q5, q3 - q7, q2 + q6, q4 - q8};
        for (int i = 0; i < 8; ++i) dst[i] = T(out[i]);
    }
    static void Inv3(const T* src, T* dst) {
        C p[8];
        for (int i = 0; i < 8; ++i) p[i] = src[i];
        Inverse8(p[0] + p[1], p[0] - p[1], C(2) * p[4], C(2) * p[5], p[2] + p[6], p[2] - p[6], p[3] - p[7], p[3] + p[7],
            dst);
    }
    static void Inv3Scaled(const T* src, T* dst, T factor) {
        C p[8];
        for (int i = 0; i < 8; ++i) p[i] = src[i];
        const C f = factor;
        Inverse8((p[0] + p[1]) * f, (p[0] - p[1]) * f, (C(2) * p[4]) * f, (C(2) * p[5]) * f, (p[2] + p[6]) * f,
            (p[2] - p[6]) * f, (p[3] - p[7]) * f, (p[3] + p[7]) * f, dst);
    }
};

using F64 = RealCodelets<double, double>;
using F32X87 = RealCodelets<float, double>;
using F32Sse2 = RealCodelets<float, float>;

}  // namespace

void FftCodeletReal0F64_x87(const double* src, double* dst) { F64::Copy(src, dst); }
void FftCodeletReal0ScaledF64_x87(const double* src, double* dst, double f) { F64::CopyScaled(src, dst, f); }
void FftCodeletReal1F64_x87(const double* src, double* dst) { F64::Two(src, dst); }
void FftCodeletReal1ScaledF64_x87(const double* src, double* dst, double f) { F64::TwoScaled(src, dst, f); }
void FftCodeletRealFwd2F64_x87(const double* src, double* dst) { F64::Fwd2(src, dst); }
void FftCodeletRealFwd2ScaledF64_x87(const double* src, double* dst, double f) { F64::Fwd2Scaled(src, dst, f); }
void FftCodeletRealFwd3F64_x87(const double* src, double* dst) { F64::Fwd3(src, dst); }
void FftCodeletRealFwd3ScaledF64_x87(const double* src, double* dst, double f) { F64::Fwd3Scaled(src, dst, f); }
void FftCodeletRealInv2F64_x87(const double* src, double* dst) { F64::Inv2(src, dst); }
void FftCodeletRealInv2ScaledF64_x87(const double* src, double* dst, double f) { F64::Inv2Scaled(src, dst, f); }
void FftCodeletRealInv3F64_x87(const double* src, double* dst) { F64::Inv3(src, dst); }
void FftCodeletRealInv3ScaledF64_x87(const double* src, double* dst, double f) { F64::Inv3Scaled(src, dst, f); }

const FftCodeletReal FftRowRealForwardF64_x87[4] = {
    FftCodeletReal0F64_x87, FftCodeletReal1F64_x87, FftCodeletRealFwd2F64_x87, FftCodeletRealFwd3F64_x87};
const FftCodeletRealScaled FftRowRealForwardScaledF64_x87[4] = {FftCodeletReal0ScaledF64_x87,
    FftCodeletReal1ScaledF64_x87, FftCodeletRealFwd2ScaledF64_x87, FftCodeletRealFwd3ScaledF64_x87};
const FftCodeletReal FftRowRealInverseF64_x87[4] = {
    FftCodeletReal0F64_x87, FftCodeletReal1F64_x87, FftCodeletRealInv2F64_x87, FftCodeletRealInv3F64_x87};
const FftCodeletRealScaled FftRowRealInverseScaledF64_x87[4] = {FftCodeletReal0ScaledF64_x87,
    FftCodeletReal1ScaledF64_x87, FftCodeletRealInv2ScaledF64_x87, FftCodeletRealInv3ScaledF64_x87};

// The unscaled copy of one value serves both builds of the 32-bit family.
const FftCodeletRealF32 FftRowRealForwardF32_x87[4] = {F32X87::Copy, F32X87::Two, F32X87::Fwd2, F32X87::Fwd3};
const FftCodeletRealScaledF32 FftRowRealForwardScaledF32_x87[4] = {
    F32X87::CopyScaled, F32X87::TwoScaled, F32X87::Fwd2Scaled, F32X87::Fwd3Scaled};
const FftCodeletRealF32 FftRowRealInverseF32_x87[4] = {F32X87::Copy, F32X87::Two, F32X87::Inv2, F32X87::Inv3};
const FftCodeletRealScaledF32 FftRowRealInverseScaledF32_x87[4] = {
    F32X87::CopyScaled, F32X87::TwoScaled, F32X87::Inv2Scaled, F32X87::Inv3Scaled};

const FftCodeletRealF32 FftRowRealForwardF32_sse2[4] = {F32X87::Copy, F32Sse2::Two, F32Sse2::Fwd2, F32Sse2::Fwd3};
const FftCodeletRealScaledF32 FftRowRealForwardScaledF32_sse2[4] = {
    F32Sse2::CopyScaled, F32Sse2::TwoScaled, F32Sse2::Fwd2Scaled, F32Sse2::Fwd3Scaled};
const FftCodeletRealF32 FftRowRealInverseF32_sse2[4] = {F32X87::Copy, F32Sse2::Two, F32Sse2::Inv2, F32Sse2::Inv3};
const FftCodeletRealScaledF32 FftRowRealInverseScaledF32_sse2[4] = {
    F32Sse2::CopyScaled, F32Sse2::TwoScaled, F32Sse2::Inv2Scaled, F32Sse2::Inv3Scaled};

}  // namespace Prim
