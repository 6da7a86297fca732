#include <support/DecoderChecks.h>

#include <QvBase/Audio/Decode/CreateStream.h>

#include <support/AudioReference.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

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

std::string MakeWma(const TempDir& dir, const WmaFile& file) {
    std::ostringstream name, command;
    name << dir.Path() << "/" << file.codec << "_" << file.rate << "_" << file.channels << "_" << file.seconds
         << ".wma";
    command << "ffmpeg -nostdin -v error -y -f lavfi -i 'anoisesrc=c=pink:a=0.5:r=" << file.rate
            << ":d=" << file.seconds << ":seed=11' -ac " << file.channels << " -c:a " << file.codec << " "
            << ShellQuote(name.str());
    EXPECT_EQ(RunCommand(command.str()).exitCode, 0) << command.str();
    return name.str();
}

void ExpectDecodesAsFfmpeg(const std::string& path, const WmaFile& file) {
    SCOPED_TRACE(path);
    const std::vector<float> reference = FfmpegS16Floats(path);
    const uint32_t channels = file.channels;
    ASSERT_EQ(reference.size() % channels, 0u);
    const uint32_t frames = uint32_t(reference.size() / channels);
    ASSERT_GT(frames, 0u);
    SharedPtr<Audio::Decode::Stream> stream = Audio::Decode::CreateStream(path.c_str());
    ASSERT_TRUE(stream);
    const Audio::Decode::Format format = stream->OpenForward();
    EXPECT_EQ(format.Channels, channels);
    EXPECT_EQ(format.SampleRate, file.rate);
    ASSERT_EQ(stream->GetTotalFrames(), frames);
    const std::vector<float> whole = ReadAllDeinterleaved(*stream);
    ASSERT_EQ(whole.size(), reference.size());
    for (size_t i = 0; i < whole.size(); ++i) ASSERT_EQ(whole[i], reference[i]) << "sample " << i;
    EXPECT_EQ(stream->GetFramesRemaining(), 0u);

    // Frame starts mostly fall between two ticks of the runtime's clock.
    for (const uint32_t to : {1000u, frames / 3, frames - 1, frames}) {
        if (to > frames) continue;
        stream->Seek(to);
        ASSERT_EQ(stream->GetPosition(), to);
        std::vector<int16_t> s16(size_t(64) * channels);
        uint32_t got = 0;
        stream->ReadInt16Interleaved(64, s16.data(), got);
        ASSERT_EQ(got, std::min(64u, frames - to)) << "after Seek(" << to << ")";
        for (size_t i = 0; i < size_t(got) * channels; ++i)
            ASSERT_EQ(float(s16[i]) / 32768.0f, reference[size_t(to) * channels + i]) << "Seek(" << to << ") + " << i;
    }
}

}  // namespace TestAudio
