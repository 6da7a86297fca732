#pragma once
// Float arrays for the suites of the 32-bit FFT: placed off alignment, random, and their norm.

#include "fft_reference.h"

#include <Primitives/Prim/Fft/FftRealF32.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace FftTest {

using TransformF32 = Prim::Status (*)(const float*, float*, const Prim::FftSpecRealF32*, uint8_t*);

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
