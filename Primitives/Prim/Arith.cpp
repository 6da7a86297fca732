#include <Primitives/Prim/Arith.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(2, AddConstInPlaceF32)
PRIM_BIND_VARIANT(3, AddConstInPlaceF64)
PRIM_BIND_VARIANT(5, AddInPlaceF32)
PRIM_BIND_VARIANT(6, AddInPlaceF64)
PRIM_BIND_VARIANT(8, AddConstF32)
PRIM_BIND_VARIANT(10, AddF32)
PRIM_BIND_VARIANT(11, AddF64)
PRIM_BIND_VARIANT(12, AddProductF32)
PRIM_BIND_VARIANT(13, SubConstInPlaceF32)
PRIM_BIND_VARIANT(14, SubConstInPlaceF64)
PRIM_BIND_VARIANT(15, SubConstRevInPlaceF32)
PRIM_BIND_VARIANT(16, SubConstRevInPlaceF64)
PRIM_BIND_VARIANT(17, SubInPlaceF32)
PRIM_BIND_VARIANT(18, SubInPlaceF64)
PRIM_BIND_VARIANT(19, MulConstInPlaceF32)
PRIM_BIND_VARIANT(20, MulConstInPlaceF64)
PRIM_BIND_VARIANT(22, MulConstF32)
PRIM_BIND_VARIANT(23, MulConstF64)
PRIM_BIND_VARIANT(24, MulInPlaceF32)
PRIM_BIND_VARIANT(25, MulInPlaceF64)
PRIM_BIND_VARIANT(28, MulF32)

namespace Prim {

Status AddInPlaceF32(const float* src, float* srcDst, std::int32_t len) {
    return BoundVariant<5>(&AddInPlaceF32_x87, &AddInPlaceF32_sse2)(src, srcDst, len);
}
Status AddInPlaceF64(const double* src, double* srcDst, std::int32_t len) {
    return BoundVariant<6>(&AddInPlaceF64_x87, &AddInPlaceF64_sse2)(src, srcDst, len);
}
Status MulConstInPlaceF32(float value, float* srcDst, std::int32_t len) {
    return BoundVariant<19>(&MulConstInPlaceF32_x87, &MulConstInPlaceF32_sse2)(value, srcDst, len);
}
Status MulConstInPlaceF64(double value, double* srcDst, std::int32_t len) {
    return BoundVariant<20>(&MulConstInPlaceF64_x87, &MulConstInPlaceF64_sse2)(value, srcDst, len);
}
Status MulInPlaceF64(const double* src, double* srcDst, std::int32_t len) {
    return BoundVariant<25>(&MulInPlaceF64_x87, &MulInPlaceF64_sse2)(src, srcDst, len);
}

}  // namespace Prim
