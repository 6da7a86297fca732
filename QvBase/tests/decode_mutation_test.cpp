// Valid files mutated many thousands of times (seeded: bit flips, truncations, overwritten
// sizes and counts), each opened and read as the program would: every outcome must be a
// successful read or a BadFormat, and no mutant may make anyone allocate more than its file
// could hold.

#include <QvBase/Audio/Decode/ByteOrder.h>
#include <QvBase/Audio/Decode/CreateStream.h>
#include <QvBase/Audio/Decode/Exception.h>

#include <support/AudioFileWriter.h>
#include <support/AudioReference.h>

#include <Platform/Library/RuntimeLibrary.h>
#include <RexStandIn/RexStandInFile.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>

// The largest single allocation made through operator new since the last reset. The
// replacements below pair malloc with free, which the compiler cannot see through.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
namespace {
std::atomic<size_t> g_largestAllocation{0};
}

void* operator new(size_t size) {
    size_t seen = g_largestAllocation.load(std::memory_order_relaxed);
    while (size > seen && !g_largestAllocation.compare_exchange_weak(seen, size, std::memory_order_relaxed)) {}
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
// The library's nothrow forms (std::stable_sort's buffer, for one) must pair with the
// replacements too, or the sanitizer sees its own allocation freed by ours.
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

using namespace Audio::Decode;
using namespace TestAudio;
using Audio::Decode::Exception::BadFormat;

namespace {

struct Seed {
    std::string name;  // its extension steers the decoder choice when the header is broken
    Bytes bytes;
    bool bigEndian;
    bool compressed = false;  // Windows Media: the samples take more room than the file
    uint64_t loopBytes = 0;  // REX: the bytes of samples the stand-in renders for the loop
};

std::vector<int32_t> Noise(size_t count, int32_t limit, std::mt19937& random) {
    std::vector<int32_t> v(count);
    for (auto& x : v) x = int32_t(int64_t(random() % (2 * uint64_t(limit))) - limit);
    return v;
}

std::vector<Seed> Seeds() {
    std::mt19937 random(2024);
    std::vector<Seed> seeds;
    Chunk list{"LIST", {'I', 'N', 'F', 'O', 'I', 'N', 'A', 'M', 3, 0, 0, 0, 'a', 'b', 0}, std::nullopt, true};
    seeds.push_back({"s16.wav",
        Riff({WavFmt(1, 2, 44100, 16), list, DataChunk(IntSamplesLE(Noise(96, 32768, random), 2))}), false});
    seeds.push_back({"s24.wav", Wav(1, 1, 48000, 24, IntSamplesLE(Noise(70, 8388608, random), 3)), false});
    seeds.push_back(
        {"s32.wav", Riff({DataChunk(IntSamplesLE(Noise(40, 1 << 30, random), 4)), WavFmt(1, 4, 8000, 32)}), false});
    seeds.push_back(
        {"f32.wav", Wav(3, 2, 22050, 32, FloatSamplesLE({0.5f, -0.5f, 1.0f, -1.0f, 0.25f, 0.0f, 2.0f, -3.0f})), false});
    seeds.push_back({"u8.wav", Wav(1, 1, 8000, 8, Bytes(33, 0x80)), false});
    seeds.push_back({"ext.wav",
        Riff({WavFmtExtensible(6, 96000, 24, 0x3F, PcmGuid()), DataChunk(IntSamplesLE(Noise(60, 8388608, random), 3))}),
        false});
    seeds.push_back({"extf.wav",
        Riff({WavFmtExtensible(3, 44100, 32, 7, FloatGuid()),
            DataChunk(FloatSamplesLE({0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f}))}),
        false});
    Chunk appl{"APPL", {'t', 'e', 's', 't', 1, 2, 3, 4, 5}, std::nullopt, true};
    seeds.push_back({"a16.aiff",
        Form({AiffComm(2, 40, 16, 44100), appl, AiffSsnd(IntSamplesBE(Noise(80, 32768, random), 2))}), true});
    seeds.push_back(
        {"a24.aif", Form({AiffSsnd(IntSamplesBE(Noise(50, 8388608, random), 3)), AiffComm(1, 50, 24, 8000)}), true});
    seeds.push_back({"c16.aif",
        Form({AiffComm(1, 30, 16, 22050, std::string("NONE")), AiffSsnd(IntSamplesBE(Noise(30, 32768, random), 2))},
            "AIFC"),
        true});
    return seeds;
}

// Windows Media files made by ffmpeg: one of each codec.
void AddWindowsMediaSeeds(std::vector<Seed>& seeds, const TempDir& dir) {
    if (!HaveProgram("ffmpeg")) return;
    for (const char* options : {"-ac 1 -ar 8000 -c:a wmav2", "-ac 2 -ar 11025 -c:a wmav1"}) {
        const std::string path = dir.Path() + "/seed" + std::to_string(seeds.size()) + ".wma";
        const std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i 'anoisesrc=d=1.2:seed=3' " +
            std::string(options) + " -b:a 32k " + ShellQuote(path);
        ASSERT_EQ(RunCommand(command).exitCode, 0) << command;
        seeds.push_back({"w" + std::to_string(seeds.size()) + ".wma", ReadWholeFile(path), false, true});
    }
}

void Put32(Bytes& b, size_t at, uint32_t v, bool bigEndian) {
    for (size_t i = 0; i < 4 && at + i < b.size(); ++i)
        b[at + i] = uint8_t(bigEndian ? v >> (24 - 8 * i) : v >> (8 * i));
}

// Loops for the stand-in of the REX vendor library: 88200 frames, overlapping slices, one
// across the end.
void AddLoopSeeds(std::vector<Seed>& seeds) {
    for (int32_t channels : {1, 2}) {
        RexStandIn::Loop loop;
        const int32_t info[9] = {channels, 44100, 4, 0, 120000, 61440, 1, 4, 0};
        std::copy(info, info + 9, loop.info);
        loop.slices = {{0, 3000, 3000}, {256, 500, 700}, {30000, 20, 20}, {60000, 5000, 5000}};
        seeds.push_back({"loop" + std::to_string(channels) + ".rx2", RexStandIn::Bytes(loop), false, false,
            88200u * 4 * uint64_t(channels)});
    }
}

// The loop information stays as it is (it alone sets the loop's size, which a mutant could
// blow up to any size the memory allows); the statuses and slices are lied about, and the
// file is cut short.
Bytes MutateLoop(const Seed& seed, std::mt19937& random) {
    Bytes b = seed.bytes;
    const uint32_t interesting[] = {0, 1, 2, 6, 200, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFF00};
    const size_t slices = (b.size() - RexStandIn::kHeaderBytes) / 12;
    for (int k = 0, kinds = 1 + int(random() % 2); k < kinds; ++k) {
        switch (random() % 4) {
        case 0: b.resize(random() % (b.size() + 1)); return b;
        case 1: Put32(b, 48 + 4 * (random() % 5), interesting[random() % std::size(interesting)], false); break;
        case 2:
            Put32(b, RexStandIn::kHeaderBytes + 12 * (random() % slices),
                random() % 2 ? interesting[random() % std::size(interesting)] : random() % 70000, false);
            break;
        case 3:
            Put32(b, RexStandIn::kHeaderBytes + 12 * (random() % slices) + 4 + 4 * (random() % 2),
                uint32_t(int32_t(random() % 200000) - 1000), false);
            break;
        }
    }
    return b;
}

// The sizes of the header object, of its first objects and of the data object that follows.
std::vector<size_t> AsfSizeFields(const Bytes& b) {
    std::vector<size_t> fields{16, 24};
    size_t at = 30;
    for (int i = 0; i < 12 && at + 24 <= b.size(); ++i) {
        fields.push_back(at + 16);
        uint64_t size = 0;
        for (int k = 7; k >= 0; --k) size = size << 8 | b[at + 16 + k];
        if (size < 24) break;
        at += size;
    }
    return fields;
}

// Offsets of the numbers most worth lying about: every chunk size, and the count, channel,
// bit and rate fields of the format chunks.
std::vector<size_t> SizeFields(const Seed& seed) {
    if (seed.compressed) return AsfSizeFields(seed.bytes);
    std::vector<size_t> fields{4};
    const Bytes& b = seed.bytes;
    size_t at = 12;
    while (at + 8 <= b.size()) {
        const uint32_t id = FourCC(&b[at]);
        const uint32_t size = seed.bigEndian
            ? (uint32_t(b[at + 4]) << 24 | b[at + 5] << 16 | b[at + 6] << 8 | b[at + 7])
            : (uint32_t(b[at + 7]) << 24 | b[at + 6] << 16 | b[at + 5] << 8 | b[at + 4]);
        fields.push_back(at + 4);
        if (id == FourCC("fmt "))
            for (size_t o : {2, 4, 14, 16, 20}) fields.push_back(at + 8 + o);
        if (id == FourCC("COMM"))
            for (size_t o : {0, 2, 6, 8}) fields.push_back(at + 8 + o);
        at += 8 + size + (size & 1);
    }
    return fields;
}

Bytes Mutate(const Seed& seed, const std::vector<size_t>& fields, std::mt19937& random) {
    Bytes b = seed.bytes;
    const uint32_t interesting[] = {0, 1, 2, 3, 7, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFFE, 0xFFFFFFF8,
        0x0000FFFF, 0x00010000, uint32_t(b.size()), uint32_t(b.size() - 1), uint32_t(b.size() + 1),
        uint32_t(b.size() * 2)};
    const int kinds = 1 + int(random() % 3);
    for (int k = 0; k < kinds; ++k) {
        switch (random() % 5) {
        case 0:  // flip bits
            for (int i = 0, n = 1 + int(random() % 8); i < n; ++i)
                b[random() % b.size()] ^= uint8_t(1u << (random() % 8));
            break;
        case 1:  // truncate
            b.resize(random() % (b.size() + 1));
            if (b.empty()) return b;
            break;
        case 2:  // an interesting number over a size or count field
        case 3: {
            const size_t at = fields[random() % fields.size()];
            const uint32_t value = random() % 4 ? interesting[random() % std::size(interesting)] : uint32_t(random());
            Put32(b, at, value, random() % 8 ? seed.bigEndian : !seed.bigEndian);
            break;
        }
        case 4:  // an interesting number anywhere
            Put32(b, random() % b.size(), interesting[random() % std::size(interesting)], seed.bigEndian);
            break;
        }
    }
    return b;
}

struct Outcome {
    int refusedAtOpen = 0;
    int read = 0;
    int refusedAtRead = 0;
    int noDecoder = 0;
};

// Opens and reads one file every way the interface offers. Fails the test on anything but
// success or BadFormat.
void Exercise(const std::string& path, size_t fileSize, const Seed& seed, Outcome& outcome, const std::string& what) {
    const bool compressed = seed.compressed;
    // What a file may promise: its own bytes, more for compressed audio, a loop's rendering.
    const uint64_t bound = seed.loopBytes ? seed.loopBytes : compressed ? 64 * fileSize : fileSize;
    g_largestAllocation = 0;
    SharedPtr<Stream> stream = CreateStream(path.c_str());
    if (!stream) {
        ++outcome.noDecoder;
        return;
    }
    Format format;
    try {
        format = stream->OpenForward();
    } catch (const BadFormat&) {
        ++outcome.refusedAtOpen;
        return;
    } catch (...) {
        ADD_FAILURE() << what << ": Open threw something other than BadFormat";
        return;
    }
    const uint64_t frames = stream->GetTotalFrames();
    // What the file promises must fit in the file.
    ASSERT_GE(format.Channels, 1u) << what;
    ASSERT_GE(format.BytesPerSample, 1u) << what;
    ASSERT_LE(frames * format.Channels * format.BytesPerSample, bound) << what;
    try {
        std::vector<std::vector<float>> channels(format.Channels, std::vector<float>(frames));
        std::vector<float*> pointers;
        for (auto& c : channels) pointers.push_back(c.data());
        uint32_t got = 0;
        bool failed = false;
        try {
            stream->ReadFloatDeinterleaved(uint32_t(frames), pointers.data(), got);
            EXPECT_EQ(got, frames) << what;
        } catch (const BadFormat&) {
            failed = true;
        }
        // The other reads may refuse conversions the samples do not support.
        // The other reads, from the middle.
        const uint32_t half = uint32_t(frames / 2);
        std::vector<uint8_t> raw(size_t(frames) * format.Channels * format.BytesPerSample + 1);
        std::vector<int16_t> s16(size_t(frames) * format.Channels + 1);
        std::vector<double> f64(size_t(frames) * format.Channels + 1);
        for (int way = 0; way < 3; ++way) {
            try {
                stream->Seek(half);
                if (way == 0)
                    stream->ReadRawInterleaved(uint32_t(frames), raw.data(), got);
                else if (way == 1)
                    stream->ReadInt16Interleaved(uint32_t(frames), s16.data(), got);
                else
                    stream->ReadFloatInterleaved(uint32_t(frames), f64.data(), got);
                // Windows Media reads run on to the end of the data, past the whole seconds.
                EXPECT_LE(got, compressed ? frames : frames - half) << what;
            } catch (const BadFormat&) {}
        }
        for (const char* id : {"LIST", "test", "junk"}) {
            std::vector<uint8_t> chunk;
            stream->ReadChunk(FourCC(reinterpret_cast<const uint8_t*>(id)), chunk);
            EXPECT_LE(chunk.size(), fileSize) << what;
        }
        stream->Close();
        failed ? ++outcome.refusedAtRead : ++outcome.read;
    } catch (const BadFormat&) {
        ++outcome.refusedAtRead;
    } catch (...) {
        ADD_FAILURE() << what << ": a read threw something other than BadFormat";
    }
    // Per-channel bookkeeping (the caller's buffer handles, the decoder's pointer array) grows
    // with the channel count, which the format allows up to 65535, not with the file.
    EXPECT_LE(g_largestAllocation.load(),
        std::max<size_t>({1 << 20, (compressed ? 512 : 8) * fileSize, 4 * bound}) + 32 * size_t(format.Channels))
        << what;
}

}  // namespace

TEST(DecodeMutation, EveryMutantReadsOrFailsWithBadFormat) {
    TempDir dir;
    std::mt19937 random(20261206);
    Outcome outcome;
#ifdef TONALITH_SANITIZED
    const int perSeed = 500;
#else
    const int perSeed = 800;
#endif
    std::vector<Seed> seeds = Seeds();
    AddWindowsMediaSeeds(seeds, dir);
    AddLoopSeeds(seeds);
    // The stand-in for the REX vendor library is where the program looks first.
    Platform::Library::SetProgramFolderForTesting(TONALITH_BINARY_DIR "/rex-standin/normal");
    for (const Seed& seed : seeds) {
        const std::string original = dir.Write("orig-" + seed.name, seed.bytes);
        Outcome clean;
        Exercise(original, seed.bytes.size(), seed, clean, seed.name);
        EXPECT_EQ(clean.refusedAtOpen + clean.noDecoder, 0) << seed.name << " must open before it is mutated";

        const std::vector<size_t> fields = SizeFields(seed);
        // Each Windows Media mutant is decoded whole more than once: fewer of them.
        for (int i = 0; i < (seed.compressed ? perSeed / 4 : perSeed); ++i) {
            const Bytes mutant = seed.loopBytes ? MutateLoop(seed, random) : Mutate(seed, fields, random);
            const std::string path = dir.Write(seed.name, mutant);
            Exercise(path, mutant.size(), seed, outcome, seed.name + " mutant " + std::to_string(i));
            if (HasFatalFailure()) return;
        }
    }
    Platform::Library::SetProgramFolderForTesting("");
    // The mutations reach every outcome.
    EXPECT_GT(outcome.read, 100);
    EXPECT_GT(outcome.refusedAtOpen, 100);
    EXPECT_GT(outcome.refusedAtRead, 0);
    std::printf("read %d, refused at open %d, refused at read %d, no decoder %d\n", outcome.read, outcome.refusedAtOpen,
        outcome.refusedAtRead, outcome.noDecoder);
}
