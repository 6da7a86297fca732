// Portable builds of the sum and the dot product, accumulating in double precision.
#include <Primitives/Prim/Sum.h>

#include <cstddef>

namespace Prim {

Status SumF32_x87(const float* src, std::int32_t len, float* sum, SumAccuracyHint) {
    if (src == nullptr || sum == nullptr) return StatusNullPointer;
    if (len < 1) return StatusSizeError;
    const std::size_t n = static_cast<std::size_t>(len);
    const std::size_t m = n & ~std::size_t{3};
    // Even and odd elements in two running sums, the tail added to their total.
    double even = 0.0;
    double odd = 0.0;
    for (std::size_t i = 0; i < m; i += 2) {
        even += double(src[i]);
        odd += double(src[i + 1]);
    }
    double total = even + odd;
    for (std::size_t i = m; i < n; ++i) total += double(src[i]);
    *sum = static_cast<float>(total);
    return StatusOk;
}

void DotProdKernelF32_x87(const float* a, const float* b, std::int32_t len, float* result) {
    double total = 0.0;
    for (std::int32_t i = 0; i < len; ++i) total += double(a[i]) * double(b[i]);
    *result = static_cast<float>(total);
}

void DotProdKernelF64_x87(const double* a, const double* b, std::int32_t len, double* result) {
    double total = 0.0;
    for (std::int32_t i = 0; i < len; ++i) total += a[i] * b[i];
    *result = total;
}

}  // namespace Prim
