// decode-raw FILE: reads FILE as the program does (the decoder chosen by header, then
// extension; all frames read de-interleaved as floats) and writes the samples interleaved as
// little-endian 32-bit floats to standard output. On failure the decoder's message goes to
// standard error and the exit status is 1.

#include <tools/decode-raw/DecodeFile.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

int Fail(const char* message) {
    std::fprintf(stderr, "%s\n", message);
    return 1;
}

bool WriteInterleaved(const std::vector<std::vector<float>>& channels, uint32_t frames) {
    constexpr uint32_t kBlockFrames = 16384;
    std::vector<float> block;
    for (uint32_t start = 0; start < frames; start += kBlockFrames) {
        const uint32_t count = std::min(kBlockFrames, frames - start);
        block.resize(size_t(count) * channels.size());
        for (uint32_t f = 0; f < count; ++f)
            for (size_t c = 0; c < channels.size(); ++c) block[f * channels.size() + c] = channels[c][start + f];
        if (std::fwrite(block.data(), sizeof(float), block.size(), stdout) != block.size()) return false;
    }
    return std::fflush(stdout) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: decode-raw FILE\n");
        return 2;
    }
    Tools::DecodedAudio audio;
    const std::string error = Tools::DecodeFile(argv[1], audio);
    if (!error.empty()) return Fail(error.c_str());
    if (!WriteInterleaved(audio.channels, audio.frames)) return Fail("Writing the samples to standard output failed");
    return 0;
}
