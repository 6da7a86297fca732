#include <support/AudioReference.h>

#include <TestSupport/FfmpegReference.h>

#include <sys/wait.h>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace TestAudio {

CommandResult RunCommand(const std::string& commandLine) {
    std::random_device entropy;
    const auto errPath = std::filesystem::temp_directory_path() / ("tonalith-stderr-" + std::to_string(entropy()));
    const std::string full = "(" + commandLine + ") 2>" + ShellQuote(errPath.string());
    CommandResult result;
    FILE* pipe = popen(full.c_str(), "r");
    if (!pipe) throw std::runtime_error("popen failed for: " + commandLine);
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream errFile(errPath, std::ios::binary);
    std::stringstream errText;
    errText << errFile.rdbuf();
    result.err = errText.str();
    std::error_code ignored;
    std::filesystem::remove(errPath, ignored);
    return result;
}

bool HaveProgram(const std::string& name) {
    return RunCommand("command -v " + ShellQuote(name) + " >/dev/null").exitCode == 0;
}

std::vector<float> FloatsFromBytes(const std::string& bytes) {
    std::vector<float> out(bytes.size() / 4);
    if (!out.empty()) std::memcpy(out.data(), bytes.data(), out.size() * 4);
    return out;
}

namespace {

std::vector<float> FloatsOrThrow(const std::string& commandLine) {
    const CommandResult r = RunCommand(commandLine);
    if (r.exitCode != 0) throw std::runtime_error(commandLine + " failed: " + r.err);
    return FloatsFromBytes(r.out);
}

}  // namespace

std::vector<float> SoxFloats(const std::string& path) {
    return FloatsOrThrow("sox -D " + ShellQuote(path) + " -t raw -e floating-point -b 32 -L -");
}

std::vector<float> FfmpegFloats(const std::string& path) {
    return FloatsOrThrow("ffmpeg -nostdin -v error -i " + ShellQuote(path) + " -f f32le -c:a pcm_f32le -");
}

std::vector<float> FfmpegS16Floats(const std::string& path, int audioStream) {
    const std::vector<int16_t> samples = TestSupport::FfmpegS16(path, audioStream);
    std::vector<float> out(samples.size());
    for (size_t i = 0; i < out.size(); ++i) out[i] = float(samples[i]) / 32768.0f;
    return out;
}

CommandResult DecodeRaw(const std::string& program, const std::string& path) {
    return RunCommand(ShellQuote(program) + " " + ShellQuote(path));
}

}  // namespace TestAudio
