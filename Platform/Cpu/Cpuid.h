#pragma once
#include <cstdint>

namespace Platform::Cpu {

// The four register words one CPUID leaf returns.
struct CpuidWords {
    std::uint32_t eax = 0;
    std::uint32_t ebx = 0;
    std::uint32_t ecx = 0;
    std::uint32_t edx = 0;
};

// Where processor identification comes from. The host processor is the real
// source; tests hand their own source to the classification to impersonate
// any processor.
class CpuidSource {
public:
    virtual ~CpuidSource() = default;
    // True when the identification flag (bit 21) of the flags register can be toggled.
    virtual bool IdFlagToggles() const = 0;
    // Runs CPUID for `leaf` (sub-leaf 0).
    virtual CpuidWords Query(std::uint32_t leaf) const = 0;
};

// The processor this program runs on.
const CpuidSource& HostCpuid();

}  // namespace Platform::Cpu
