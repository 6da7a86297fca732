#pragma once
#include <Platform/Cpu/Cpuid.h>

#include <cstdint>

namespace Prim {

// What the classification needs to know about a processor.
struct CpuInfo {
    std::uint32_t family = 0;  // 4-bit family field only
    std::uint32_t stepping = 0;
    std::uint32_t model = 0;  // 4-bit model field only
    std::uint32_t features = 0;  // leaf 1 EDX
    std::uint32_t descriptorsA = 0;  // leaf 2 EAX
    std::uint32_t descriptorsD = 0;  // leaf 2 EDX
    std::uint32_t mmx = 0;
    std::uint32_t sse = 0;
    std::uint32_t sse2 = 0;
    std::uint32_t htt = 0;
    std::uint32_t sse3 = 0;
    std::uint32_t longMode = 0;  // the 64-bit extension
};

// Processor type; see CpuTypeXxx for the values the classification gives.
using CpuType = std::int32_t;

inline constexpr CpuType CpuTypeUnknown = 0;
inline constexpr CpuType CpuTypeFamily5 = 1;
inline constexpr CpuType CpuTypeFamily5Mmx = 2;
inline constexpr CpuType CpuTypeFamily6 = 3;
inline constexpr CpuType CpuTypeFamily6Mmx = 4;
inline constexpr CpuType CpuTypeFamily6Sse = 5;
inline constexpr CpuType CpuTypeFamily15Sse2 = 6;
inline constexpr CpuType CpuTypeFamily15Sse2Htt = 7;
inline constexpr CpuType CpuTypeFamily15Sse3 = 8;
inline constexpr CpuType CpuTypeFamily6Sse2 = 9;
inline constexpr CpuType CpuTypeFamily7 = 16;
inline constexpr CpuType CpuTypeFamily15NoSse2 = 17;
inline constexpr CpuType CpuTypeFamily15Sse3Long = 32;

// Every query runs CPUID anew on `cpu` (the host processor unless a test
// passes its own source); nothing is cached.
std::int32_t CpuidSupported(const Platform::Cpu::CpuidSource& cpu = Platform::Cpu::HostCpuid());
std::int32_t IsGenuineIntel(const Platform::Cpu::CpuidSource& cpu = Platform::Cpu::HostCpuid());
void GetCpuInfo(CpuInfo* info, const Platform::Cpu::CpuidSource& cpu = Platform::Cpu::HostCpuid());
CpuType GetCpuType(const Platform::Cpu::CpuidSource& cpu = Platform::Cpu::HostCpuid());

// Single feature queries (0 or 1).
std::int32_t HasTimeStampCounter(const Platform::Cpu::CpuidSource& cpu = Platform::Cpu::HostCpuid());
std::int32_t HasMmx(const Platform::Cpu::CpuidSource& cpu = Platform::Cpu::HostCpuid());
std::int32_t HasSse(const Platform::Cpu::CpuidSource& cpu = Platform::Cpu::HostCpuid());
std::int32_t HasSse2(const Platform::Cpu::CpuidSource& cpu = Platform::Cpu::HostCpuid());
std::int32_t HasHtt(const Platform::Cpu::CpuidSource& cpu = Platform::Cpu::HostCpuid());
std::int32_t HasSse3(const Platform::Cpu::CpuidSource& cpu = Platform::Cpu::HostCpuid());
std::int32_t HasLongMode(const Platform::Cpu::CpuidSource& cpu = Platform::Cpu::HostCpuid());
std::uint32_t HighestStandardLeaf(const Platform::Cpu::CpuidSource& cpu = Platform::Cpu::HostCpuid());

}  // namespace Prim
