#include <QvBase/Audio/Decode/Rex/RexDecoder.h>

#include <QvBase/Audio/Decode/Rex/RexLibrary.h>
#include <QvBase/Util/Math.h>

#include <Platform/Kernel/MemoryInfo.h>
#include <Primitives/Vec/Arith.h>

#include <algorithm>
#include <cmath>
#include <new>

namespace Audio::Decode::REX {

namespace {

constexpr double kQuartersPerTick = 6.510416666666667e-5;  // 1 / 15360: 15360 ticks to a quarter note
constexpr double kBelow32Bits = 4294967296.0;

// Releases a library handle on every way out of Open.
struct HandleGuard {
    Handle handle = 0;
    ~HandleGuard() {
        if (handle) RexLibrary::Delete(&handle);
    }
};

// Sizes come from the library: a block beyond what a decoded block may take is refused
// before it is zeroed page by page, which would wake the system's out-of-memory killer
// instead of failing.
void ExpectMemory(uint64_t floats) {
    const auto room = Platform::Kernel::MemoryForDecodedBlock();
    if (room && floats * sizeof(float) > *room) throw std::bad_alloc();
}

}  // namespace

Decoder::Decoder(const String& path) : FileDecoder(path, ByteOrder::LittleEndian) {
    // Each decoder holds one use of the library while it lives. A library that cannot be
    // loaded is not reported here: creating the handle then answers 200.
    const int32_t status = RexLibrary::Load();
    m_holdsLibrary = status == 1 || status == 201;
}

Decoder::~Decoder() {
    m_open = false;
    if (m_holdsLibrary) RexLibrary::Unload();
}

String Decoder::UnsupportedMessage(Conversion) const {
    return "ReadFloatInterleaved %1 called, unsupported conversion";
}

Format Decoder::Open() {
    if (m_open) return m_format;
    try {
        OpenWith([&] { Decode(); });
    } catch (const std::bad_alloc&) {
        Fail("Not enough memory to decode the loop");
    }
    // The stored samples are the cache's floats; the 64-bit read is not offered.
    m_converter.Double = {};
    return m_format;
}

double Decoder::Frames(double ticks) const {
    return double(Util::RoundToInt64(
        ticks * kQuartersPerTick * m_info.multiplier * 0.25 / (m_info.tempo * 0.001) * 60.0 * m_info.sampleRate));
}

void Decoder::Decode() {
    m_sliceStart.clear();
    m_sliceKept.clear();
    m_cache.clear();
    std::vector<char> bytes(FileSize());
    ReadBytes(bytes.data(), uint32_t(bytes.size()));
    m_file.Close();
    // The library takes the size as a signed 32-bit count.
    if (bytes.size() > uint32_t(INT32_MAX)) Fail("Can't create REX handle: file too large");
    HandleGuard guard;
    const Status created = RexLibrary::Create(&guard.handle, bytes.data(), int32_t(bytes.size()));
    if (created != kOk || guard.handle == 0) Fail(String("Can't create REX handle: %1").Arg(int(created), 10));
    const int32_t slices = ReadLoop(guard.handle);
    PlaceSlices(guard.handle, slices);
    Render(guard.handle);
}

int32_t Decoder::ReadLoop(Handle handle) {
    const Status status = RexLibrary::GetInfo(handle, sizeof(LoopInfo), &m_info);
    if (status != kOk) Fail(String("Can't get file info: %1").Arg(int(status), 10));
    const LoopInfo& i = m_info;
    if (i.channels < 1 || i.channels > 2 || i.sampleRate < 1000 || i.sampleRate > 1000000 || i.sliceCount < 0 ||
        i.tempo < 1000 || i.loopLength < 1 || i.checkedOnly < 1 || i.multiplier < 1)
        Fail("Invalid file info");
    if (i.sliceCount == 0) Fail("No active slices");
    m_format = Format{uint32_t(i.channels), 4, uint32_t(i.sampleRate), 1, 0};
    // The interface counts frames in 32 bits: a longer loop is refused, not wrapped.
    const double total = Frames(i.loopLength);
    if (!std::isfinite(total) || total < 0 || total >= kBelow32Bits) Fail("Invalid file info");
    m_total = uint32_t(total);
    return i.sliceCount;
}

void Decoder::PlaceSlices(Handle handle, int32_t slices) {
    const double beats = double(Util::RoundToInt64(m_info.loopLength * kQuartersPerTick * m_info.multiplier * 0.25));
    const double factor = m_total ? beats / (double(m_total) / m_info.sampleRate / 60.0) / (m_info.tempo * 0.001) : 0;
    m_sliceStart.assign(size_t(slices), 0);
    m_sliceKept.assign(size_t(slices), 0);
    for (int32_t s = 0; s < slices; ++s) {
        SliceInfo slice{};
        const Status status = RexLibrary::GetSliceInfo(handle, s, sizeof(SliceInfo), &slice);
        if (status != kOk) Fail(String("Can't get slice %1 info: %2").Arg(int(s), 10).Arg(int(status), 10));
        if (slice.length < 0) Fail("Invalid file info");
        const double start = Frames(slice.position);
        // A slice before the loop's start, or at or past its end, contributes nothing; with a
        // total of 0 there is nothing to keep (and no factor).
        if (m_total == 0 || slice.position < 0 || !(start < m_total)) continue;
        const double scaled = double(Util::RoundToInt64(slice.length * factor));
        const uint32_t kept = uint32_t(std::clamp(scaled, 0.0, double(slice.length)));
        m_sliceStart[size_t(s)] = uint32_t(start);
        m_sliceKept[size_t(s)] = std::min(kept, m_total - uint32_t(start));
    }
}

void Decoder::Render(Handle handle) {
    const uint32_t channels = m_format.Channels;
    ExpectMemory(uint64_t(channels) * m_total);
    m_cache.assign(channels, std::vector<float>(m_total, 0.0f));
    std::vector<float> rendered;
    for (size_t s = 0; s < m_sliceKept.size(); ++s) {
        const uint32_t n = m_sliceKept[s];
        if (n == 0) continue;
        SliceInfo slice{};
        Status status = RexLibrary::GetSliceInfo(handle, int32_t(s), sizeof(SliceInfo), &slice);
        if (status != kOk) Fail(String("Can't get info for slice %1: %2").Arg(uint(s), 10).Arg(int(status), 10));
        // The second answer is what is rendered: it must hold every frame that is kept.
        if (slice.length < 0 || uint32_t(slice.length) < n) Fail("Invalid file info");
        const size_t length = size_t(slice.length);
        ExpectMemory(uint64_t(channels) * length);
        rendered.assign(channels * length, 0.0f);
        float* blocks[2] = {rendered.data(), channels > 1 ? rendered.data() + length : nullptr};
        status = RexLibrary::RenderSlice(handle, int32_t(s), slice.length, blocks);
        if (status != kOk) Fail(String("Can't render slice %1: %2").Arg(uint(s), 10).Arg(int(status), 10));
        // A 10 ms fade-out at the slice's kept end.
        const uint32_t m = std::min(uint32_t(m_info.sampleRate) * 10 / 1000, n);
        const float step = 1.0f / float(m);
        for (uint32_t c = 0; c < channels; ++c) {
            float gain = 1.0f;
            for (uint32_t f = n - m; f < n; ++f, gain -= step) blocks[c][f] *= gain;
            Vec::AddF32(int32_t(n), blocks[c], m_cache[c].data() + m_sliceStart[s]);
        }
    }
}

void Decoder::ReadFramesRaw(uint32_t frames, void* destination) {
    auto* out = static_cast<float*>(destination);
    const uint32_t channels = m_format.Channels;
    for (uint32_t f = 0; f < frames; ++f)
        for (uint32_t c = 0; c < channels; ++c) *out++ = m_cache[c][m_position + f];
    m_position += frames;
}

void Decoder::Seek(uint32_t frame) {
    if (frame == m_position) return;
    if (!m_open) Fail(String("Seek to %1 when not sync'd").Arg(frame, 10));
    if (frame > m_total) Fail(String("Seek to %1, total sample frames %2").Arg(frame, 10).Arg(m_total, 10));
    m_position = frame;
}

void Decoder::ReadChunk(uint32_t, std::vector<uint8_t>& bytes) { std::vector<uint8_t>().swap(bytes); }

void Decoder::Close() { m_open = false; }

}  // namespace Audio::Decode::REX
