#include <Primitives/Prim/Filter/Tone.h>
#include <Primitives/Prim/Filter/ToneSteps.h>
#include <Primitives/Prim/SimdLanes.h>

#include <emmintrin.h>

#include <algorithm>
#include <cmath>

namespace Prim {
namespace {

constexpr std::size_t ToneBlock = 1024;
constexpr std::size_t ToneLead = 16;

// Each block restarts from the exact cosine, so the single-precision recurrence's error
// never grows over more than one block.
void ToneBlocks(float* dst, std::size_t n, double magnitude, double omega, double phase) {
    const double c = 2.0 * std::cos(omega);
    const double cc = c * c;
    const double c4 = cc * (cc - 4.0) + 2.0;
    const auto c8 = static_cast<float>(c4 * c4 - 2.0);
    for (std::size_t start = 0; start < n; start += ToneBlock) {
        const std::size_t m = std::min(ToneBlock, n - start);
        float* y = dst + start;
        double older = magnitude * std::cos(omega * static_cast<double>(start) + phase);
        y[0] = static_cast<float>(older);
        if (m == 1) break;
        double newer = magnitude * std::cos(omega * static_cast<double>(start + 1) + phase);
        y[1] = static_cast<float>(newer);
        const std::size_t lead = std::min(ToneLead, m);
        for (std::size_t k = 2; k < lead; ++k) {
            const double next = c * newer - older;
            y[k] = static_cast<float>(next);
            older = newer;
            newer = next;
        }
        if (m > ToneLead) ToneKernelF32_sse2(y, ToneLead, m, c8);
    }
}

}  // namespace

void ToneKernelF32_sse2(float* y, std::size_t from, std::size_t to, float c8) {
    const auto one = [&](std::size_t k) { y[k] = c8 * y[k - 8] - y[k - 16]; };
    std::size_t k = from;
    const bool elementAligned = reinterpret_cast<std::uintptr_t>(y) % alignof(float) == 0;
    if (elementAligned) {
        for (; k < to && !SimdLanes::Aligned16(y + k); ++k) one(k);
    }
    const __m128 vc8 = _mm_set1_ps(c8);
    const auto four = [&](std::size_t at) {
        const __m128 v = _mm_sub_ps(_mm_mul_ps(vc8, _mm_loadu_ps(y + at - 8)), _mm_loadu_ps(y + at - 16));
        _mm_storeu_ps(y + at, v);
    };
    for (; k + 8 <= to; k += 8) {
        four(k);
        four(k + 4);
    }
    if (k + 4 <= to) {
        four(k);
        k += 4;
    }
    for (; k < to; ++k) one(k);
}

Status ToneF32_sse2(float* dst, std::int32_t len, float magnitude, float rFreq, float* phase, std::int32_t hint) {
    if (const Status s = ToneSteps::Check(dst, len, magnitude, rFreq, phase); s != StatusOk) return s;
    const double omega = ToneSteps::TwoPi * static_cast<double>(rFreq);
    const float start = *phase;
    *phase = ToneSteps::NextPhase(omega, len, start);
    if (hint == 1) {
        ToneBlocks(dst, static_cast<std::size_t>(len), magnitude, omega, start);
    } else {
        ToneSteps::Recurrence(dst, static_cast<std::size_t>(len), magnitude, omega, start);
    }
    return StatusOk;
}

}  // namespace Prim
