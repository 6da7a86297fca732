#include <Primitives/Prim/BlockKernels.h>
#include <Primitives/Prim/Copy.h>
#include <Primitives/Prim/CopyBuild.h>

#include <bit>

namespace Prim {
namespace {

struct Kernels {
    static void Copy(const void* s, void* d, std::size_t n) { CopyBytes_x87(s, d, n); }
    static void Move(const void* s, void* d, std::size_t n) { MoveBytes_x87(s, d, n); }
    static void Zero(void* d, std::size_t n) { ZeroBytes_x87(d, n); }
    static void Fill(const void* v, std::size_t size, void* d, std::size_t count) { FillKernel_x87(v, size, d, count); }
};
using Build = CopyBuild<Kernels>;

// An x87 load and store turns a signalling NaN into the matching quiet NaN.
double ThroughX87(double value) {
    std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    constexpr std::uint64_t exponent = 0x7FF0000000000000ULL;
    constexpr std::uint64_t quiet = 0x0008000000000000ULL;
    constexpr std::uint64_t payload = 0x000FFFFFFFFFFFFFULL;
    if ((bits & exponent) == exponent && (bits & payload) != 0) {
        bits |= quiet;
    }
    return std::bit_cast<double>(bits);
}

}  // namespace

Status CopyU8_x87(const std::uint8_t* src, std::uint8_t* dst, std::int32_t len) { return Build::Copy(src, dst, len); }
Status CopyS16_x87(const std::int16_t* src, std::int16_t* dst, std::int32_t len) { return Build::Copy(src, dst, len); }
Status CopyF32_x87(const float* src, float* dst, std::int32_t len) { return Build::Copy(src, dst, len); }
Status CopyF64_x87(const double* src, double* dst, std::int32_t len) { return Build::Copy(src, dst, len); }

Status MoveU8_x87(const std::uint8_t* src, std::uint8_t* dst, std::int32_t len) { return Build::Move(src, dst, len); }
Status MoveS16_x87(const std::int16_t* src, std::int16_t* dst, std::int32_t len) { return Build::Move(src, dst, len); }
Status MoveF32_x87(const float* src, float* dst, std::int32_t len) { return Build::Move(src, dst, len); }
Status MoveF64_x87(const double* src, double* dst, std::int32_t len) { return Build::Move(src, dst, len); }

Status SetU8_x87(std::uint8_t value, std::uint8_t* dst, std::int32_t len) { return Build::Set(value, dst, len); }
Status SetS16_x87(std::int16_t value, std::int16_t* dst, std::int32_t len) { return Build::Set(value, dst, len); }
Status SetS32_x87(std::int32_t value, std::int32_t* dst, std::int32_t len) { return Build::Set(value, dst, len); }
Status SetF32_x87(float value, float* dst, std::int32_t len) { return Build::Set(value, dst, len); }
Status SetF64_x87(double value, double* dst, std::int32_t len) { return Build::Set(ThroughX87(value), dst, len); }

Status ZeroU8_x87(std::uint8_t* dst, std::int32_t len) { return Build::Zero(dst, len); }
Status ZeroS16_x87(std::int16_t* dst, std::int32_t len) { return Build::Zero(dst, len); }
Status ZeroF32_x87(float* dst, std::int32_t len) { return Build::Zero(dst, len); }
Status ZeroF64_x87(double* dst, std::int32_t len) { return Build::Zero(dst, len); }

}  // namespace Prim
