#pragma once
// Owning handles for real-FFT records in the tests, and the builds of both precisions as types.

#include <Primitives/Prim/Fft/FftKernelsF64X87.h>
#include <Primitives/Prim/Fft/FftRealF32.h>
#include <Primitives/Prim/Fft/FftSpec.h>

#include "fft_reference.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

namespace FftTest {

using SpecF64 = Owned<Prim::FftSpecRealF64, &Prim::FftSpecFreeF64>;
using SpecF32 = Owned<Prim::FftSpecRealF32, &Prim::FftSpecFreeF32>;

// The operations of one build of the real FFT, for suites typed over the builds and precisions.
#define FFT_TEST_BUILD(Name, ValueType, Prec, Build)                                   \
    struct Name {                                                                      \
        using Value = ValueType;                                                       \
        using Spec = Spec##Prec;                                                       \
        static constexpr auto Init = &Prim::FftInitAllocReal##Prec##_##Build;          \
        static constexpr auto GetBufSize = &Prim::FftGetBufSizeReal##Prec##_##Build;   \
        static constexpr auto Forward = &Prim::FftForwardReal##Prec##_##Build;         \
        static constexpr auto Inverse = &Prim::FftInverseReal##Prec##_##Build;         \
        static constexpr auto ForwardCore = &Prim::FftForwardReal##Prec##Core_##Build; \
        static constexpr auto InverseCore = &Prim::FftInverseReal##Prec##Core_##Build; \
        static constexpr auto MulPack = &Prim::MulPack##Prec##_##Build;                \
    };
FFT_TEST_BUILD(X87, double, F64, x87)
FFT_TEST_BUILD(Sse2, double, F64, sse2)
FFT_TEST_BUILD(X87F32, float, F32, x87)
FFT_TEST_BUILD(Sse2F32, float, F32, sse2)
#undef FFT_TEST_BUILD

// The x87 build on doubles with the copy of its passes for processors without AVX, whatever
// this processor has: suites deriving from FftCopies turn the other copy off for its tests.
struct X87Narrow : X87 {};

template <class B>
class FftCopies : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::is_same_v<B, X87Narrow>) Prim::FftUseWideKernelsF64_x87(false);
    }
    void TearDown() override { Prim::FftUseWideKernelsF64_x87(true); }
};

using BothBuilds = ::testing::Types<X87, X87Narrow, Sse2>;
using AllBuilds = ::testing::Types<X87, X87Narrow, Sse2, X87F32, Sse2F32>;
using BothBuildsF32 = ::testing::Types<X87F32, Sse2F32>;

struct BuildNames {
    template <class B>
    static std::string GetName(int) {
        if (std::is_same_v<B, X87Narrow>) return "x87_narrow";
        const char* build = std::is_same_v<B, X87> || std::is_same_v<B, X87F32> ? "x87" : "sse2";
        return std::string(build) + (std::is_same_v<typename B::Value, float> ? "_f32" : "");
    }
};

template <class B>
typename B::Spec Make(int order, int flag) {
    typename B::Spec::pointer spec = nullptr;
    EXPECT_EQ(B::Init(&spec, order, flag, 1), Prim::StatusOk) << "order " << order << ", flag " << flag;
    return typename B::Spec(spec);
}

inline SpecF64 MakeX87(int order, int flag) { return Make<X87>(order, flag); }

// The work-buffer size a record reports.
template <class B>
int32_t BufferSize(const typename B::Spec::element_type* spec) {
    int32_t size = -1;
    EXPECT_EQ(B::GetBufSize(spec, &size), Prim::StatusOk);
    return size;
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
