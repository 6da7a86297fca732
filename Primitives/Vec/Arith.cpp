#include <Primitives/Vec/Arith.h>

#include <Primitives/Prim/Arith.h>

namespace Vec {

void AddF32(std::int32_t len, const float* src, float* srcDst) { Prim::AddInPlaceF32(src, srcDst, len); }
void AddF64(std::int32_t len, const double* src, double* srcDst) { Prim::AddInPlaceF64(src, srcDst, len); }
void MulConstF32(std::int32_t len, float* srcDst, float value) { Prim::MulConstInPlaceF32(value, srcDst, len); }
void MulConstF64(std::int32_t len, double* srcDst, double value) { Prim::MulConstInPlaceF64(value, srcDst, len); }
void MulF64(std::int32_t len, const double* src, double* srcDst) { Prim::MulInPlaceF64(src, srcDst, len); }

}  // namespace Vec
