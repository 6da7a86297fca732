#include <Primitives/Prim/Convert.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(ConvertU8ToF32)
PRIM_BIND_VARIANT(ConvertS16ToF32)
PRIM_BIND_VARIANT(ConvertS16ToF64)
PRIM_BIND_VARIANT(ConvertS32ToF32)
PRIM_BIND_VARIANT(ConvertS32ToF64)
PRIM_BIND_VARIANT(ConvertF32ToU8)
PRIM_BIND_VARIANT(ConvertF32ToS16)
PRIM_BIND_VARIANT(ConvertF32ToS32)
PRIM_BIND_VARIANT(ConvertF64ToS32)
PRIM_BIND_VARIANT(ConvertF32ToF64)
PRIM_BIND_VARIANT(ConvertF64ToF32)

namespace Prim {

Status ConvertS16ToF32(const std::int16_t* src, float* dst, std::int32_t len, std::int32_t scale) {
    return BoundVariant<Pair::ConvertS16ToF32>(&ConvertS16ToF32_x87, &ConvertS16ToF32_sse2)(src, dst, len, scale);
}
Status ConvertS16ToF64(const std::int16_t* src, double* dst, std::int32_t len, std::int32_t scale) {
    return BoundVariant<Pair::ConvertS16ToF64>(&ConvertS16ToF64_x87, &ConvertS16ToF64_sse2)(src, dst, len, scale);
}
Status ConvertS32ToF32(const std::int32_t* src, float* dst, std::int32_t len, std::int32_t scale) {
    return BoundVariant<Pair::ConvertS32ToF32>(&ConvertS32ToF32_x87, &ConvertS32ToF32_sse2)(src, dst, len, scale);
}
Status ConvertS32ToF64(const std::int32_t* src, double* dst, std::int32_t len, std::int32_t scale) {
    return BoundVariant<Pair::ConvertS32ToF64>(&ConvertS32ToF64_x87, &ConvertS32ToF64_sse2)(src, dst, len, scale);
}
Status ConvertF32ToS16(const float* src, std::int16_t* dst, std::int32_t len, RoundMode roundMode, std::int32_t scale) {
    return BoundVariant<Pair::ConvertF32ToS16>(&ConvertF32ToS16_x87, &ConvertF32ToS16_sse2)(
        src, dst, len, roundMode, scale);
}
Status ConvertF32ToF64(const float* src, double* dst, std::int32_t len) {
    return BoundVariant<Pair::ConvertF32ToF64>(&ConvertF32ToF64_x87, &ConvertF32ToF64_sse2)(src, dst, len);
}
Status ConvertF64ToF32(const double* src, float* dst, std::int32_t len) {
    return BoundVariant<Pair::ConvertF64ToF32>(&ConvertF64ToF32_x87, &ConvertF64ToF32_sse2)(src, dst, len);
}

}  // namespace Prim
