#include <Primitives/Prim/ProcessorState.h>

#include <Platform/Cpu/FpuState.h>

namespace Prim {

std::uint32_t SetDefaultMxcsr() {
    const std::uint32_t former = Platform::Cpu::ReadMxcsr();
    Platform::Cpu::WriteMxcsr(DefaultMxcsr);
    return former;
}

std::uint32_t SetMxcsrBits(std::uint32_t value, std::uint32_t mask) {
    const std::uint32_t former = Platform::Cpu::ReadMxcsr();
    Platform::Cpu::WriteMxcsr((former & ~mask) | (value & mask));
    return former;
}

std::uint32_t GetMxcsr() { return Platform::Cpu::ReadMxcsr(); }

std::uint16_t SetX87ControlBits(std::uint16_t value, std::uint16_t mask) {
    const std::uint16_t former = Platform::Cpu::ReadX87ControlWord();
    Platform::Cpu::WriteX87ControlWord(static_cast<std::uint16_t>((former & ~mask) | (value & mask)));
    return former;
}

std::uint16_t GetX87ControlWord() { return Platform::Cpu::ReadX87ControlWord(); }
std::uint16_t GetX87StatusWord() { return Platform::Cpu::ReadX87StatusWord(); }

std::uint16_t GetClearX87StatusWord() {
    const std::uint16_t word = Platform::Cpu::ReadX87StatusWord();
    Platform::Cpu::ClearX87Exceptions();
    return word;
}

std::int32_t IsDazSupported() {
    const std::uint32_t mask = Platform::Cpu::SavedMxcsrMask();
    return (mask != 0 && (mask & 0x40U) != 0) ? 1 : 0;
}

std::uint64_t ReadTimeStampCounter() { return Platform::Cpu::ReadTimeStampCounter(); }

}  // namespace Prim
