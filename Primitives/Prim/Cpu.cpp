#include <Primitives/Prim/Cpu.h>

namespace Prim {
namespace {

constexpr std::uint32_t Bit(std::uint32_t word, unsigned bit) { return (word >> bit) & 1U; }

std::uint32_t HttFlag(const Platform::Cpu::CpuidWords& leaf1) {
    const std::uint32_t logicalCount = (leaf1.ebx >> 16) & 0xFFU;
    return (Bit(leaf1.edx, 28) != 0 && logicalCount > 1) ? 1U : 0U;
}

std::uint32_t LongModeFlag(const Platform::Cpu::CpuidSource& cpu) {
    const std::uint32_t highestExtended = cpu.Query(0x80000000U).eax;
    if (highestExtended < 0x80000001U) {
        return 0;
    }
    return Bit(cpu.Query(0x80000001U).edx, 29);
}

}  // namespace

std::int32_t CpuidSupported(const Platform::Cpu::CpuidSource& cpu) { return cpu.IdFlagToggles() ? 1 : 0; }

std::int32_t IsGenuineIntel(const Platform::Cpu::CpuidSource& cpu) {
    const Platform::Cpu::CpuidWords w = cpu.Query(0);
    // "Genu", "ineI", "ntel" as little-endian words.
    return (w.ebx == 0x756E6547U && w.edx == 0x49656E69U && w.ecx == 0x6C65746EU) ? 1 : 0;
}

void GetCpuInfo(CpuInfo* info, const Platform::Cpu::CpuidSource& cpu) {
    if (info == nullptr) {
        return;
    }
    const Platform::Cpu::CpuidWords leaf1 = cpu.Query(1);
    info->family = (leaf1.eax >> 8) & 0xFU;
    info->stepping = leaf1.eax & 0xFU;
    info->model = (leaf1.eax >> 4) & 0xFU;
    info->features = leaf1.edx;
    info->mmx = Bit(leaf1.edx, 23);
    info->sse = Bit(leaf1.edx, 25);
    info->sse2 = Bit(leaf1.edx, 26);
    info->htt = HttFlag(leaf1);
    info->sse3 = Bit(leaf1.ecx, 0);
    info->longMode = LongModeFlag(cpu);
    const Platform::Cpu::CpuidWords leaf2 = cpu.Query(2);
    info->descriptorsA = leaf2.eax;
    info->descriptorsD = leaf2.edx;
}

CpuType GetCpuType(const Platform::Cpu::CpuidSource& cpu) {
    if (CpuidSupported(cpu) == 0 || IsGenuineIntel(cpu) == 0) {
        return CpuTypeUnknown;
    }
    CpuInfo info;
    GetCpuInfo(&info, cpu);
    if (info.family == 7) {
        return CpuTypeFamily7;
    }
    // The 4-bit family field never reads 31; kept for a wider family field.
    if (info.family == 31) {
        return CpuTypeFamily15NoSse2;
    }
    if (info.family == 15) {
        if (info.sse2 == 0) {
            return CpuTypeFamily15NoSse2;
        }
        if (info.sse3 == 0) {
            return info.htt != 0 ? CpuTypeFamily15Sse2Htt : CpuTypeFamily15Sse2;
        }
        return info.longMode != 0 ? CpuTypeFamily15Sse3Long : CpuTypeFamily15Sse3;
    }
    if (info.family == 5) {
        return info.mmx != 0 ? CpuTypeFamily5Mmx : CpuTypeFamily5;
    }
    if (info.family == 6) {
        if (info.sse2 != 0) {
            return CpuTypeFamily6Sse2;
        }
        if (info.sse != 0) {
            return CpuTypeFamily6Sse;
        }
        return info.mmx != 0 ? CpuTypeFamily6Mmx : CpuTypeFamily6;
    }
    return CpuTypeUnknown;
}

std::int32_t HasTimeStampCounter(const Platform::Cpu::CpuidSource& cpu) {
    return static_cast<std::int32_t>(Bit(cpu.Query(1).edx, 4));
}
std::int32_t HasMmx(const Platform::Cpu::CpuidSource& cpu) {
    return static_cast<std::int32_t>(Bit(cpu.Query(1).edx, 23));
}
std::int32_t HasSse(const Platform::Cpu::CpuidSource& cpu) {
    return static_cast<std::int32_t>(Bit(cpu.Query(1).edx, 25));
}
std::int32_t HasSse2(const Platform::Cpu::CpuidSource& cpu) {
    return static_cast<std::int32_t>(Bit(cpu.Query(1).edx, 26));
}
std::int32_t HasHtt(const Platform::Cpu::CpuidSource& cpu) { return static_cast<std::int32_t>(HttFlag(cpu.Query(1))); }
std::int32_t HasSse3(const Platform::Cpu::CpuidSource& cpu) {
    return static_cast<std::int32_t>(Bit(cpu.Query(1).ecx, 0));
}
std::int32_t HasLongMode(const Platform::Cpu::CpuidSource& cpu) { return static_cast<std::int32_t>(LongModeFlag(cpu)); }
std::uint32_t HighestStandardLeaf(const Platform::Cpu::CpuidSource& cpu) { return cpu.Query(0).eax; }

}  // namespace Prim
