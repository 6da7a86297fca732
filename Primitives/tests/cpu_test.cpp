#include <Primitives/Prim/Cpu.h>
#include <Primitives/Prim/Dispatch.h>

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

// A processor made of register words, recording which leaves were asked for.
class FakeCpu final : public Platform::Cpu::CpuidSource {
public:
    bool idFlag = true;
    std::map<std::uint32_t, Platform::Cpu::CpuidWords> leaves;
    mutable std::vector<std::uint32_t> queried;

    bool IdFlagToggles() const override { return idFlag; }
    Platform::Cpu::CpuidWords Query(std::uint32_t leaf) const override {
        queried.push_back(leaf);
        const auto it = leaves.find(leaf);
        return it == leaves.end() ? Platform::Cpu::CpuidWords{} : it->second;
    }
    bool Asked(std::uint32_t leaf) const {
        for (std::uint32_t q : queried) {
            if (q == leaf) return true;
        }
        return false;
    }
};

constexpr std::uint32_t Mmx = 1U << 23;
constexpr std::uint32_t Sse = 1U << 25;
constexpr std::uint32_t Sse2 = 1U << 26;
constexpr std::uint32_t Htt = 1U << 28;

struct Processor {
    const char* vendor = "GenuineIntel";
    std::uint32_t family = 6;
    std::uint32_t edx = 0;  // leaf-1 features
    bool sse3 = false;
    std::uint32_t logical = 1;  // leaf-1 EBX bits 16-23
    std::uint32_t highestExtended = 0x80000008U;
    bool longMode = false;
    bool idFlag = true;
};

FakeCpu Make(const Processor& p) {
    FakeCpu cpu;
    cpu.idFlag = p.idFlag;
    Platform::Cpu::CpuidWords leaf0;
    leaf0.eax = 2;
    auto word = [&](int at) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(p.vendor[at])) |
            static_cast<std::uint32_t>(static_cast<unsigned char>(p.vendor[at + 1])) << 8 |
            static_cast<std::uint32_t>(static_cast<unsigned char>(p.vendor[at + 2])) << 16 |
            static_cast<std::uint32_t>(static_cast<unsigned char>(p.vendor[at + 3])) << 24;
    };
    leaf0.ebx = word(0);
    leaf0.edx = word(4);
    leaf0.ecx = word(8);
    cpu.leaves[0] = leaf0;
    Platform::Cpu::CpuidWords leaf1;
    leaf1.eax = (p.family << 8) | (3U << 4) | 7U;  // model 3, stepping 7
    leaf1.ebx = p.logical << 16;
    leaf1.ecx = p.sse3 ? 1U : 0U;
    leaf1.edx = p.edx;
    cpu.leaves[1] = leaf1;
    cpu.leaves[2] = Platform::Cpu::CpuidWords{0x665B5001U, 0, 0, 0x007A7040U};
    cpu.leaves[0x80000000U] = Platform::Cpu::CpuidWords{p.highestExtended, 0, 0, 0};
    cpu.leaves[0x80000001U] = Platform::Cpu::CpuidWords{0, 0, 0, p.longMode ? (1U << 29) : 0U};
    return cpu;
}

TEST(Cpu, ClassifiesSyntheticProcessors) {
    struct Case {
        const char* name;
        Processor processor;
        Prim::CpuType type;
        Prim::Build build;
    };
    const Case cases[] = {
        {"no CPUID", {.family = 15, .edx = Mmx | Sse | Sse2, .idFlag = false}, 0, Prim::Build::X87},
        {"other vendor", {.vendor = "AuthenticAMD", .family = 15, .edx = Mmx | Sse | Sse2}, 0, Prim::Build::X87},
        {"family 5", {.family = 5}, 1, Prim::Build::X87},
        {"family 5 MMX", {.family = 5, .edx = Mmx}, 2, Prim::Build::X87},
        {"family 6", {.family = 6}, 3, Prim::Build::X87},
        {"family 6 MMX", {.family = 6, .edx = Mmx}, 4, Prim::Build::X87},
        {"family 6 SSE", {.family = 6, .edx = Mmx | Sse}, 5, Prim::Build::X87},
        {"family 15 SSE2", {.family = 15, .edx = Mmx | Sse | Sse2}, 6, Prim::Build::Sse2},
        {"family 15 SSE2 HTT bit, one logical", {.family = 15, .edx = Mmx | Sse | Sse2 | Htt, .logical = 1}, 6,
            Prim::Build::Sse2},
        {"family 15 SSE2 HTT count, no bit", {.family = 15, .edx = Mmx | Sse | Sse2, .logical = 2}, 6,
            Prim::Build::Sse2},
        {"family 15 SSE2 HTT", {.family = 15, .edx = Mmx | Sse | Sse2 | Htt, .logical = 2}, 7, Prim::Build::Sse2},
        {"family 15 SSE3", {.family = 15, .edx = Mmx | Sse | Sse2, .sse3 = true}, 8, Prim::Build::Sse2},
        {"family 15 SSE3 64-bit", {.family = 15, .edx = Mmx | Sse | Sse2, .sse3 = true, .longMode = true}, 32,
            Prim::Build::X87},
        {"family 15 SSE3, 64-bit bit but no extended leaf",
            {.family = 15, .edx = Mmx | Sse | Sse2, .sse3 = true, .highestExtended = 0x80000000U, .longMode = true}, 8,
            Prim::Build::Sse2},
        {"family 6 SSE2", {.family = 6, .edx = Mmx | Sse | Sse2, .sse3 = true, .longMode = true}, 9, Prim::Build::X87},
        {"family 7", {.family = 7, .edx = Mmx | Sse | Sse2}, 16, Prim::Build::X87},
        {"family 15 without SSE2", {.family = 15, .edx = Mmx | Sse}, 17, Prim::Build::X87},
        {"family 4", {.family = 4}, 0, Prim::Build::X87},
    };
    for (const Case& c : cases) {
        const FakeCpu cpu = Make(c.processor);
        const Prim::CpuType type = Prim::GetCpuType(cpu);
        EXPECT_EQ(type, c.type) << c.name;
        EXPECT_EQ(Prim::BuildForCpuType(type), c.build) << c.name;
    }
}

TEST(Cpu, FillsTheRecordFromTheLeaves) {
    FakeCpu cpu = Make({.family = 15, .edx = Mmx | Sse2 | Htt, .sse3 = true, .logical = 2, .longMode = true});
    Prim::CpuInfo info;
    Prim::GetCpuInfo(&info, cpu);
    EXPECT_EQ(info.family, 15U);
    EXPECT_EQ(info.model, 3U);
    EXPECT_EQ(info.stepping, 7U);
    EXPECT_EQ(info.features, Mmx | Sse2 | Htt);
    EXPECT_EQ(info.descriptorsA, 0x665B5001U);
    EXPECT_EQ(info.descriptorsD, 0x007A7040U);
    EXPECT_EQ(info.mmx, 1U);
    EXPECT_EQ(info.sse, 0U);
    EXPECT_EQ(info.sse2, 1U);
    EXPECT_EQ(info.htt, 1U);
    EXPECT_EQ(info.sse3, 1U);
    EXPECT_EQ(info.longMode, 1U);

    // The extended family is not added: an extended-family part reads as its 4-bit field.
    cpu.leaves[1].eax = (0x0AU << 20) | (15U << 8);
    Prim::GetCpuInfo(&info, cpu);
    EXPECT_EQ(info.family, 15U);
}

TEST(Cpu, SkipsTheExtendedLeafWhenAbsent) {
    FakeCpu cpu = Make({.family = 15, .edx = Sse2, .highestExtended = 0x80000000U, .longMode = true});
    Prim::CpuInfo info;
    Prim::GetCpuInfo(&info, cpu);
    EXPECT_EQ(info.longMode, 0U);
    EXPECT_FALSE(cpu.Asked(0x80000001U));
    EXPECT_TRUE(cpu.Asked(2));

    // Each query runs CPUID again: nothing is cached.
    cpu.queried.clear();
    EXPECT_EQ(Prim::GetCpuType(cpu), Prim::GetCpuType(cpu));
    EXPECT_GE(cpu.queried.size(), 6U);
}

TEST(Cpu, SingleQueries) {
    const FakeCpu cpu = Make({.family = 6, .edx = (1U << 4) | Mmx | Sse2, .sse3 = true, .longMode = true});
    EXPECT_EQ(Prim::HasTimeStampCounter(cpu), 1);
    EXPECT_EQ(Prim::HasMmx(cpu), 1);
    EXPECT_EQ(Prim::HasSse(cpu), 0);
    EXPECT_EQ(Prim::HasSse2(cpu), 1);
    EXPECT_EQ(Prim::HasHtt(cpu), 0);
    EXPECT_EQ(Prim::HasSse3(cpu), 1);
    EXPECT_EQ(Prim::HasLongMode(cpu), 1);
    EXPECT_EQ(Prim::HighestStandardLeaf(cpu), 2U);
    EXPECT_EQ(Prim::IsGenuineIntel(cpu), 1);
}

TEST(Cpu, HostProcessorGetsTheX87Builds) {
    // Every current x86-64 processor identifies as family 6 or another vendor or
    // reports SSE3 with the 64-bit extension: none of them is bound to the SSE2 builds.
    EXPECT_EQ(Prim::CpuidSupported(), 1);
    const Prim::CpuType type = Prim::GetCpuType();
    EXPECT_TRUE(type == 0 || type == 9 || type == 32 || type == 17) << type;
    EXPECT_EQ(Prim::BoundBuild(), Prim::Build::X87);
}

// A processor whose identification flag cannot toggle has no CPUID instruction:
// the classification must not execute it at all.
TEST(Cpu, NeverRunsCpuidWithoutTheIdentificationFlag) {
    FakeCpu cpu = Make({.family = 15, .edx = Mmx | Sse | Sse2, .idFlag = false});
    EXPECT_EQ(Prim::CpuidSupported(cpu), 0);
    EXPECT_EQ(Prim::GetCpuType(cpu), Prim::CpuTypeUnknown);
    EXPECT_TRUE(cpu.queried.empty());

    // Another vendor stops the classification after leaf 0.
    FakeCpu other = Make({.vendor = "GenuineIotel", .family = 15, .edx = Mmx | Sse | Sse2});
    EXPECT_EQ(Prim::IsGenuineIntel(other), 0);
    other.queried.clear();
    EXPECT_EQ(Prim::GetCpuType(other), Prim::CpuTypeUnknown);
    EXPECT_EQ(other.queried, std::vector<std::uint32_t>{0});
}

}  // namespace
