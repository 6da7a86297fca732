// Libraries loaded at run time by name: ".dll" names are looked for as ".so" beside the
// program first, then on the loader's path (where the build's media runtime is for tests).

#include <QvBase/Util/DynamicLibrary.h>

#include <Platform/Kernel/LastError.h>
#include <support/AudioFileWriter.h>
#include <support/AudioReference.h>

#include <gtest/gtest.h>

#include <elf.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using Platform::Library::LoadFailure;

namespace {

TEST(DynamicLibrary, LoadsByNameBesideTheProgramThenOnTheLoadersPath) {
    TestAudio::TempDir dir;
    std::filesystem::copy_file(TONALITH_BINARY_DIR "/bin/WMVCore.so", dir.Path() + "/Copy.so");
    dir.Write("Broken.so", TestAudio::Bytes(100, 0x41));
    Platform::Library::SetProgramFolderForTesting(dir.Path());

    struct Case {
        const char* name;
        bool loads;
        LoadFailure failure;
    };
    for (const Case c : {Case{"WMVCore.DLL", true, {}}, Case{"Copy.dll", true, {}}, Case{"Copy.DLL", true, {}},
             Case{"Missing.dll", false, LoadFailure::NotFound}, Case{"Broken.dll", false, LoadFailure::NotFound},
             Case{"Copy.so.dll", false, LoadFailure::NotFound}, Case{"", false, {}}}) {
        Util::DynamicLibrary library(c.name);
        EXPECT_EQ(library.GetFunction("WMValidateData"), nullptr) << c.name << ": not loaded yet";
        EXPECT_EQ(library.Load(), c.loads) << c.name;
        EXPECT_EQ(library.IsLoaded(), c.loads) << c.name;
        if (c.loads) {
            EXPECT_TRUE(library.Load()) << c.name << ": a second load keeps the first";
            EXPECT_NE(library.GetFunction("WMCreateSyncReader"), nullptr) << c.name;
            EXPECT_EQ(library.GetFunction("NoSuchExport"), nullptr) << c.name;
            EXPECT_EQ(library.GetFunction(""), nullptr) << c.name;
        } else if (*c.name) {
            EXPECT_EQ(library.LastFailure(), c.failure) << c.name;
        }
    }
    Platform::Library::SetProgramFolderForTesting("");
}

// The trailer the build appends to the runtime, made here from zlib's CRC-32 of the bytes:
// "Tonalith", their length as 64 bits and the CRC as 32, little-endian.
TestAudio::Bytes SealOf(const TestAudio::Bytes& bytes) {
    TestAudio::Bytes seal;
    TestAudio::PutText(seal, "Tonalith");
    TestAudio::PutU32LE(seal, uint32_t(bytes.size()));
    TestAudio::PutU32LE(seal, uint32_t(uint64_t(bytes.size()) >> 32));
    TestAudio::PutU32LE(seal, uint32_t(::crc32(0, bytes.data(), uInt(bytes.size()))));
    return seal;
}

// The loader would map the cut-off parts of a damaged copy and die on the first page past its
// end, or die relocating through damage inside the bytes it maps: every damage it would meet
// counts as a missing library, beside the program or named by its path. The runtime the build
// makes is sealed, so that a change to any of its bytes is seen; another library (as the REX
// vendor's) is checked for what the loader maps, and with damage inside that is not handed to
// the loader here at all. A copy changed and sealed again is not seen.
TEST(DynamicLibrary, ADamagedCopyCountsAsMissing) {
    const TestAudio::Bytes built = TestAudio::ReadWholeFile(TONALITH_BINARY_DIR "/bin/WMVCore.so");
    ASSERT_LT(20u, built.size());
    const TestAudio::Bytes plain(built.begin(), built.end() - 20), sealed = [&] {
        TestAudio::Bytes b = plain;
        TestAudio::Append(b, SealOf(plain));
        return b;
    }();
    ASSERT_EQ(built, sealed) << "the build seals its runtime";
    Elf64_Ehdr header;
    std::memcpy(&header, plain.data(), sizeof header);
    size_t mapped = 0, dynamic = 0;
    for (size_t i = 0; i < header.e_phnum; ++i) {
        Elf64_Phdr segment;
        std::memcpy(&segment, &plain[header.e_phoff + i * sizeof segment], sizeof segment);
        if (segment.p_type == PT_LOAD) mapped = std::max<size_t>(mapped, segment.p_offset + segment.p_filesz);
        if (segment.p_type == PT_DYNAMIC) dynamic = segment.p_offset;
    }
    ASSERT_LT(20000u, mapped);
    ASSERT_LT(mapped + 100, plain.size());
    ASSERT_NE(dynamic, 0u);
    using Damage = std::function<void(TestAudio::Bytes&)>;
    const auto cut = [](size_t size) { return [size](TestAudio::Bytes& b) { b.resize(size); }; };
    const auto patch = [](size_t offset, auto value) {
        return [=](TestAudio::Bytes& b) { std::memcpy(&b[offset], &value, sizeof value); };
    };
    const auto zero = [](size_t offset, size_t bytes) {
        return [=](TestAudio::Bytes& b) { std::fill_n(b.begin() + offset, std::min(bytes, b.size() - offset), 0); };
    };
    const Damage changeUnmapped = [&](TestAudio::Bytes& b) { b[mapped + 100] ^= 0x55; };
    enum Loads { kNo, kYes, kNotTried };
    const struct {
        const char* what;
        Damage damage;
        Loads sealed, other;
    } cases[] = {{"intact", [](TestAudio::Bytes&) {}, kYes, kYes},
        {"cut where it maps no more", cut(mapped), kNo, kYes}, {"cut to 20,000 bytes", cut(20000), kNo, kNo},
        {"cut to 5 %", cut(built.size() / 20), kNo, kNo}, {"cut one byte short", cut(mapped - 1), kNo, kNo},
        {"program headers past the end", patch(offsetof(Elf64_Ehdr, e_phoff), Elf64_Off(plain.size() - 8)), kNo, kNo},
        {"32-bit", patch(EI_CLASS, uint8_t(ELFCLASS32)), kNo, kNo},
        {"another machine", patch(offsetof(Elf64_Ehdr, e_machine), Elf64_Half(EM_AARCH64)), kNo, kNo},
        {"a program", patch(offsetof(Elf64_Ehdr, e_type), Elf64_Half(ET_EXEC)), kNo, kNo},
        {"zero-filled past 4 KiB", zero(4096, built.size()), kNo, kNotTried},
        {"256 zero bytes over the dynamic section", zero(dynamic, 256), kNo, kNotTried},
        {"a byte changed past the mapped ones", changeUnmapped, kNo, kYes},
        {"the last byte changed", [](TestAudio::Bytes& b) { b.back() ^= 1; }, kNo, kYes},
        {"the last 20 bytes cut", [](TestAudio::Bytes& b) { b.resize(b.size() - 20); }, kNo, kYes},
        {"changed and sealed again",
            [&](TestAudio::Bytes& b) {
                b.resize(b.size() - 20);
                changeUnmapped(b);
                TestAudio::Append(b, SealOf(b));
            },
            kYes, kYes}};
    for (const auto& c : cases) {
        for (const bool ours : {true, false}) {
            const Loads loads = ours ? c.sealed : c.other;
            if (loads == kNotTried) continue;
            TestAudio::TempDir dir;
            TestAudio::Bytes bytes = ours ? sealed : plain;
            c.damage(bytes);
            const std::string stem = ours ? "WMVCore" : "Other", path = dir.Write(stem + ".so", bytes);
            Platform::Library::SetProgramFolderForTesting(dir.Path());
            // By its ".dll" name the runtime refused here would be found on the loader's path.
            for (const std::string& name : ours ? std::vector{path} : std::vector{stem + ".dll", path}) {
                Util::DynamicLibrary library(name.c_str());
                Platform::Kernel::SetLastError(0);
                ASSERT_EQ(library.Load(), loads == kYes) << c.what << " as " << name;
                if (loads == kYes) {
                    EXPECT_NE(library.GetFunction("WMCreateSyncReader"), nullptr) << c.what;
                } else {
                    EXPECT_EQ(library.LastFailure(), LoadFailure::NotFound) << c.what << " as " << name;
                    EXPECT_EQ(Platform::Kernel::LastError(), uint32_t(ENOENT)) << c.what << " as " << name;
                }
            }
        }
    }
    Platform::Library::SetProgramFolderForTesting("");
}

// A name that none of the loader's folders holds is left to the loader, which then looks in its
// cache of the system's libraries too: never the runtime's name, which is loaded only from a
// file that was checked. Seen in the loader's own account of its work, for a program alone in
// a folder and none of the loader's folders holding the runtime: the loader is never asked for
// it. With the runtime beside the program, the account shows that file loaded.
TEST(DynamicLibrary, TheRuntimeIsNeverLeftToTheLoadersCache) {
    TestAudio::TempDir alone;
    const std::string program = alone.Path() + "/decode-raw";
    std::filesystem::copy_file(TestAudio::DecodeRawProgram(), program);
    const std::string file = alone.Write("noise.wma", TestAudio::Bytes(64, 0x30));
    const auto loaderAccount = [&] {
        return TestAudio::RunCommand("env -u LD_LIBRARY_PATH LD_DEBUG=libs " + TestAudio::ShellQuote(program) + " " +
            TestAudio::ShellQuote(file))
            .err;
    };
    const std::string account = loaderAccount();
    ASSERT_NE(account.find("find library=libc.so.6"), std::string::npos) << "the loader gives no account:\n" << account;
    EXPECT_EQ(account.find("WMVCore"), std::string::npos) << account;
    std::filesystem::copy_file(TONALITH_BINARY_DIR "/bin/WMVCore.so", alone.Path() + "/WMVCore.so");
    EXPECT_NE(loaderAccount().find("init: " + alone.Path() + "/WMVCore.so"), std::string::npos);
}

}  // namespace
