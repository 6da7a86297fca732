#include <Primitives/Prim/Window.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(WinBartlettF32)
PRIM_BIND_VARIANT(WinHannF32)
PRIM_BIND_VARIANT(WinHammingF32)
PRIM_BIND_VARIANT(WinBlackmanF32)
PRIM_BIND_VARIANT(WinKaiserF32)
PRIM_BIND_VARIANT(WinKaiserF64)

namespace Prim {

Status WinBartlettF32(float* srcDst, std::int32_t len) {
    return BoundVariant<Pair::WinBartlettF32>(&WinBartlettF32_x87, &WinBartlettF32_sse2)(srcDst, len);
}
Status WinHannF32(float* srcDst, std::int32_t len) {
    return BoundVariant<Pair::WinHannF32>(&WinHannF32_x87, &WinHannF32_sse2)(srcDst, len);
}
Status WinHammingF32(float* srcDst, std::int32_t len) {
    return BoundVariant<Pair::WinHammingF32>(&WinHammingF32_x87, &WinHammingF32_sse2)(srcDst, len);
}
Status WinBlackmanF32(float* srcDst, std::int32_t len, float alpha) {
    return BoundVariant<Pair::WinBlackmanF32>(&WinBlackmanF32_x87, &WinBlackmanF32_sse2)(srcDst, len, alpha);
}

}  // namespace Prim
