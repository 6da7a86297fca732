#include "TestSupport/ConfigHome.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace TestSupport {

TemporaryConfigHome::TemporaryConfigHome() {
    std::string pattern = (std::filesystem::temp_directory_path() / "config-home-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary settings folder from " + pattern);
    path_ = pattern;
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) old_ = old;
    setenv("XDG_CONFIG_HOME", path_.c_str(), 1);
}

TemporaryConfigHome::~TemporaryConfigHome() {
    if (old_)
        setenv("XDG_CONFIG_HOME", old_->c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace TestSupport
