#include "TestSupport/FfmpegReference.h"
#include "TestSupport/Shell.h"

#include <sys/wait.h>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace TestSupport {

std::string FfmpegNoise(std::uint32_t rate, double seconds, int seed) {
    return "-f lavfi -i 'anoisesrc=c=pink:a=0.6:r=" + std::to_string(rate) + ":d=" + std::to_string(seconds) +
        ":seed=" + std::to_string(seed) + "' ";
}

std::vector<std::int16_t> FfmpegS16(const std::string& path, int stream, const std::string& options) {
    const std::string command = "ffmpeg -nostdin -v error -i " + ShellQuote(path) +
        " -map 0:a:" + std::to_string(stream) + " " + options + " -f s16le -c:a pcm_s16le -";
    std::string bytes;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) throw std::runtime_error("could not start: " + command);
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) bytes.append(buffer, n);
    const int status = pclose(pipe);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error("failed: " + command);
    std::vector<std::int16_t> samples(bytes.size() / 2);
    if (!samples.empty()) std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

}  // namespace TestSupport
