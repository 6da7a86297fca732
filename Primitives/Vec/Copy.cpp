#include <Primitives/Vec/Copy.h>

#include <Primitives/Prim/Copy.h>

namespace Vec {

void CopyU8(std::int32_t len, const std::uint8_t* src, std::uint8_t* dst) {
    if (len != 0) Prim::CopyU8(src, dst, len);
}
void CopyF32(std::int32_t len, const float* src, float* dst) {
    if (len != 0) Prim::CopyF32(src, dst, len);
}
void CopyF64(std::int32_t len, const double* src, double* dst) {
    if (len != 0) Prim::CopyF64(src, dst, len);
}

void MoveU8(std::int32_t len, const std::uint8_t* src, std::uint8_t* dst) {
    if (len != 0) Prim::MoveU8(src, dst, len);
}
void MoveF32(std::int32_t len, const float* src, float* dst) {
    if (len != 0) Prim::MoveF32(src, dst, len);
}
void MoveF64(std::int32_t len, const double* src, double* dst) {
    if (len != 0) Prim::MoveF64(src, dst, len);
}

void SetU8(std::int32_t len, std::uint8_t* dst, std::uint8_t value) {
    if (len != 0) Prim::SetU8(value, dst, len);
}
void SetS32(std::int32_t len, std::int32_t* dst, std::int32_t value) {
    if (len != 0) Prim::SetS32(value, dst, len);
}
void SetF32(std::int32_t len, float* dst, float value) {
    if (len != 0) Prim::SetF32(value, dst, len);
}
void SetF64(std::int32_t len, double* dst, double value) {
    if (len != 0) Prim::SetF64(value, dst, len);
}

void ZeroU8(std::int32_t len, std::uint8_t* dst) {
    if (len != 0) Prim::ZeroU8(dst, len);
}
void ZeroF32(std::int32_t len, float* dst) {
    if (len != 0) Prim::ZeroF32(dst, len);
}
void ZeroF64(std::int32_t len, double* dst) {
    if (len != 0) Prim::ZeroF64(dst, len);
}

}  // namespace Vec
