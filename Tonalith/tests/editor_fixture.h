#pragma once

#include <QvBase/Util/Settings.h>

#include <gtest/gtest.h>

#include <TestSupport/ConfigHome.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace editor_test {

inline const char* const kKeyPath = "SOFTWARE\\Quorvel\\Tonalith";

// A fresh folder that holds the settings store (XDG_CONFIG_HOME) and the test's files.
class TempStoreTest : public ::testing::Test {
protected:
    TestSupport::TemporaryConfigHome m_home;
    const std::filesystem::path m_folder = m_home.Path();

    std::string WriteFile(const std::string& name, const std::string& bytes) const {
        const std::filesystem::path file = m_folder / name;
        std::ofstream(file, std::ios::binary) << bytes;
        return file.string();
    }
};

}  // namespace editor_test
