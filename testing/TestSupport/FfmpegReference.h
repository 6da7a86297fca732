// Files the tests make with ffmpeg, and ffmpeg's own decode of them as the reference.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace TestSupport {

// ffmpeg's input of `seconds` of pink noise at `rate` from `seed`, to go before the output's
// options: "ffmpeg " + FfmpegNoise(8000, 2, 1) + "-c:a wmav2 out.wma".
std::string FfmpegNoise(std::uint32_t rate, double seconds, int seed);

// Makes the file at `path` with ffmpeg from `arguments` (its inputs and options); returns
// `path`. Throws std::runtime_error when ffmpeg fails.
std::string FfmpegWrite(const std::string& arguments, const std::string& path);

// ffmpeg's own 16-bit decode of audio stream `stream` (0 the first) of the file at `path`,
// interleaved; `options` go to the output ("-ac 1"). Throws std::runtime_error when ffmpeg
// fails.
std::vector<std::int16_t> FfmpegS16(const std::string& path, int stream = 0, const std::string& options = "");

// Windows Media videos of 1 to 5 s with one audio stream, in wmv1, wmv2 and msmpeg4 video and
// wmav1 and wmav2 audio, at several picture sizes and frame rates: ffmpeg's inputs and options,
// to go before the output file. Probing one reads it to its end; in several the last packet is
// padded and an index follows the data.
struct FfmpegFile {
    std::string name, arguments;
};
std::vector<FfmpegFile> ShortWindowsMediaVideos();

}  // namespace TestSupport
