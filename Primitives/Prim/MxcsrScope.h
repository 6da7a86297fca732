#pragma once
#include <Platform/Cpu/FpuState.h>

#include <cstdint>

// Sets some bits of the SSE control and status register for the duration of a
// call and puts the caller's whole word back afterwards. With WhenChanged the
// register is touched only when the caller's bits differ; with Always the flags
// raised inside the call are dropped as well. KeepingFlags is WhenChanged, but
// the exception flags raised inside the call stay raised, as they do when the
// register is left alone.
namespace Prim {

inline constexpr std::uint32_t MxcsrExceptionFlags = 0x3Fu;
inline constexpr std::uint32_t MxcsrZeroDivideFlag = 1u << 2;
inline constexpr std::uint32_t MxcsrExceptionMasks = 0x3Fu << 7;
inline constexpr std::uint32_t MxcsrRounding = 3u << 13;  // 0: to nearest
inline constexpr std::uint32_t MxcsrFlushToZero = 1u << 15;

class MxcsrScope {
public:
    enum class Restore { WhenChanged, KeepingFlags, Always };

    MxcsrScope(std::uint32_t value, std::uint32_t mask, Restore restore = Restore::WhenChanged)
        : saved_(Platform::Cpu::ReadMxcsr()), keepFlags_(restore == Restore::KeepingFlags) {
        const std::uint32_t wanted = (saved_ & ~mask) | (value & mask);
        restore_ = restore == Restore::Always || wanted != saved_;
        if (wanted != saved_) Platform::Cpu::WriteMxcsr(wanted);
    }
    ~MxcsrScope() {
        if (!restore_) return;
        const std::uint32_t raised = keepFlags_ ? Platform::Cpu::ReadMxcsr() & MxcsrExceptionFlags : 0;
        Platform::Cpu::WriteMxcsr(saved_ | raised);
    }
    MxcsrScope(const MxcsrScope&) = delete;
    MxcsrScope& operator=(const MxcsrScope&) = delete;

private:
    std::uint32_t saved_;
    bool keepFlags_;
    bool restore_ = false;
};

// Round to nearest, no flush to zero: what the SSE2 builds' rounding tricks assume.
inline MxcsrScope NearestRounding(MxcsrScope::Restore restore = MxcsrScope::Restore::WhenChanged) {
    return MxcsrScope(0, MxcsrRounding | MxcsrFlushToZero, restore);
}

}  // namespace Prim
