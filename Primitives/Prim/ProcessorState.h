#pragma once
#include <cstdint>

// Processor-state support of the primitive library: the floating-point control
// and status registers and the time-stamp counter. The operations themselves
// never change this state.

namespace Prim {

inline constexpr std::uint32_t DefaultMxcsr = 0x1F80;  // all exceptions masked, round to nearest

// Each setter returns the former value.
std::uint32_t SetDefaultMxcsr();
std::uint32_t SetMxcsrBits(std::uint32_t value, std::uint32_t mask);
std::uint32_t GetMxcsr();

std::uint16_t SetX87ControlBits(std::uint16_t value, std::uint16_t mask);
std::uint16_t GetX87ControlWord();
std::uint16_t GetX87StatusWord();
// Returns the status word as it was, then clears the exception flags.
std::uint16_t GetClearX87StatusWord();

// 1 when the processor offers denormals-are-zero, else 0.
std::int32_t IsDazSupported();

std::uint64_t ReadTimeStampCounter();

}  // namespace Prim
