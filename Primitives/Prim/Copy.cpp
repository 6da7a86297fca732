#include <Primitives/Prim/Copy.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(CopyU8)
PRIM_BIND_VARIANT(CopyS16)
PRIM_BIND_VARIANT(CopyF32)
PRIM_BIND_VARIANT(CopyF64)
PRIM_BIND_VARIANT(MoveU8)
PRIM_BIND_VARIANT(MoveS16)
PRIM_BIND_VARIANT(MoveF32)
PRIM_BIND_VARIANT(MoveF64)
PRIM_BIND_VARIANT(SetU8)
PRIM_BIND_VARIANT(SetS16)
PRIM_BIND_VARIANT(SetS32)
PRIM_BIND_VARIANT(SetF32)
PRIM_BIND_VARIANT(SetF64)
PRIM_BIND_VARIANT(ZeroU8)
PRIM_BIND_VARIANT(ZeroS16)
PRIM_BIND_VARIANT(ZeroF32)
PRIM_BIND_VARIANT(ZeroF64)

namespace Prim {

Status CopyU8(const std::uint8_t* src, std::uint8_t* dst, std::int32_t len) {
    return BoundVariant<Pair::CopyU8>(&CopyU8_x87, &CopyU8_sse2)(src, dst, len);
}
Status CopyF32(const float* src, float* dst, std::int32_t len) {
    return BoundVariant<Pair::CopyF32>(&CopyF32_x87, &CopyF32_sse2)(src, dst, len);
}
Status CopyF64(const double* src, double* dst, std::int32_t len) {
    return BoundVariant<Pair::CopyF64>(&CopyF64_x87, &CopyF64_sse2)(src, dst, len);
}
Status MoveU8(const std::uint8_t* src, std::uint8_t* dst, std::int32_t len) {
    return BoundVariant<Pair::MoveU8>(&MoveU8_x87, &MoveU8_sse2)(src, dst, len);
}
Status MoveF32(const float* src, float* dst, std::int32_t len) {
    return BoundVariant<Pair::MoveF32>(&MoveF32_x87, &MoveF32_sse2)(src, dst, len);
}
Status MoveF64(const double* src, double* dst, std::int32_t len) {
    return BoundVariant<Pair::MoveF64>(&MoveF64_x87, &MoveF64_sse2)(src, dst, len);
}
Status SetU8(std::uint8_t value, std::uint8_t* dst, std::int32_t len) {
    return BoundVariant<Pair::SetU8>(&SetU8_x87, &SetU8_sse2)(value, dst, len);
}
Status SetS32(std::int32_t value, std::int32_t* dst, std::int32_t len) {
    return BoundVariant<Pair::SetS32>(&SetS32_x87, &SetS32_sse2)(value, dst, len);
}
Status SetF32(float value, float* dst, std::int32_t len) {
    return BoundVariant<Pair::SetF32>(&SetF32_x87, &SetF32_sse2)(value, dst, len);
}
Status SetF64(double value, double* dst, std::int32_t len) {
    return BoundVariant<Pair::SetF64>(&SetF64_x87, &SetF64_sse2)(value, dst, len);
}
Status ZeroU8(std::uint8_t* dst, std::int32_t len) {
    return BoundVariant<Pair::ZeroU8>(&ZeroU8_x87, &ZeroU8_sse2)(dst, len);
}
Status ZeroF32(float* dst, std::int32_t len) {
    return BoundVariant<Pair::ZeroF32>(&ZeroF32_x87, &ZeroF32_sse2)(dst, len);
}
Status ZeroF64(double* dst, std::int32_t len) {
    return BoundVariant<Pair::ZeroF64>(&ZeroF64_x87, &ZeroF64_sse2)(dst, len);
}

}  // namespace Prim
