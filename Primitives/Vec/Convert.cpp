#include <Primitives/Vec/Convert.h>

#include <Primitives/Prim/Convert.h>

namespace Vec {

void ConvertS16ToF32(std::int32_t len, const std::int16_t* src, float* dst, std::int32_t scale) {
    Prim::ConvertS16ToF32(src, dst, len, scale);
}
void ConvertS16ToF64(std::int32_t len, const std::int16_t* src, double* dst, std::int32_t scale) {
    Prim::ConvertS16ToF64(src, dst, len, scale);
}
void ConvertS32ToF32(std::int32_t len, const std::int32_t* src, float* dst, std::int32_t scale) {
    Prim::ConvertS32ToF32(src, dst, len, scale);
}
void ConvertS32ToF64(std::int32_t len, const std::int32_t* src, double* dst, std::int32_t scale) {
    Prim::ConvertS32ToF64(src, dst, len, scale);
}
void ConvertF32ToS16(std::int32_t len, const float* src, std::int16_t* dst, std::int32_t scale, bool round) {
    Prim::ConvertF32ToS16(src, dst, len, round ? Prim::RoundModeNearest : Prim::RoundModeZero, scale);
}
void ConvertF32ToF64(std::int32_t len, const float* src, double* dst) { Prim::ConvertF32ToF64(src, dst, len); }
void ConvertF64ToF32(std::int32_t len, const double* src, float* dst) { Prim::ConvertF64ToF32(src, dst, len); }

}  // namespace Vec
