#include <Primitives/Prim/Convert.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(180, ConvertU8ToF32)
PRIM_BIND_VARIANT(181, ConvertS16ToF32)
PRIM_BIND_VARIANT(182, ConvertS16ToF64)
PRIM_BIND_VARIANT(183, ConvertS32ToF32)
PRIM_BIND_VARIANT(184, ConvertS32ToF64)
PRIM_BIND_VARIANT(185, ConvertF32ToU8)
PRIM_BIND_VARIANT(186, ConvertF32ToS16)
PRIM_BIND_VARIANT(187, ConvertF32ToS32)
PRIM_BIND_VARIANT(188, ConvertF64ToS32)
PRIM_BIND_VARIANT(189, ConvertF32ToF64)
PRIM_BIND_VARIANT(190, ConvertF64ToF32)

namespace Prim {

Status ConvertS16ToF32(const std::int16_t* src, float* dst, std::int32_t len, std::int32_t scale) {
    return BoundVariant<181>(&ConvertS16ToF32_x87, &ConvertS16ToF32_sse2)(src, dst, len, scale);
}
Status ConvertS16ToF64(const std::int16_t* src, double* dst, std::int32_t len, std::int32_t scale) {
    return BoundVariant<182>(&ConvertS16ToF64_x87, &ConvertS16ToF64_sse2)(src, dst, len, scale);
}
Status ConvertS32ToF32(const std::int32_t* src, float* dst, std::int32_t len, std::int32_t scale) {
    return BoundVariant<183>(&ConvertS32ToF32_x87, &ConvertS32ToF32_sse2)(src, dst, len, scale);
}
Status ConvertS32ToF64(const std::int32_t* src, double* dst, std::int32_t len, std::int32_t scale) {
    return BoundVariant<184>(&ConvertS32ToF64_x87, &ConvertS32ToF64_sse2)(src, dst, len, scale);
}
Status ConvertF32ToS16(const float* src, std::int16_t* dst, std::int32_t len, RoundMode roundMode, std::int32_t scale) {
    return BoundVariant<186>(&ConvertF32ToS16_x87, &ConvertF32ToS16_sse2)(src, dst, len, roundMode, scale);
}
Status ConvertF32ToF64(const float* src, double* dst, std::int32_t len) {
    return BoundVariant<189>(&ConvertF32ToF64_x87, &ConvertF32ToF64_sse2)(src, dst, len);
}
Status ConvertF64ToF32(const double* src, float* dst, std::int32_t len) {
    return BoundVariant<190>(&ConvertF64ToF32_x87, &ConvertF64ToF32_sse2)(src, dst, len);
}

}  // namespace Prim
