#include <Platform/Cpu/Cpuid.h>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace Platform::Cpu {
namespace {

#if defined(__x86_64__) || defined(__i386__)

bool HostIdFlagToggles() {
    unsigned long before = 0;
    unsigned long after = 0;
    // Flip bit 21, read the flags back, then restore the original flags.
#if defined(__x86_64__)
    __asm__ volatile(
        "pushfq\n\t"
        "pushfq\n\t"
        "popq %0\n\t"
        "movq %0, %1\n\t"
        "xorq $0x200000, %1\n\t"
        "pushq %1\n\t"
        "popfq\n\t"
        "pushfq\n\t"
        "popq %1\n\t"
        "popfq\n\t"
        : "=&r"(before), "=&r"(after)
        :
        : "cc", "memory");
#else
    __asm__ volatile(
        "pushfl\n\t"
        "pushfl\n\t"
        "popl %0\n\t"
        "movl %0, %1\n\t"
        "xorl $0x200000, %1\n\t"
        "pushl %1\n\t"
        "popfl\n\t"
        "pushfl\n\t"
        "popl %1\n\t"
        "popfl\n\t"
        : "=&r"(before), "=&r"(after)
        :
        : "cc", "memory");
#endif
    return ((before ^ after) & 0x200000UL) != 0;
}

CpuidWords HostQuery(std::uint32_t leaf) {
    CpuidWords w;
    __cpuid_count(leaf, 0, w.eax, w.ebx, w.ecx, w.edx);
    return w;
}

#else

bool HostIdFlagToggles() { return false; }
CpuidWords HostQuery(std::uint32_t) { return {}; }

#endif

class HostSource final : public CpuidSource {
public:
    bool IdFlagToggles() const override { return HostIdFlagToggles(); }
    CpuidWords Query(std::uint32_t leaf) const override { return HostQuery(leaf); }
};

}  // namespace

const CpuidSource& HostCpuid() {
    static const HostSource host;
    return host;
}

}  // namespace Platform::Cpu
