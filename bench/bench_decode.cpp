// Decoding speed of a long 16-bit stereo WAV, read de-interleaved into float buffers as the
// main window reads a file, beside its yardsticks: a plain read of the file and a 16-bit to
// float conversion of its samples. The file is $TONALITH_BENCH_WAV, else a generated one.
// Then an hour of stereo Windows Media ($TONALITH_BENCH_WMA, else made by ffmpeg; ten
// seconds in the one-pass check of `make test`), loaded as the main window loads it, beside
// the decode alone and the decode that counts the frames before reading them.

#include <Tonalith/App/AudioFileLoad.h>

#include <QvBase/Audio/Decode/CreateStream.h>
#include <QvBase/Audio/Decode/Exception.h>

#include <Primitives/Vec/Convert.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

void PutLE(std::ofstream& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.put(char(value >> (8 * i)));
}

// Five minutes of 16-bit stereo at 44100 frames per second (about 53 MB).
std::string WriteLongWav() {
    const auto path = std::filesystem::temp_directory_path() / "tonalith-bench-decode.wav";
    const uint32_t frames = 44100u * 300u;
    const uint32_t dataBytes = frames * 4u;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write("RIFF", 4);
    PutLE(out, 36 + dataBytes, 4);
    out.write("WAVEfmt ", 8);
    PutLE(out, 16, 4);
    PutLE(out, 1, 2);
    PutLE(out, 2, 2);
    PutLE(out, 44100, 4);
    PutLE(out, 44100 * 4, 4);
    PutLE(out, 4, 2);
    PutLE(out, 16, 2);
    out.write("data", 4);
    PutLE(out, dataBytes, 4);
    std::vector<int16_t> block(2 * 44100);
    for (uint32_t second = 0; second < 300; ++second) {
        for (uint32_t f = 0; f < 44100; ++f) {
            const double t = double(second * 44100 + f) / 44100.0;
            block[2 * f] = int16_t(20000.0 * std::sin(2 * M_PI * 440.0 * t));
            block[2 * f + 1] = int16_t(int32_t((f * 2654435761u) >> 16) - 32768);
        }
        out.write(reinterpret_cast<const char*>(block.data()), std::streamsize(block.size() * 2));
    }
    return path.string();
}

const std::string& BenchFile() {
    static const std::string path = [] {
        const char* given = std::getenv("TONALITH_BENCH_WAV");
        if (given && *given) return std::string(given);
        std::atexit(
            [] { std::filesystem::remove(std::filesystem::temp_directory_path() / "tonalith-bench-decode.wav"); });
        return WriteLongWav();
    }();
    return path;
}

void BM_ReadFloatDeinterleaved(benchmark::State& state) {
    const std::string& path = BenchFile();
    const auto fileBytes = int64_t(std::filesystem::file_size(path));
    // The buffers are the caller's: made and touched once, outside the timing.
    std::vector<std::vector<float>> channels;
    std::vector<float*> pointers;
    try {
        SharedPtr<Audio::Decode::Stream> probe = Audio::Decode::CreateStream(path.c_str());
        if (!probe) {
            state.SkipWithError("no decoder for the file");
            return;
        }
        const Audio::Decode::Format format = probe->OpenForward();
        channels.assign(format.Channels, std::vector<float>(probe->GetTotalFrames(), 0.0f));
        for (auto& c : channels) pointers.push_back(c.data());
    } catch (const Audio::Decode::Exception::BadFormat& error) {
        state.SkipWithError(error.Message().CStr());
        return;
    }
    for (auto _ : state) {
        SharedPtr<Audio::Decode::Stream> stream = Audio::Decode::CreateStream(path.c_str());
        try {
            stream->OpenForward();
            uint32_t read = 0;
            stream->ReadFloatDeinterleaved(stream->GetTotalFrames(), pointers.data(), read);
            benchmark::DoNotOptimize(read);
            benchmark::ClobberMemory();
        } catch (const Audio::Decode::Exception::BadFormat& error) {
            state.SkipWithError(error.Message().CStr());
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * fileBytes);
}
BENCHMARK(BM_ReadFloatDeinterleaved)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same file copied raw: what reading alone costs.
void BM_ReadRawInterleaved(benchmark::State& state) {
    const std::string& path = BenchFile();
    const auto fileBytes = int64_t(std::filesystem::file_size(path));
    std::vector<uint8_t> raw;
    for (auto _ : state) {
        SharedPtr<Audio::Decode::Stream> stream = Audio::Decode::CreateStream(path.c_str());
        if (!stream) {
            state.SkipWithError("no decoder for the file");
            return;
        }
        try {
            const Audio::Decode::Format format = stream->OpenForward();
            const uint32_t frames = stream->GetTotalFrames();
            raw.resize(size_t(frames) * format.Channels * format.BytesPerSample);
            uint32_t read = 0;
            stream->ReadRawInterleaved(frames, raw.data(), read);
            benchmark::DoNotOptimize(read);
            benchmark::ClobberMemory();
        } catch (const Audio::Decode::Exception::BadFormat& error) {
            state.SkipWithError(error.Message().CStr());
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * fileBytes);
}
BENCHMARK(BM_ReadRawInterleaved)->Unit(benchmark::kMillisecond)->UseRealTime();

// The load's read as the main window runs it: buffers made for the file, then every frame
// read into them by the reader.
void LoadAudioFile(benchmark::State& state, const std::string& path) {
    const auto fileBytes = int64_t(std::filesystem::file_size(path));
    for (auto _ : state) {
        UI::LoadedAudio audio;
        if (const std::optional<UI::LoadFailure> failure = UI::LoadAudioFile(path.c_str(), audio)) {
            state.SkipWithError(failure->text.CStr());
            return;
        }
        benchmark::DoNotOptimize(audio.pointers[0][audio.frames - 1]);
        state.PauseTiming();
        audio.Clear();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * fileBytes);
}

void BM_LoadAudioFile(benchmark::State& state) { LoadAudioFile(state, BenchFile()); }
BENCHMARK(BM_LoadAudioFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// Yardstick: the file read with plain reads of 1 MB into one buffer, nothing decoded.
void BM_PlainRead(benchmark::State& state) {
    const std::string& path = BenchFile();
    const auto fileBytes = int64_t(std::filesystem::file_size(path));
    std::vector<char> block(1 << 20);
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (!file) {
            state.SkipWithError("the file does not open");
            return;
        }
        while (std::fread(block.data(), 1, block.size(), file) == block.size()) benchmark::ClobberMemory();
        std::fclose(file);
    }
    state.SetBytesProcessed(state.iterations() * fileBytes);
}
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->UseRealTime();

// Yardstick: as many 16-bit samples as the file holds turned into floats in memory, into a
// buffer touched before.
void BM_ConvertS16ToF32(benchmark::State& state) {
    const auto fileBytes = int64_t(std::filesystem::file_size(BenchFile()));
    const std::size_t samples = std::size_t(fileBytes) / 2;
    std::vector<int16_t> stored(samples);
    for (std::size_t i = 0; i < samples; ++i) stored[i] = int16_t(i * 2654435761u >> 16);
    std::vector<float> floats(samples, 1.0f);
    constexpr std::size_t kPart = std::size_t(1) << 30;  // the vector call counts in 32 bits
    for (auto _ : state) {
        for (std::size_t done = 0; done < samples; done += kPart)
            Vec::ConvertS16ToF32(
                int32_t(std::min(kPart, samples - done)), stored.data() + done, floats.data() + done, 15);
        benchmark::DoNotOptimize(floats.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * fileBytes);
}
BENCHMARK(BM_ConvertS16ToF32)->Unit(benchmark::kMillisecond)->UseRealTime();

// A hostile file made of a million empty chunks before its data: opening it walks every
// chunk, and should cost little more than reading the file.
std::string WriteManyChunksWav() {
    const auto path = std::filesystem::temp_directory_path() / "tonalith-bench-decode-chunks.wav";
    const uint32_t chunks = 1000000;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write("RIFF", 4);
    PutLE(out, 4 + 24 + chunks * 8 + 8 + 4, 4);
    out.write("WAVEfmt ", 8);
    PutLE(out, 16, 4);
    PutLE(out, 1, 2);
    PutLE(out, 1, 2);
    PutLE(out, 8000, 4);
    PutLE(out, 16000, 4);
    PutLE(out, 2, 2);
    PutLE(out, 16, 2);
    for (uint32_t i = 0; i < chunks; ++i) {
        out.write("junk", 4);
        PutLE(out, 0, 4);
    }
    out.write("data", 4);
    PutLE(out, 4, 4);
    PutLE(out, 0, 4);
    return path.string();
}

void BM_OpenManyTinyChunks(benchmark::State& state) {
    static const std::string path = [] {
        std::atexit([] {
            std::filesystem::remove(std::filesystem::temp_directory_path() / "tonalith-bench-decode-chunks.wav");
        });
        return WriteManyChunksWav();
    }();
    const auto fileBytes = int64_t(std::filesystem::file_size(path));
    for (auto _ : state) {
        SharedPtr<Audio::Decode::Stream> stream = Audio::Decode::CreateStream(path.c_str());
        try {
            stream->OpenForward();
            benchmark::DoNotOptimize(stream->GetTotalFrames());
        } catch (const Audio::Decode::Exception::BadFormat& error) {
            state.SkipWithError(error.Message().CStr());
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * fileBytes);
}
BENCHMARK(BM_OpenManyTinyChunks)->Unit(benchmark::kMillisecond)->UseRealTime();

// An hour of stereo at 44100 frames per second in Windows Media, pink noise on one channel
// and a tone on the other; ten seconds in the one-pass check.
const std::string& WindowsMediaFile() {
    static const std::string path = [] {
        const char* given = std::getenv("TONALITH_BENCH_WMA");
        if (given && *given) return std::string(given);
        const auto made = std::filesystem::temp_directory_path() / "tonalith-bench-decode.wma";
        std::atexit(
            [] { std::filesystem::remove(std::filesystem::temp_directory_path() / "tonalith-bench-decode.wma"); });
        const std::string seconds = std::getenv("TONALITH_BENCH_ONE_PASS") ? "10" : "3600";
        const std::string command =
            "ffmpeg -nostdin -v error -y -f lavfi -i anoisesrc=c=pink:a=0.3:r=44100:d=" + seconds +
            " -f lavfi -i sine=f=440:r=44100:d=" + seconds + " -filter_complex amerge=inputs=2 -c:a wmav2 '" +
            made.string() + "'";
        return std::system(command.c_str()) == 0 ? made.string() : std::string();
    }();
    return path;
}

// The main window's load: the file opened and read once to its end.
void BM_LoadWindowsMedia(benchmark::State& state) {
    if (WindowsMediaFile().empty()) return state.SkipWithError("ffmpeg could not make the file");
    LoadAudioFile(state, WindowsMediaFile());
}
BENCHMARK(BM_LoadWindowsMedia)->Unit(benchmark::kMillisecond)->UseRealTime();

// Yardstick: the decode alone, its 16-bit samples read to the end into one block.
void BM_DecodeWindowsMedia(benchmark::State& state) {
    const std::string& path = WindowsMediaFile();
    if (path.empty()) return state.SkipWithError("ffmpeg could not make the file");
    std::vector<int16_t> block(std::size_t(2) << 20);
    for (auto _ : state) {
        SharedPtr<Audio::Decode::Stream> stream = Audio::Decode::CreateStream(path.c_str());
        if (!stream) return state.SkipWithError("no decoder for the file");
        try {
            const uint32_t channels = stream->OpenForward().Channels;
            const uint32_t frames = uint32_t(block.size() / channels);
            uint32_t read = frames;
            while (read == frames) stream->ReadInt16Interleaved(frames, block.data(), read);
            benchmark::ClobberMemory();
        } catch (const Audio::Decode::Exception::BadFormat& error) {
            return state.SkipWithError(error.Message().CStr());
        }
    }
    state.SetBytesProcessed(state.iterations() * int64_t(std::filesystem::file_size(path)));
}
BENCHMARK(BM_DecodeWindowsMedia)->Unit(benchmark::kMillisecond)->UseRealTime();

// Yardstick: the exact length asked first, which costs a decode of its own, then every
// frame read into buffers made for it.
void BM_CountThenReadWindowsMedia(benchmark::State& state) {
    const std::string& path = WindowsMediaFile();
    if (path.empty()) return state.SkipWithError("ffmpeg could not make the file");
    for (auto _ : state) {
        SharedPtr<Audio::Decode::Stream> stream = Audio::Decode::CreateStream(path.c_str());
        if (!stream) return state.SkipWithError("no decoder for the file");
        try {
            const uint32_t channels = stream->OpenForward().Channels;
            const uint32_t frames = stream->GetTotalFrames();
            std::vector<std::vector<float>> buffers(channels, std::vector<float>(frames));
            std::vector<float*> pointers;
            for (auto& b : buffers) pointers.push_back(b.data());
            uint32_t read = 0;
            stream->ReadFloatDeinterleaved(frames, pointers.data(), read);
            benchmark::DoNotOptimize(read);
            benchmark::ClobberMemory();
        } catch (const Audio::Decode::Exception::BadFormat& error) {
            return state.SkipWithError(error.Message().CStr());
        }
    }
    state.SetBytesProcessed(state.iterations() * int64_t(std::filesystem::file_size(path)));
}
BENCHMARK(BM_CountThenReadWindowsMedia)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
