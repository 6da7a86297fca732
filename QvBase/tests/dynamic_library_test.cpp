// Libraries loaded at run time by name: ".dll" names are looked for as ".so" beside the
// program first, then on the loader's path (where the build's media runtime is for tests).

#include <QvBase/Util/DynamicLibrary.h>

#include <support/AudioFileWriter.h>

#include <gtest/gtest.h>

#include <filesystem>

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
             Case{"Missing.dll", false, LoadFailure::NotFound}, Case{"Broken.dll", false, LoadFailure::Other},
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

}  // namespace
