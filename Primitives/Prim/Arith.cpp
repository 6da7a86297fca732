#include <Primitives/Prim/Arith.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(AddConstInPlaceF32)
PRIM_BIND_VARIANT(AddConstInPlaceF64)
PRIM_BIND_VARIANT(AddInPlaceF32)
PRIM_BIND_VARIANT(AddInPlaceF64)
PRIM_BIND_VARIANT(AddConstF32)
PRIM_BIND_VARIANT(AddF32)
PRIM_BIND_VARIANT(AddF64)
PRIM_BIND_VARIANT(AddProductF32)
PRIM_BIND_VARIANT(SubConstInPlaceF32)
PRIM_BIND_VARIANT(SubConstInPlaceF64)
PRIM_BIND_VARIANT(SubConstRevInPlaceF32)
PRIM_BIND_VARIANT(SubConstRevInPlaceF64)
PRIM_BIND_VARIANT(SubInPlaceF32)
PRIM_BIND_VARIANT(SubInPlaceF64)
PRIM_BIND_VARIANT(MulConstInPlaceF32)
PRIM_BIND_VARIANT(MulConstInPlaceF64)
PRIM_BIND_VARIANT(MulConstF32)
PRIM_BIND_VARIANT(MulConstF64)
PRIM_BIND_VARIANT(MulInPlaceF32)
PRIM_BIND_VARIANT(MulInPlaceF64)
PRIM_BIND_VARIANT(MulF32)

namespace Prim {

Status AddInPlaceF32(const float* src, float* srcDst, std::int32_t len) {
    return BoundVariant<Pair::AddInPlaceF32>(&AddInPlaceF32_x87, &AddInPlaceF32_sse2)(src, srcDst, len);
}
Status AddInPlaceF64(const double* src, double* srcDst, std::int32_t len) {
    return BoundVariant<Pair::AddInPlaceF64>(&AddInPlaceF64_x87, &AddInPlaceF64_sse2)(src, srcDst, len);
}
Status MulConstInPlaceF32(float value, float* srcDst, std::int32_t len) {
    return BoundVariant<Pair::MulConstInPlaceF32>(&MulConstInPlaceF32_x87, &MulConstInPlaceF32_sse2)(
        value, srcDst, len);
}
Status MulConstInPlaceF64(double value, double* srcDst, std::int32_t len) {
    return BoundVariant<Pair::MulConstInPlaceF64>(&MulConstInPlaceF64_x87, &MulConstInPlaceF64_sse2)(
        value, srcDst, len);
}
Status MulInPlaceF64(const double* src, double* srcDst, std::int32_t len) {
    return BoundVariant<Pair::MulInPlaceF64>(&MulInPlaceF64_x87, &MulInPlaceF64_sse2)(src, srcDst, len);
}

}  // namespace Prim
