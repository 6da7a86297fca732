#include <Primitives/Prim/Window.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(85, WinBartlettF32)
PRIM_BIND_VARIANT(86, WinHannF32)
PRIM_BIND_VARIANT(87, WinHammingF32)
PRIM_BIND_VARIANT(88, WinBlackmanF32)
PRIM_BIND_VARIANT(89, WinKaiserF32)
PRIM_BIND_VARIANT(90, WinKaiserF64)

namespace Prim {

Status WinBartlettF32(float* srcDst, std::int32_t len) {
    return BoundVariant<85>(&WinBartlettF32_x87, &WinBartlettF32_sse2)(srcDst, len);
}
Status WinHannF32(float* srcDst, std::int32_t len) {
    return BoundVariant<86>(&WinHannF32_x87, &WinHannF32_sse2)(srcDst, len);
}
Status WinHammingF32(float* srcDst, std::int32_t len) {
    return BoundVariant<87>(&WinHammingF32_x87, &WinHammingF32_sse2)(srcDst, len);
}
Status WinBlackmanF32(float* srcDst, std::int32_t len, float alpha) {
    return BoundVariant<88>(&WinBlackmanF32_x87, &WinBlackmanF32_sse2)(srcDst, len, alpha);
}

}  // namespace Prim
