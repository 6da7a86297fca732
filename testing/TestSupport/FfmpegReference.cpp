#include "TestSupport/FfmpegReference.h"
#include "TestSupport/Shell.h"

#include <sys/wait.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace TestSupport {

std::string FfmpegNoise(std::uint32_t rate, double seconds, int seed) {
    return "-f lavfi -i 'anoisesrc=c=pink:a=0.6:r=" + std::to_string(rate) + ":d=" + std::to_string(seconds) +
        ":seed=" + std::to_string(seed) + "' ";
}

std::string FfmpegWrite(const std::string& arguments, const std::string& path) {
    const std::string command = "ffmpeg -nostdin -v error -y " + arguments + " " + ShellQuote(path);
    if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
    return path;
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

std::vector<FfmpegFile> ShortWindowsMediaVideos() {
    const auto video = [](const char* codec, const char* size, int rate, double seconds) {
        return "-f lavfi -i 'testsrc=d=" + std::to_string(seconds) + ":s=" + size + ":r=" + std::to_string(rate) +
            "' -c:v " + codec + " ";
    };
    return {{"wmv2_sine.wmv",
                "-f lavfi -i testsrc=d=3:s=160x120:r=10 -f lavfi -i sine=f=880:d=3:r=44100 -c:v wmv2 -c:a wmav2"},
        {"wmv1_5s.wmv", video("wmv1", "320x240", 5, 5) + FfmpegNoise(8000, 5, 2) + "-ac 2 -c:a wmav2"},
        {"msmpeg4_vga.wmv", video("msmpeg4", "640x480", 10, 4) + FfmpegNoise(32000, 4, 3) + "-ac 2 -c:a wmav2"},
        {"msmpeg4_v1.wmv", video("msmpeg4", "640x480", 12, 3) + FfmpegNoise(22050, 3, 4) + "-ac 2 -c:a wmav1"},
        {"wmv2_48k.wmv", video("wmv2", "320x240", 10, 4) + FfmpegNoise(48000, 4, 5) + "-ac 2 -c:a wmav1"},
        {"wmv1_1s.wmv", video("wmv1", "64x48", 5, 1) + FfmpegNoise(8000, 1, 6) + "-ac 1 -c:a wmav1"},
        {"msmpeg4_qcif.wmv", video("msmpeg4", "176x144", 15, 2) + FfmpegNoise(22050, 2, 7) + "-ac 2 -c:a wmav2"},
        {"wmv1_30fps.wmv", video("wmv1", "96x72", 30, 5) + FfmpegNoise(32000, 5, 8) + "-ac 1 -c:a wmav2"},
        {"wmv2_cif.wmv", video("wmv2", "352x288", 20, 3.5) + FfmpegNoise(11025, 3.5, 9) + "-ac 2 -c:a wmav1"}};
}

}  // namespace TestSupport
