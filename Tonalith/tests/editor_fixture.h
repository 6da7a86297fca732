#pragma once

#include <QvBase/Util/Settings.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace editor_test {

inline const char* const kKeyPath = "SOFTWARE\\Quorvel\\Tonalith";

// A fresh folder that holds the settings store (XDG_CONFIG_HOME) and the test's files.
class TempStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "qveditor-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
        ::setenv("XDG_CONFIG_HOME", m_folder.c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv("XDG_CONFIG_HOME");
        std::filesystem::remove_all(m_folder);
    }

    std::string WriteFile(const std::string& name, const std::string& bytes) const {
        const std::filesystem::path file = m_folder / name;
        std::ofstream(file, std::ios::binary) << bytes;
        return file.string();
    }

    std::filesystem::path m_folder;
};

}  // namespace editor_test
