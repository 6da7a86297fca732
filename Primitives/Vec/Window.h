#pragma once
#include <cstdint>

// Windows on double vectors in place. The data pass through a 32-bit float
// temporary (values beyond the float range are clamped to it), so the
// result carries 32-bit precision. A length beyond 0x3FFFFFFF points throws
// std::length_error and a lack of memory std::bad_alloc, with the data untouched.
namespace Vec {

void WinBartlettF64(std::int32_t len, double* data);
void WinHannF64(std::int32_t len, double* data);
void WinHammingF64(std::int32_t len, double* data);
void WinBlackmanF64(std::int32_t len, double* data, float alpha);

}  // namespace Vec
