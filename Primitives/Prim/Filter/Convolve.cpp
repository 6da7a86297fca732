// Linear convolution, both builds: one method skeleton; each build brings its thresholds and
// direct sum, and the copy, clear, transform and memory services of its own build.
#include <Primitives/Prim/BuildServices.h>
#include <Primitives/Prim/Filter/Convolve.h>

#include <algorithm>
#include <bit>

namespace Prim {
namespace {

constexpr std::int64_t DirectBlock = 4096;

// One product at a time, each element rounded after every term.
template <class T>
void DirectSumX87(const T* l, std::int32_t nL, const T* s, std::int32_t nS, T* dst) {
    for (std::int32_t j = 0; j < nS; ++j) {
        const long double tap = s[j];
        T* out = dst + j;
        for (std::int32_t i = 0; i < nL; ++i) out[i] = static_cast<T>(out[i] + tap * l[i]);
    }
}

template <class T, Build B>
struct ConvolveBuild : BuildServices<T, B> {
    static constexpr std::int64_t directOutBelow = B == Build::Sse2 ? 512 : 150;
    static constexpr std::int64_t directShortBelow = B == Build::Sse2 ? 64 : 32;
    static constexpr auto Direct =
        PickFor<T, B>(&DirectSumX87<float>, &ConvKernelF32_sse2, &DirectSumX87<double>, &ConvKernelF64_sse2);
};

// The transform record and the one work block (A, B, then the record's work buffer) of a call,
// released together whatever path leaves it.
template <class T, class Ops>
class Workspace {
public:
    ~Workspace() {
        if (block_ != nullptr) FreeDirect(block_);
        if (spec_ != nullptr) Ops::FftFree(spec_);
    }

    Status Create(std::int64_t n) {
        // Two arrays of n elements must fit one block before anything is set up.
        if (2 * n * std::int64_t{sizeof(T)} > MaxAllocBytes) return StatusNoMemory;
        n_ = n;
        const int order = std::countr_zero(static_cast<std::uint64_t>(n));
        if (const Status s = Ops::FftInit(&spec_, order, FftFlagInverse, 0); s != StatusOk) {
            spec_ = nullptr;
            return s;
        }
        std::int32_t bufBytes = 0;
        if (const Status s = Ops::FftBufSize(spec_, &bufBytes); s != StatusOk) return s;
        const std::int64_t bufElements =
            (std::int64_t{bufBytes} + std::int64_t{sizeof(T)} - 1) / std::int64_t{sizeof(T)};
        const std::int64_t total = 2 * n + bufElements;
        if (total * std::int64_t{sizeof(T)} > MaxAllocBytes) return StatusNoMemory;
        block_ = Ops::Alloc(static_cast<std::int32_t>(total));
        if (block_ == nullptr) return StatusNoMemory;
        buffer_ = bufBytes > 0 ? reinterpret_cast<std::uint8_t*>(block_ + 2 * n) : nullptr;
        return StatusOk;
    }

    T* ArrayA() { return block_; }
    T* ArrayB() { return block_ + n_; }

    // dst = src followed by zeros up to n elements, then its spectrum in place.
    Status Transform(const T* src, std::int64_t len, T* dst) {
        Ops::Copy(src, dst, static_cast<std::int32_t>(len));
        Ops::Zero(dst + len, static_cast<std::int32_t>(n_ - len));
        return Ops::ForwardPacked(dst, dst, spec_, buffer_);
    }

    // B = A x B bin by bin, then back to samples.
    Status MultiplyInverse() {
        Ops::MulPack(ArrayA(), ArrayB(), static_cast<std::int32_t>(n_));
        return Ops::InversePacked(ArrayB(), ArrayB(), spec_, buffer_);
    }

private:
    typename Ops::Spec* spec_ = nullptr;
    T* block_ = nullptr;
    std::uint8_t* buffer_ = nullptr;
    std::int64_t n_ = 0;
};

template <class T, class B>
void DirectSum(const T* l, std::int64_t nL, const T* s, std::int64_t nS, T* dst) {
    const auto taps = static_cast<std::int32_t>(nS);
    if (nL < DirectBlock) {
        B::Zero(dst, static_cast<std::int32_t>(nL + nS - 1));
        B::Direct(l, static_cast<std::int32_t>(nL), s, taps, dst);
        return;
    }
    // Blocks of the long operand, so that only a bounded stretch of dst is worked on at a time.
    B::Zero(dst, taps - 1);
    for (std::int64_t p = 0; p < nL; p += DirectBlock) {
        const std::int64_t m = std::min(DirectBlock, nL - p);
        B::Zero(dst + p + nS - 1, static_cast<std::int32_t>(m));
        B::Direct(l + p, static_cast<std::int32_t>(m), s, taps, dst + p);
    }
}

template <class T, class B>
Status SingleTransform(const T* l, std::int64_t nL, const T* s, std::int64_t nS, T* dst, std::int64_t outLen) {
    Workspace<T, B> w;
    if (const Status st = w.Create(static_cast<std::int64_t>(std::bit_ceil(static_cast<std::uint64_t>(outLen))));
        st != StatusOk)
        return st;
    if (const Status st = w.Transform(l, nL, w.ArrayA()); st != StatusOk) return st;
    if (const Status st = w.Transform(s, nS, w.ArrayB()); st != StatusOk) return st;
    const Status st = w.MultiplyInverse();
    B::Copy(w.ArrayB(), dst, static_cast<std::int32_t>(outLen));
    return st;
}

template <class T, class B>
Status OverlapSave(const T* l, std::int64_t nL, const T* s, std::int64_t nS, T* dst, std::int64_t outLen) {
    const auto n = 4 * static_cast<std::int64_t>(std::bit_ceil(static_cast<std::uint64_t>(nS)));
    const std::int64_t step = n - nS + 1;
    Workspace<T, B> w;
    if (const Status st = w.Create(n); st != StatusOk) return st;
    if (const Status st = w.Transform(s, nS, w.ArrayA()); st != StatusOk) return st;
    Status st = StatusOk;
    for (std::int64_t pos = 0; pos < outLen; pos += step) {
        const std::int64_t count = std::min(outLen - pos, step);
        // Later blocks start nS - 1 samples early: the wrapped part of their circular result.
        const std::int64_t h = pos == 0 ? 0 : nS - 1;
        const std::int64_t start = pos - h;
        const std::int64_t m = std::min(h + step, nL - start);
        if ((st = w.Transform(l + start, m, w.ArrayB())) != StatusOk) return st;
        if ((st = w.MultiplyInverse()) != StatusOk) return st;
        B::Copy(w.ArrayB() + h, dst + pos, static_cast<std::int32_t>(count));
    }
    return st;
}

template <class T, Build build>
Status Convolve(const T* src1, std::int32_t len1, const T* src2, std::int32_t len2, T* dst) {
    using B = ConvolveBuild<T, build>;
    if (src1 == nullptr || src2 == nullptr || dst == nullptr) return StatusNullPointer;
    if (len1 < 1 || len2 < 1) return StatusSizeError;
    const bool swap = len1 < len2;
    const T* l = swap ? src2 : src1;
    const T* s = swap ? src1 : src2;
    const std::int64_t nL = swap ? len2 : len1;
    const std::int64_t nS = swap ? len1 : len2;
    const std::int64_t outLen = nL + nS - 1;
    if (outLen > INT32_MAX) return StatusSizeError;
    if (outLen < B::directOutBelow || nS < B::directShortBelow) {
        DirectSum<T, B>(l, nL, s, nS, dst);
        return StatusOk;
    }
    return nL >= 3 * nS ? OverlapSave<T, B>(l, nL, s, nS, dst, outLen)
                        : SingleTransform<T, B>(l, nL, s, nS, dst, outLen);
}

}  // namespace

Status ConvolveF32_x87(const float* src1, std::int32_t len1, const float* src2, std::int32_t len2, float* dst) {
    return Convolve<float, Build::X87>(src1, len1, src2, len2, dst);
}
Status ConvolveF32_sse2(const float* src1, std::int32_t len1, const float* src2, std::int32_t len2, float* dst) {
    return Convolve<float, Build::Sse2>(src1, len1, src2, len2, dst);
}
Status ConvolveF64_x87(const double* src1, std::int32_t len1, const double* src2, std::int32_t len2, double* dst) {
    return Convolve<double, Build::X87>(src1, len1, src2, len2, dst);
}
Status ConvolveF64_sse2(const double* src1, std::int32_t len1, const double* src2, std::int32_t len2, double* dst) {
    return Convolve<double, Build::Sse2>(src1, len1, src2, len2, dst);
}

}  // namespace Prim
