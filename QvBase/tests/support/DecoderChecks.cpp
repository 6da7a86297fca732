#include <support/DecoderChecks.h>

namespace TestAudio {

std::vector<float> ReadAllDeinterleaved(Audio::Decode::Stream& stream) {
    const uint32_t channels = stream.GetFormat().Channels;
    const uint32_t frames = stream.GetFramesRemaining();
    std::vector<std::vector<float>> buffers(channels, std::vector<float>(frames, -7.0f));
    std::vector<float*> pointers;
    for (auto& buffer : buffers) pointers.push_back(buffer.data());
    uint32_t read = 12345;
    stream.ReadFloatDeinterleaved(frames, pointers.data(), read);
    std::vector<float> out;
    for (uint32_t f = 0; f < read; ++f)
        for (uint32_t c = 0; c < channels; ++c) out.push_back(buffers[c][f]);
    return out;
}

}  // namespace TestAudio
