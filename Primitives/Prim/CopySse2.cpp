#include <Primitives/Prim/BlockKernels.h>
#include <Primitives/Prim/Copy.h>
#include <Primitives/Prim/CopyBuild.h>

namespace Prim {
namespace {

struct Kernels {
    static void Copy(const void* s, void* d, std::size_t n) { CopyBytes_sse2(s, d, n); }
    static void Move(const void* s, void* d, std::size_t n) { MoveBytes_sse2(s, d, n); }
    static void Zero(void* d, std::size_t n) { ZeroBytes_sse2(d, n); }
    static void Fill(const void* v, std::size_t size, void* d, std::size_t count) {
        FillKernel_sse2(v, size, d, count);
    }
};
using Build = CopyBuild<Kernels>;

}  // namespace

Status CopyU8_sse2(const std::uint8_t* src, std::uint8_t* dst, std::int32_t len) { return Build::Copy(src, dst, len); }
Status CopyS16_sse2(const std::int16_t* src, std::int16_t* dst, std::int32_t len) { return Build::Copy(src, dst, len); }
Status CopyF32_sse2(const float* src, float* dst, std::int32_t len) { return Build::Copy(src, dst, len); }
Status CopyF64_sse2(const double* src, double* dst, std::int32_t len) { return Build::Copy(src, dst, len); }

Status MoveU8_sse2(const std::uint8_t* src, std::uint8_t* dst, std::int32_t len) { return Build::Move(src, dst, len); }
Status MoveS16_sse2(const std::int16_t* src, std::int16_t* dst, std::int32_t len) { return Build::Move(src, dst, len); }
Status MoveF32_sse2(const float* src, float* dst, std::int32_t len) { return Build::Move(src, dst, len); }
Status MoveF64_sse2(const double* src, double* dst, std::int32_t len) { return Build::Move(src, dst, len); }

Status SetU8_sse2(std::uint8_t value, std::uint8_t* dst, std::int32_t len) { return Build::Set(value, dst, len); }
Status SetS16_sse2(std::int16_t value, std::int16_t* dst, std::int32_t len) { return Build::Set(value, dst, len); }
Status SetS32_sse2(std::int32_t value, std::int32_t* dst, std::int32_t len) { return Build::Set(value, dst, len); }
Status SetF32_sse2(float value, float* dst, std::int32_t len) { return Build::Set(value, dst, len); }
Status SetF64_sse2(double value, double* dst, std::int32_t len) { return Build::Set(value, dst, len); }

Status ZeroU8_sse2(std::uint8_t* dst, std::int32_t len) { return Build::Zero(dst, len); }
Status ZeroS16_sse2(std::int16_t* dst, std::int32_t len) { return Build::Zero(dst, len); }
Status ZeroF32_sse2(float* dst, std::int32_t len) { return Build::Zero(dst, len); }
Status ZeroF64_sse2(double* dst, std::int32_t len) { return Build::Zero(dst, len); }

}  // namespace Prim
