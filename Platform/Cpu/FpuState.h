#pragma once
#include <cstdint>

// Direct access to the floating-point control and status registers of the
// calling thread, and to the time-stamp counter. On processors without them
// the reads return 0 and the writes do nothing.

namespace Platform::Cpu {

std::uint32_t ReadMxcsr();
void WriteMxcsr(std::uint32_t value);

std::uint16_t ReadX87ControlWord();
void WriteX87ControlWord(std::uint16_t value);
std::uint16_t ReadX87StatusWord();
void ClearX87Exceptions();

// The control/status mask word that FXSAVE stores (0 when the processor leaves it unset).
std::uint32_t SavedMxcsrMask();

std::uint64_t ReadTimeStampCounter();

}  // namespace Platform::Cpu
