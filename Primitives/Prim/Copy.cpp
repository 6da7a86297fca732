#include <Primitives/Prim/Copy.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(163, CopyU8)
PRIM_BIND_VARIANT(164, CopyS16)
PRIM_BIND_VARIANT(165, CopyF32)
PRIM_BIND_VARIANT(166, CopyF64)
PRIM_BIND_VARIANT(167, MoveU8)
PRIM_BIND_VARIANT(168, MoveS16)
PRIM_BIND_VARIANT(169, MoveF32)
PRIM_BIND_VARIANT(170, MoveF64)
PRIM_BIND_VARIANT(171, SetU8)
PRIM_BIND_VARIANT(172, SetS16)
PRIM_BIND_VARIANT(173, SetS32)
PRIM_BIND_VARIANT(174, SetF32)
PRIM_BIND_VARIANT(175, SetF64)
PRIM_BIND_VARIANT(176, ZeroU8)
PRIM_BIND_VARIANT(177, ZeroS16)
PRIM_BIND_VARIANT(178, ZeroF32)
PRIM_BIND_VARIANT(179, ZeroF64)

namespace Prim {

Status CopyU8(const std::uint8_t* src, std::uint8_t* dst, std::int32_t len) {
    return BoundVariant<163>(&CopyU8_x87, &CopyU8_sse2)(src, dst, len);
}
Status CopyF32(const float* src, float* dst, std::int32_t len) {
    return BoundVariant<165>(&CopyF32_x87, &CopyF32_sse2)(src, dst, len);
}
Status CopyF64(const double* src, double* dst, std::int32_t len) {
    return BoundVariant<166>(&CopyF64_x87, &CopyF64_sse2)(src, dst, len);
}
Status MoveU8(const std::uint8_t* src, std::uint8_t* dst, std::int32_t len) {
    return BoundVariant<167>(&MoveU8_x87, &MoveU8_sse2)(src, dst, len);
}
Status MoveF32(const float* src, float* dst, std::int32_t len) {
    return BoundVariant<169>(&MoveF32_x87, &MoveF32_sse2)(src, dst, len);
}
Status MoveF64(const double* src, double* dst, std::int32_t len) {
    return BoundVariant<170>(&MoveF64_x87, &MoveF64_sse2)(src, dst, len);
}
Status SetU8(std::uint8_t value, std::uint8_t* dst, std::int32_t len) {
    return BoundVariant<171>(&SetU8_x87, &SetU8_sse2)(value, dst, len);
}
Status SetS32(std::int32_t value, std::int32_t* dst, std::int32_t len) {
    return BoundVariant<173>(&SetS32_x87, &SetS32_sse2)(value, dst, len);
}
Status SetF32(float value, float* dst, std::int32_t len) {
    return BoundVariant<174>(&SetF32_x87, &SetF32_sse2)(value, dst, len);
}
Status SetF64(double value, double* dst, std::int32_t len) {
    return BoundVariant<175>(&SetF64_x87, &SetF64_sse2)(value, dst, len);
}
Status ZeroU8(std::uint8_t* dst, std::int32_t len) { return BoundVariant<176>(&ZeroU8_x87, &ZeroU8_sse2)(dst, len); }
Status ZeroF32(float* dst, std::int32_t len) { return BoundVariant<178>(&ZeroF32_x87, &ZeroF32_sse2)(dst, len); }
Status ZeroF64(double* dst, std::int32_t len) { return BoundVariant<179>(&ZeroF64_x87, &ZeroF64_sse2)(dst, len); }

}  // namespace Prim
