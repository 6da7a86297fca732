// Portable builds of the sampling operations: one element at a time.
#include <Primitives/Prim/BuildServices.h>
#include <Primitives/Prim/Filter/Sample.h>
#include <Primitives/Prim/Filter/SampleRules.h>

#include <cstddef>

namespace Prim {
namespace {

template <class T>
struct X87 : BuildServices<T, Build::X87> {
    static void Up(const T* src, std::size_t n, T* dst, std::size_t f, std::size_t p) {
        for (std::size_t k = 0; k < n; ++k) {
            T* group = dst + k * f;
            for (std::size_t j = 0; j < f; ++j) group[j] = j == p ? src[k] : T(0);
        }
    }

    static void Down(const T* src, std::int32_t, std::int32_t phase, std::size_t f, std::size_t kept, T* dst) {
        const T* from = src + phase;
        for (std::size_t k = 0; k < kept; ++k) dst[k] = from[k * f];
    }
};

using F32 = SampleRules::Steps<float, X87<float>>;
using F64 = SampleRules::Steps<double, X87<double>>;

}  // namespace

Status UpSampleF32_x87(
    const float* src, std::int32_t srcLen, float* dst, std::int32_t* dstLen, std::int32_t factor, std::int32_t* phase) {
    return F32::Up(src, srcLen, dst, dstLen, factor, phase);
}
Status UpSampleF64_x87(const double* src, std::int32_t srcLen, double* dst, std::int32_t* dstLen, std::int32_t factor,
    std::int32_t* phase) {
    return F64::Up(src, srcLen, dst, dstLen, factor, phase);
}
Status DownSampleF32_x87(
    const float* src, std::int32_t srcLen, float* dst, std::int32_t* dstLen, std::int32_t factor, std::int32_t* phase) {
    return F32::Down(src, srcLen, dst, dstLen, factor, phase);
}
Status DownSampleF64_x87(const double* src, std::int32_t srcLen, double* dst, std::int32_t* dstLen, std::int32_t factor,
    std::int32_t* phase) {
    return F64::Down(src, srcLen, dst, dstLen, factor, phase);
}

}  // namespace Prim
