#pragma once
// Owning handles for real-FFT records in the tests, and the builds of both precisions as types.

#include <Primitives/Prim/Fft/FftRealF32.h>
#include <Primitives/Prim/Fft/FftSpec.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

namespace FftTest {

struct SpecF64Deleter {
    void operator()(Prim::FftSpecRealF64* spec) const { Prim::FftSpecFreeF64(spec); }
};
struct SpecF32Deleter {
    void operator()(Prim::FftSpecRealF32* spec) const { Prim::FftSpecFreeF32(spec); }
};
using SpecF64 = std::unique_ptr<Prim::FftSpecRealF64, SpecF64Deleter>;
using SpecF32 = std::unique_ptr<Prim::FftSpecRealF32, SpecF32Deleter>;

// The operations of one build of the double-precision FFT, for suites typed over both.
struct X87 {
    using Value = double;
    using Spec = SpecF64;
    static constexpr auto Init = &Prim::FftInitAllocRealF64_x87;
    static constexpr auto GetBufSize = &Prim::FftGetBufSizeRealF64_x87;
    static constexpr auto Forward = &Prim::FftForwardRealF64_x87;
    static constexpr auto Inverse = &Prim::FftInverseRealF64_x87;
    static constexpr auto ForwardCore = &Prim::FftForwardRealF64Core_x87;
    static constexpr auto InverseCore = &Prim::FftInverseRealF64Core_x87;
    static constexpr auto MulPack = &Prim::MulPackF64_x87;
};

struct Sse2 {
    using Value = double;
    using Spec = SpecF64;
    static constexpr auto Init = &Prim::FftInitAllocRealF64_sse2;
    static constexpr auto GetBufSize = &Prim::FftGetBufSizeRealF64_sse2;
    static constexpr auto Forward = &Prim::FftForwardRealF64_sse2;
    static constexpr auto Inverse = &Prim::FftInverseRealF64_sse2;
    static constexpr auto ForwardCore = &Prim::FftForwardRealF64Core_sse2;
    static constexpr auto InverseCore = &Prim::FftInverseRealF64Core_sse2;
    static constexpr auto MulPack = &Prim::MulPackF64_sse2;
};

using BothBuilds = ::testing::Types<X87, Sse2>;

// The same for the 32-bit FFT.
struct X87F32 {
    using Value = float;
    using Spec = SpecF32;
    static constexpr auto Init = &Prim::FftInitAllocRealF32_x87;
    static constexpr auto GetBufSize = &Prim::FftGetBufSizeRealF32_x87;
    static constexpr auto Forward = &Prim::FftForwardRealF32_x87;
    static constexpr auto Inverse = &Prim::FftInverseRealF32_x87;
    static constexpr auto ForwardCore = &Prim::FftForwardRealF32Core_x87;
    static constexpr auto InverseCore = &Prim::FftInverseRealF32Core_x87;
    static constexpr auto MulPack = &Prim::MulPackF32_x87;
};

struct Sse2F32 {
    using Value = float;
    using Spec = SpecF32;
    static constexpr auto Init = &Prim::FftInitAllocRealF32_sse2;
    static constexpr auto GetBufSize = &Prim::FftGetBufSizeRealF32_sse2;
    static constexpr auto Forward = &Prim::FftForwardRealF32_sse2;
    static constexpr auto Inverse = &Prim::FftInverseRealF32_sse2;
    static constexpr auto ForwardCore = &Prim::FftForwardRealF32Core_sse2;
    static constexpr auto InverseCore = &Prim::FftInverseRealF32Core_sse2;
    static constexpr auto MulPack = &Prim::MulPackF32_sse2;
};

using BothBuildsF32 = ::testing::Types<X87F32, Sse2F32>;
using AllBuilds = ::testing::Types<X87, Sse2, X87F32, Sse2F32>;

struct BuildNames {
    template <class B>
    static std::string GetName(int) {
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
