// Libraries loaded at run time by name: ".dll" names are looked for as ".so" beside the
// program first, then on the loader's path (where the build's media runtime is for tests).

#include <QvBase/Util/DynamicLibrary.h>

#include <Platform/Kernel/LastError.h>
#include <support/AudioFileWriter.h>

#include <gtest/gtest.h>

#include <elf.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <functional>

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

// The loader would map the cut-off parts of a damaged copy and die on the first page past its
// end: every damage counts as a missing library, beside the program or named by its path. A
// copy cut exactly where its last loadable segment ends still holds all it maps.
TEST(DynamicLibrary, ADamagedCopyCountsAsMissing) {
    const TestAudio::Bytes intact = TestAudio::ReadWholeFile(TONALITH_BINARY_DIR "/bin/WMVCore.so");
    Elf64_Ehdr header;
    std::memcpy(&header, intact.data(), sizeof header);
    size_t mapped = 0;
    for (size_t i = 0; i < header.e_phnum; ++i) {
        Elf64_Phdr segment;
        std::memcpy(&segment, &intact[header.e_phoff + i * sizeof segment], sizeof segment);
        if (segment.p_type == PT_LOAD) mapped = std::max<size_t>(mapped, segment.p_offset + segment.p_filesz);
    }
    ASSERT_LT(20000u, mapped);
    const auto cut = [](size_t size) { return [size](TestAudio::Bytes& b) { b.resize(size); }; };
    const auto patch = [](size_t offset, auto value) {
        return [=](TestAudio::Bytes& b) { std::memcpy(&b[offset], &value, sizeof value); };
    };
    const struct {
        const char* what;
        std::function<void(TestAudio::Bytes&)> damage;
        bool loads;
    } cases[] = {{"intact", [](TestAudio::Bytes&) {}, true}, {"cut where it maps no more", cut(mapped), true},
        {"cut to 20,000 bytes", cut(20000), false}, {"cut to 5 %", cut(intact.size() / 20), false},
        {"cut one byte short", cut(mapped - 1), false},
        {"program headers past the end", patch(offsetof(Elf64_Ehdr, e_phoff), Elf64_Off(intact.size() - 8)), false},
        {"32-bit", patch(EI_CLASS, uint8_t(ELFCLASS32)), false},
        {"another machine", patch(offsetof(Elf64_Ehdr, e_machine), Elf64_Half(EM_AARCH64)), false},
        {"a program", patch(offsetof(Elf64_Ehdr, e_type), Elf64_Half(ET_EXEC)), false}};
    for (const auto& c : cases) {
        TestAudio::TempDir dir;
        TestAudio::Bytes bytes = intact;
        c.damage(bytes);
        const std::string path = dir.Write("Damaged.so", bytes);
        Platform::Library::SetProgramFolderForTesting(dir.Path());
        for (const std::string& name : {std::string("Damaged.dll"), path}) {
            Util::DynamicLibrary library(name.c_str());
            Platform::Kernel::SetLastError(0);
            ASSERT_EQ(library.Load(), c.loads) << c.what << " as " << name;
            if (c.loads) {
                EXPECT_NE(library.GetFunction("WMCreateSyncReader"), nullptr) << c.what;
            } else {
                EXPECT_EQ(library.LastFailure(), LoadFailure::NotFound) << c.what << " as " << name;
                EXPECT_EQ(Platform::Kernel::LastError(), uint32_t(ENOENT)) << c.what << " as " << name;
            }
        }
    }
    Platform::Library::SetProgramFolderForTesting("");
}

}  // namespace
