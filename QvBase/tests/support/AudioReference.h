#pragma once

// Reference decodes by the system's sox and ffmpeg, and the decode-raw developer tool, all run
// as child processes for the decoder tests.

#include <TestSupport/Shell.h>

#include <string>
#include <vector>

namespace TestAudio {

struct CommandResult {
    int exitCode = -1;
    std::string out;  // standard output, bytes as written
    std::string err;  // standard error
};

// Runs a shell command line and captures both outputs.
CommandResult RunCommand(const std::string& commandLine);

bool HaveProgram(const std::string& name);

using TestSupport::ShellQuote;

// Interleaved little-endian 32-bit floats as the reference tool writes them.
std::vector<float> FloatsFromBytes(const std::string& bytes);

// sox's own float output of a file ("sox FILE -t f32 -").
std::vector<float> SoxFloats(const std::string& path);
// ffmpeg's float output of a file (f32le, the file's own channel layout).
std::vector<float> FfmpegFloats(const std::string& path);
// ffmpeg's own 16-bit decode of one audio stream (0 the first) of a file, divided by 32768.
std::vector<float> FfmpegS16Floats(const std::string& path, int audioStream = 0);

// Runs the decode-raw tool of the build on a file.
CommandResult DecodeRaw(const std::string& program, const std::string& path);

#ifdef TONALITH_BINARY_DIR
inline std::string DecodeRawProgram() { return TONALITH_BINARY_DIR "/bin/decode-raw"; }
inline CommandResult DecodeRaw(const std::string& path) { return DecodeRaw(DecodeRawProgram(), path); }
#endif

}  // namespace TestAudio
