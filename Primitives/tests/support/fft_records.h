#pragma once
// Owning handles for real-FFT records in the tests.

#include <Primitives/Prim/Fft/FftSpec.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>

namespace FftTest {

struct SpecF64Deleter {
    void operator()(Prim::FftSpecRealF64* spec) const { Prim::FftSpecFreeF64(spec); }
};
struct SpecF32Deleter {
    void operator()(Prim::FftSpecRealF32* spec) const { Prim::FftSpecFreeF32(spec); }
};
using SpecF64 = std::unique_ptr<Prim::FftSpecRealF64, SpecF64Deleter>;
using SpecF32 = std::unique_ptr<Prim::FftSpecRealF32, SpecF32Deleter>;

inline SpecF64 MakeX87(int order, int flag) {
    Prim::FftSpecRealF64* spec = nullptr;
    EXPECT_EQ(Prim::FftInitAllocRealF64_x87(&spec, order, flag, 1), Prim::StatusOk) << "order " << order;
    return SpecF64(spec);
}

// The factor the forward transform applies for a creation flag.
inline double ForwardFactor(int order, int flag) {
    const double n = static_cast<double>(uint64_t{1} << order);
    switch (flag) {
    case Prim::FftFlagSqrtBoth: return 1.0 / std::sqrt(n);
    case Prim::FftFlagForward: return 1.0 / n;
    default: return 1.0;
    }
}

inline double InverseFactor(int order, int flag) {
    const double n = static_cast<double>(uint64_t{1} << order);
    switch (flag) {
    case Prim::FftFlagSqrtBoth: return 1.0 / std::sqrt(n);
    case Prim::FftFlagInverse: return 1.0 / n;
    default: return 1.0;
    }
}

inline constexpr int AllFlags[] = {
    Prim::FftFlagNoScale, Prim::FftFlagSqrtBoth, Prim::FftFlagForward, Prim::FftFlagInverse};

}  // namespace FftTest
