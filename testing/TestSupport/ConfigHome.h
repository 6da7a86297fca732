// A settings folder of the test's own, so that no test reads or writes the user's.
#pragma once

#include <optional>
#include <string>

namespace TestSupport {

// Points XDG_CONFIG_HOME at a new temporary folder for the object's life, then puts the
// old value back and removes the folder.
class TemporaryConfigHome {
public:
    TemporaryConfigHome();
    ~TemporaryConfigHome();
    TemporaryConfigHome(const TemporaryConfigHome&) = delete;
    TemporaryConfigHome& operator=(const TemporaryConfigHome&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::optional<std::string> old_;
};

}  // namespace TestSupport
