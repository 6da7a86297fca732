#include <Platform/Kernel/Environment.h>

#include <Platform/Kernel/LastError.h>

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace Platform::Kernel {

std::optional<std::string> CurrentDirectory() {
    std::vector<char> buffer(1024);
    for (;;) {
        if (::getcwd(buffer.data(), buffer.size())) return std::string(buffer.data());
        if (errno != ERANGE || buffer.size() >= (1u << 20)) {
            SetLastError(static_cast<std::uint32_t>(errno));
            return std::nullopt;
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::optional<std::string> EnvironmentVariable(const char* name) {
    if (!name) return std::nullopt;
    const char* value = std::getenv(name);
    if (!value) return std::nullopt;
    return std::string(value);
}

}  // namespace Platform::Kernel
