// SSE2 builds of the short windows: four window values a step, applied in
// single precision to four elements at the front and the mirrored four at the
// back.
#include <Primitives/Prim/Window.h>
#include <Primitives/Prim/WindowShape.h>

#include <emmintrin.h>

#include <cmath>
#include <cstddef>

namespace Prim {
namespace {

void ApplyPair(float* x, std::size_t n, std::size_t k, float w) {
    x[k] *= w;
    x[n - 1 - k] *= w;
}

// w[j] for the elements k + j and n - 1 - k - j.
void ApplyBlock(float* x, std::size_t n, std::size_t k, __m128 w) {
    _mm_storeu_ps(x + k, _mm_mul_ps(_mm_loadu_ps(x + k), w));
    float* back = x + (n - 4 - k);
    const __m128 reversed = _mm_shuffle_ps(w, w, _MM_SHUFFLE(0, 1, 2, 3));
    _mm_storeu_ps(back, _mm_mul_ps(_mm_loadu_ps(back), reversed));
}

// Up to this pair the Bartlett values are k * step in single precision.
constexpr std::size_t singleBartlettPairs = 640;

// cos(k theta) four lanes at a time by cos((k + 4) theta) = 2 cos(4 theta)
// cos(k theta) - cos((k - 4) theta). The lanes are seeded from the runtime's
// cosine again every so many blocks, which keeps long windows within a float
// step of the formula.
class CosineLanes {
public:
    explicit CosineLanes(double theta) : theta_(theta), twiceCos4_(_mm_set1_pd(2.0 * std::cos(4.0 * theta))) {}

    void Seed(std::size_t k) {
        const auto at = [&](double j) { return std::cos((double(k) + j) * theta_); };
        previous_[0] = _mm_setr_pd(at(-4), at(-3));
        previous_[1] = _mm_setr_pd(at(-2), at(-1));
        current_[0] = _mm_setr_pd(at(0), at(1));
        current_[1] = _mm_setr_pd(at(2), at(3));
    }

    void Current(double (&lanes)[4]) const {
        _mm_storeu_pd(lanes, current_[0]);
        _mm_storeu_pd(lanes + 2, current_[1]);
    }

    void Advance() {
        for (int r = 0; r < 2; ++r) {
            const __m128d next = _mm_sub_pd(_mm_mul_pd(twiceCos4_, current_[r]), previous_[r]);
            previous_[r] = current_[r];
            current_[r] = next;
        }
    }

private:
    double theta_;
    __m128d twiceCos4_;
    __m128d previous_[2];
    __m128d current_[2];
};

constexpr std::size_t reseedBlocks = 1024;

template <class Shape>
void ApplyCosineWindow(float* x, std::int32_t len, Shape shape) {
    const std::size_t n = static_cast<std::size_t>(len);
    const std::size_t pairs = n / 2;
    CosineLanes lanes(WindowShape::twoPi / double(len - 1));
    lanes.Seed(0);
    double c[4];
    std::size_t k = 0;
    for (std::size_t block = 0; k + 4 <= pairs; k += 4, ++block) {
        if (block != 0 && block % reseedBlocks == 0) lanes.Seed(k);
        lanes.Current(c);
        const __m128 w = _mm_setr_ps(float(shape(c[0])), float(shape(c[1])), float(shape(c[2])), float(shape(c[3])));
        ApplyBlock(x, n, k, w);
        lanes.Advance();
    }
    lanes.Current(c);
    for (std::size_t j = 0; k < pairs; ++k, ++j) ApplyPair(x, n, k, float(shape(c[j])));
}

}  // namespace

Status WinBartlettF32_sse2(float* srcDst, std::int32_t len) {
    if (const Status s = WindowShape::Check(srcDst, len); s != StatusOk) return s;
    const std::size_t n = static_cast<std::size_t>(len);
    // Multiplied, not set: an infinite or NaN end sample becomes NaN.
    srcDst[0] *= 0.0f;
    srcDst[n - 1] *= 0.0f;
    const std::size_t last = n / 2 - 1;  // pairs k = 1 .. last
    const double stepDouble = 2.0 / double(len - 1);
    const float step = static_cast<float>(stepDouble);
    const std::size_t lastSingle = last < singleBartlettPairs ? last : singleBartlettPairs;
    std::size_t k = 1;
    for (; k + 3 <= lastSingle; k += 4) {
        const __m128 index = _mm_cvtepi32_ps(_mm_setr_epi32(int(k), int(k + 1), int(k + 2), int(k + 3)));
        ApplyBlock(srcDst, n, k, _mm_mul_ps(index, _mm_set1_ps(step)));
    }
    for (; k <= lastSingle; ++k) ApplyPair(srcDst, n, k, float(k) * step);
    if (k > last) return StatusOk;
    // Beyond, the step is accumulated in double precision, four lanes apart.
    double first[4];
    double w = double(singleBartlettPairs) * stepDouble;
    for (double& lane : first) lane = (w += stepDouble);
    __m128d low = _mm_loadu_pd(first);
    __m128d high = _mm_loadu_pd(first + 2);
    const __m128d fourSteps = _mm_set1_pd(4.0 * stepDouble);
    for (; k + 3 <= last; k += 4) {
        ApplyBlock(srcDst, n, k, _mm_movelh_ps(_mm_cvtpd_ps(low), _mm_cvtpd_ps(high)));
        low = _mm_add_pd(low, fourSteps);
        high = _mm_add_pd(high, fourSteps);
    }
    double rest[4];
    _mm_storeu_pd(rest, low);
    _mm_storeu_pd(rest + 2, high);
    for (std::size_t j = 0; k <= last; ++k, ++j) ApplyPair(srcDst, n, k, static_cast<float>(rest[j]));
    return StatusOk;
}

Status WinHannF32_sse2(float* srcDst, std::int32_t len) {
    if (const Status s = WindowShape::Check(srcDst, len); s != StatusOk) return s;
    if (len == 3) {
        srcDst[0] = 0.0f;
        srcDst[2] = 0.0f;
        return StatusOk;
    }
    ApplyCosineWindow(srcDst, len, WindowShape::Hann{});
    return StatusOk;
}

Status WinHammingF32_sse2(float* srcDst, std::int32_t len) {
    if (const Status s = WindowShape::Check(srcDst, len); s != StatusOk) return s;
    ApplyCosineWindow(srcDst, len, WindowShape::Hamming{});
    return StatusOk;
}

Status WinBlackmanF32_sse2(float* srcDst, std::int32_t len, float alpha) {
    if (const Status s = WindowShape::Check(srcDst, len); s != StatusOk) return s;
    if (len == 3) {
        srcDst[0] = 0.0f;
        srcDst[2] = 0.0f;
        return StatusOk;
    }
    ApplyCosineWindow(srcDst, len, WindowShape::Blackman(alpha));
    return StatusOk;
}

}  // namespace Prim
