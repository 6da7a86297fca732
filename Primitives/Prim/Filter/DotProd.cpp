#include <Primitives/Prim/Filter/DotProd.h>
#include <Primitives/Prim/Sum.h>

namespace Prim {
namespace {

template <class T, void (*Kernel)(const T*, const T*, std::int32_t, T*)>
Status DotProd(const T* src1, const T* src2, std::int32_t len, T* result) {
    if (src1 == nullptr || src2 == nullptr || result == nullptr) return StatusNullPointer;
    if (len < 1) return StatusSizeError;
    Kernel(src1, src2, len, result);
    return StatusOk;
}

}  // namespace

Status DotProdF32_x87(const float* src1, const float* src2, std::int32_t len, float* result) {
    return DotProd<float, DotProdKernelF32_x87>(src1, src2, len, result);
}
Status DotProdF32_sse2(const float* src1, const float* src2, std::int32_t len, float* result) {
    return DotProd<float, DotProdKernelF32_sse2>(src1, src2, len, result);
}
Status DotProdF64_x87(const double* src1, const double* src2, std::int32_t len, double* result) {
    return DotProd<double, DotProdKernelF64_x87>(src1, src2, len, result);
}
Status DotProdF64_sse2(const double* src1, const double* src2, std::int32_t len, double* result) {
    return DotProd<double, DotProdKernelF64_sse2>(src1, src2, len, result);
}

}  // namespace Prim
