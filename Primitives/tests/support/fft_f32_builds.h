#pragma once
// The two builds of the real FFT on 32-bit floats as types, for suites typed over them,
// and the helpers those suites share.

#include "fft_records.h"
#include "fft_reference.h"

#include <Primitives/Prim/Fft/FftRealF32.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace FftTest {

using TransformF32 = Prim::Status (*)(const float*, float*, const Prim::FftSpecRealF32*, uint8_t*);

struct BuildX87 {
    static constexpr auto Init = &Prim::FftInitAllocRealF32_x87;
    static constexpr auto BufSize = &Prim::FftGetBufSizeRealF32_x87;
    static constexpr TransformF32 Forward = &Prim::FftForwardRealF32_x87;
    static constexpr TransformF32 Inverse = &Prim::FftInverseRealF32_x87;
    static constexpr TransformF32 ForwardCore = &Prim::FftForwardRealF32Core_x87;
    static constexpr TransformF32 InverseCore = &Prim::FftInverseRealF32Core_x87;
    static constexpr auto MulPack = &Prim::MulPackF32_x87;
};

struct BuildSse2 {
    static constexpr auto Init = &Prim::FftInitAllocRealF32_sse2;
    static constexpr auto BufSize = &Prim::FftGetBufSizeRealF32_sse2;
    static constexpr TransformF32 Forward = &Prim::FftForwardRealF32_sse2;
    static constexpr TransformF32 Inverse = &Prim::FftInverseRealF32_sse2;
    static constexpr TransformF32 ForwardCore = &Prim::FftForwardRealF32Core_sse2;
    static constexpr TransformF32 InverseCore = &Prim::FftInverseRealF32Core_sse2;
    static constexpr auto MulPack = &Prim::MulPackF32_sse2;
};

class BuildNames {
public:
    template <typename T>
    static std::string GetName(int) {
        return std::is_same_v<T, BuildX87> ? "x87" : "sse2";
    }
};

using BuildsF32 = ::testing::Types<BuildX87, BuildSse2>;

template <class Build>
SpecF32 MakeF32(int order, int flag) {
    Prim::FftSpecRealF32* spec = nullptr;
    EXPECT_EQ(Build::Init(&spec, order, flag, 1), Prim::StatusOk) << "order " << order << ", flag " << flag;
    return SpecF32(spec);
}

// n floats `offset` bytes past a 16-byte boundary, filled with `fill`.
class FloatsAt {
public:
    FloatsAt(uint64_t n, uint64_t offset, float fill = 0.0f)
        : storage_(n + 16, fill), data_(Place(storage_.data(), offset)) {}
    float* data() { return data_; }
    std::vector<float> Values(uint64_t count) const { return std::vector<float>(data_, data_ + count); }

private:
    static float* Place(float* base, uint64_t offset) {
        const auto aligned = (reinterpret_cast<uintptr_t>(base) + 15) & ~uintptr_t{15};
        return reinterpret_cast<float*>(aligned + offset);
    }
    std::vector<float> storage_;
    float* data_;
};

inline std::vector<float> RandomFloats(uint64_t n, uint32_t seed) {
    const std::vector<double> values = RandomSignal(n, seed);
    return std::vector<float>(values.begin(), values.end());
}

inline double Norm2(const std::vector<float>& x) {
    long double sum = 0.0L;
    for (float v : x) sum += static_cast<long double>(v) * v;
    return static_cast<double>(std::sqrt(sum));
}

}  // namespace FftTest
