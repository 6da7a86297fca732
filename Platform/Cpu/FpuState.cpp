#include <Platform/Cpu/FpuState.h>

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#define TONALITH_X86 1
#endif

namespace Platform::Cpu {

#if defined(TONALITH_X86)

std::uint32_t ReadMxcsr() { return _mm_getcsr(); }
void WriteMxcsr(std::uint32_t value) { _mm_setcsr(value); }

std::uint16_t ReadX87ControlWord() {
    std::uint16_t word = 0;
    __asm__ volatile("fnstcw %0" : "=m"(word));
    return word;
}

void WriteX87ControlWord(std::uint16_t value) { __asm__ volatile("fldcw %0" : : "m"(value)); }

std::uint16_t ReadX87StatusWord() {
    std::uint16_t word = 0;
    __asm__ volatile("fnstsw %0" : "=m"(word));
    return word;
}

void ClearX87Exceptions() { __asm__ volatile("fnclex"); }

std::uint32_t SavedMxcsrMask() {
    alignas(16) unsigned char area[512];
    std::memset(area, 0, sizeof area);
    __asm__ volatile("fxsave %0" : "=m"(area));
    std::uint32_t mask = 0;
    std::memcpy(&mask, area + 28, sizeof mask);  // MXCSR_MASK field
    return mask;
}

std::uint64_t ReadTimeStampCounter() { return __rdtsc(); }

#else

std::uint32_t ReadMxcsr() { return 0; }
void WriteMxcsr(std::uint32_t) {}
std::uint16_t ReadX87ControlWord() { return 0; }
void WriteX87ControlWord(std::uint16_t) {}
std::uint16_t ReadX87StatusWord() { return 0; }
void ClearX87Exceptions() {}
std::uint32_t SavedMxcsrMask() { return 0; }
std::uint64_t ReadTimeStampCounter() { return 0; }

#endif

}  // namespace Platform::Cpu
