// SSE2 builds of the sum and the dot product. Their partial sums live in
// vector lanes; the order in which each lane takes its elements and the final
// folding of the lanes are fixed, so a total is reproducible to the bit.
#include <Primitives/Prim/SimdLanes.h>
#include <Primitives/Prim/Sum.h>

#include <algorithm>
#include <cstddef>
#include <utility>

namespace Prim {
namespace {

using SimdLanes::Aligned16;

bool ElementAligned(const void* p, std::size_t size) { return (reinterpret_cast<std::uintptr_t>(p) & (size - 1)) == 0; }

// Eight double sums; the sum that takes element j of block k is S[(j - k) mod 8].
// The registers hold R[j] = S[(j - k) mod 8] for the current block k, so each
// block adds lane by lane and then rotates R up by one lane.
double SumAccurate(const float* src, std::size_t n) {
    __m128d r0 = _mm_setzero_pd(), r1 = _mm_setzero_pd(), r2 = _mm_setzero_pd(), r3 = _mm_setzero_pd();
    const std::size_t blocks = n / 8;
    for (std::size_t k = 0; k < blocks; ++k) {
        const __m128 low = _mm_loadu_ps(src + 8 * k);
        const __m128 high = _mm_loadu_ps(src + 8 * k + 4);
        r0 = _mm_add_pd(r0, _mm_cvtps_pd(low));
        r1 = _mm_add_pd(r1, _mm_cvtps_pd(_mm_movehl_ps(low, low)));
        r2 = _mm_add_pd(r2, _mm_cvtps_pd(high));
        r3 = _mm_add_pd(r3, _mm_cvtps_pd(_mm_movehl_ps(high, high)));
        const __m128d rotated0 = _mm_shuffle_pd(r3, r0, 1);
        r3 = _mm_shuffle_pd(r2, r3, 1);
        r2 = _mm_shuffle_pd(r1, r2, 1);
        r1 = _mm_shuffle_pd(r0, r1, 1);
        r0 = rotated0;
    }
    // Now lane p holds T[p] = S[(p - K) mod 8]; the tail goes to T[0].
    double tail = _mm_cvtsd_f64(r0);
    for (std::size_t i = 8 * blocks; i < n; ++i) tail += double(src[i]);
    r0 = _mm_move_sd(r0, _mm_set_sd(tail));
    // ((T7 + T3) + (T5 + T1)) + ((T6 + T2) + (T4 + T0))
    const __m128d folded = _mm_add_pd(_mm_add_pd(r3, r1), _mm_add_pd(r2, r0));
    return _mm_cvtsd_f64(_mm_unpackhi_pd(folded, folded)) + _mm_cvtsd_f64(folded);
}

constexpr std::size_t fastBlock = 32768;

// One block of the fast path: sixteen single sums, folded to four lanes, the
// block's tail added to those lanes; the block gives (L0 + L2) then (L1 + L3).
void AddFastBlock(const float* src, std::size_t b, double& total) {
    __m128 p0 = _mm_setzero_ps(), p1 = _mm_setzero_ps(), p2 = _mm_setzero_ps(), p3 = _mm_setzero_ps();
    const std::size_t full = b & ~std::size_t{15};
    for (std::size_t t = 0; t < full; t += 16) {
        p0 = _mm_add_ps(p0, _mm_loadu_ps(src + t));
        p1 = _mm_add_ps(p1, _mm_loadu_ps(src + t + 4));
        p2 = _mm_add_ps(p2, _mm_loadu_ps(src + t + 8));
        p3 = _mm_add_ps(p3, _mm_loadu_ps(src + t + 12));
    }
    __m128 lanes = _mm_add_ps(_mm_add_ps(p0, p2), _mm_add_ps(p1, p3));
    std::size_t t = full;
    for (; b - t >= 4; t += 4) lanes = _mm_add_ps(lanes, _mm_loadu_ps(src + t));
    alignas(16) float l[4];
    _mm_store_ps(l, lanes);
    if (b - t >= 2) {
        l[0] += src[t];
        l[1] += src[t + 1];
        t += 2;
    }
    if (b - t == 1) l[0] += src[t];
    const float a = l[0] + l[2];
    const float c = l[1] + l[3];
    total += double(a);
    total += double(c);
}

double SumFast(const float* src, std::size_t n) {
    double total = 0.0;
    // Only bits 2 and 3 of the address decide (a float vector is 4-byte aligned).
    if ((reinterpret_cast<std::uintptr_t>(src) & 0xC) != 0) {
        for (std::size_t i = 0; i < n; ++i) total += double(src[i]);
        return total;
    }
    for (std::size_t start = 0; start < n; start += fastBlock) {
        AddFastBlock(src + start, std::min(fastBlock, n - start), total);
    }
    return total;
}

// Sixteen single partial sums P[0..15] in four registers, P[4q + l] in lane l of p[q].
struct PartialsF32 {
    __m128 p[4] = {_mm_setzero_ps(), _mm_setzero_ps(), _mm_setzero_ps(), _mm_setzero_ps()};

    void AddTo(std::size_t index, float product) {
        alignas(16) float lanes[4];
        _mm_store_ps(lanes, p[index / 4]);
        lanes[index % 4] += product;
        p[index / 4] = _mm_load_ps(lanes);
    }

    // L[l] = (P[l] + P[4 + l]) + (P[8 + l] + P[12 + l]); (L1 + L3) + (L0 + L2).
    float Fold() const {
        alignas(16) float l[4];
        _mm_store_ps(l, _mm_add_ps(_mm_add_ps(p[0], p[1]), _mm_add_ps(p[2], p[3])));
        return (l[1] + l[3]) + (l[0] + l[2]);
    }
};

// Products from i on in groups of `group` (4, 8 or 12 lanes used of 16 when
// the first vector is unaligned, all 16 otherwise), then pairs to P0 and P1
// and a last single one to P0.
void DotGroupsF32(
    const float* a, const float* b, std::size_t i, std::size_t n, std::size_t group, PartialsF32& partials) {
    const std::size_t registers = group / 4;
    for (; n - i >= group; i += group) {
        for (std::size_t q = 0; q < registers; ++q) {
            const __m128 product = _mm_mul_ps(_mm_loadu_ps(a + i + 4 * q), _mm_load_ps(b + i + 4 * q));
            partials.p[q] = _mm_add_ps(partials.p[q], product);
        }
    }
    for (; n - i >= 2; i += 2) {
        partials.AddTo(0, a[i] * b[i]);
        partials.AddTo(1, a[i + 1] * b[i + 1]);
    }
    if (i < n) partials.AddTo(0, a[i] * b[i]);
}

struct PartialsF64 {
    __m128d p[4] = {_mm_setzero_pd(), _mm_setzero_pd(), _mm_setzero_pd(), _mm_setzero_pd()};

    void AddTo(std::size_t index, double product) {
        alignas(16) double lanes[2];
        _mm_store_pd(lanes, p[index / 2]);
        lanes[index % 2] += product;
        p[index / 2] = _mm_load_pd(lanes);
    }

    // L[l] = (P[l] + P[2 + l]) + (P[4 + l] + P[6 + l]); L0 + L1.
    double Fold() const {
        const __m128d l = _mm_add_pd(_mm_add_pd(p[0], p[1]), _mm_add_pd(p[2], p[3]));
        return _mm_cvtsd_f64(l) + _mm_cvtsd_f64(_mm_unpackhi_pd(l, l));
    }
};

}  // namespace

Status SumF32_sse2(const float* src, std::int32_t len, float* sum, SumAccuracyHint hint) {
    if (src == nullptr || sum == nullptr) return StatusNullPointer;
    if (len < 1) return StatusSizeError;
    const std::size_t n = static_cast<std::size_t>(len);
    *sum = static_cast<float>(hint == 1 ? SumFast(src, n) : SumAccurate(src, n));
    return StatusOk;
}

void DotProdKernelF32_sse2(const float* a, const float* b, std::int32_t len, float* result) {
    const std::size_t n = len > 0 ? static_cast<std::size_t>(len) : 0;
    if (n <= 15) {
        float even = 0.0f;
        float odd = 0.0f;
        std::size_t i = 0;
        for (; i + 2 <= n; i += 2) {
            even += a[i] * b[i];
            odd += a[i + 1] * b[i + 1];
        }
        if (i < n) odd += a[i] * b[i];
        *result = odd + even;
        return;
    }
    if (!ElementAligned(b, sizeof(float)) && ElementAligned(a, sizeof(float))) std::swap(a, b);
    PartialsF32 partials;
    std::size_t i = 0;
    for (; i < n && !Aligned16(b + i); ++i) partials.AddTo(0, a[i] * b[i]);
    if (i < n) {
        const auto offset = reinterpret_cast<std::uintptr_t>(a + i) & 15;
        const std::size_t group = offset == 0 ? 16 : (offset == 4 || offset == 12) ? 8 : 12;
        DotGroupsF32(a, b, i, n, group, partials);
    }
    *result = partials.Fold();
}

void DotProdKernelF64_sse2(const double* a, const double* b, std::int32_t len, double* result) {
    const std::size_t n = len > 0 ? static_cast<std::size_t>(len) : 0;
    if (!ElementAligned(b, sizeof(double)) && ElementAligned(a, sizeof(double))) std::swap(a, b);
    PartialsF64 partials;
    std::size_t i = 0;
    for (; i < n && !Aligned16(b + i); ++i) partials.AddTo(0, a[i] * b[i]);
    if (i < n && Aligned16(a + i)) {
        for (; n - i >= 8; i += 8) {
            for (std::size_t q = 0; q < 4; ++q) {
                const __m128d product = _mm_mul_pd(_mm_load_pd(a + i + 2 * q), _mm_load_pd(b + i + 2 * q));
                partials.p[q] = _mm_add_pd(partials.p[q], product);
            }
        }
        for (; n - i >= 2; i += 2) {
            partials.AddTo(0, a[i] * b[i]);
            partials.AddTo(1, a[i + 1] * b[i + 1]);
        }
        if (i < n) partials.AddTo(0, a[i] * b[i]);
    } else if (i < n) {
        for (; n - i >= 6; i += 6) {
            for (std::size_t q = 0; q < 3; ++q) {
                const __m128d product = _mm_mul_pd(_mm_loadu_pd(a + i + 2 * q), _mm_load_pd(b + i + 2 * q));
                partials.p[q] = _mm_add_pd(partials.p[q], product);
            }
        }
        for (; i < n; ++i) partials.AddTo(0, a[i] * b[i]);
    }
    *result = partials.Fold();
}

}  // namespace Prim
