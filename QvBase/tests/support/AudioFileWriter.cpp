#include <support/AudioFileWriter.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

namespace TestAudio {

void PutU16LE(Bytes& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void PutU32LE(Bytes& out, uint32_t v) {
    PutU16LE(out, v & 0xFFFF);
    PutU16LE(out, v >> 16);
}

void PutU16BE(Bytes& out, uint32_t v) {
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

void PutU32BE(Bytes& out, uint32_t v) {
    PutU16BE(out, v >> 16);
    PutU16BE(out, v & 0xFFFF);
}

void PutText(Bytes& out, const std::string& text) { out.insert(out.end(), text.begin(), text.end()); }

void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

namespace {

Bytes Container(const char* magic, const std::vector<Chunk>& chunks, const std::string& form,
    std::optional<uint32_t> size, bool bigEndian) {
    Bytes body;
    PutText(body, form);
    for (const Chunk& chunk : chunks) {
        PutText(body, chunk.id);
        const uint32_t declared = chunk.declaredSize.value_or(uint32_t(chunk.body.size()));
        bigEndian ? PutU32BE(body, declared) : PutU32LE(body, declared);
        Append(body, chunk.body);
        if (chunk.pad && chunk.body.size() % 2 == 1) body.push_back(0);
    }
    Bytes out;
    PutText(out, magic);
    const uint32_t total = size.value_or(uint32_t(body.size()));
    bigEndian ? PutU32BE(out, total) : PutU32LE(out, total);
    Append(out, body);
    return out;
}

}  // namespace

Bytes Riff(const std::vector<Chunk>& chunks, const std::string& form, std::optional<uint32_t> riffSize) {
    return Container("RIFF", chunks, form, riffSize, false);
}

Bytes Form(const std::vector<Chunk>& chunks, const std::string& form, std::optional<uint32_t> formSize) {
    return Container("FORM", chunks, form, formSize, true);
}

Chunk WavFmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    Chunk c{"fmt ", {}, std::nullopt, true};
    const uint32_t align = channels * ((bits + 7u) / 8u);
    PutU16LE(c.body, tag);
    PutU16LE(c.body, channels);
    PutU32LE(c.body, rate);
    PutU32LE(c.body, rate * align);
    PutU16LE(c.body, align);
    PutU16LE(c.body, bits);
    return c;
}

Guid PcmGuid() { return {0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}}; }
Guid FloatGuid() { return {0x00000003, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}}; }

Chunk WavFmtExtensible(
    uint16_t channels, uint32_t rate, uint16_t bits, uint32_t mask, const Guid& guid, uint16_t extensionSize) {
    Chunk c = WavFmt(0xFFFE, channels, rate, bits);
    PutU16LE(c.body, extensionSize);
    PutU16LE(c.body, bits);
    PutU32LE(c.body, mask);
    PutU32LE(c.body, guid.data1);
    PutU16LE(c.body, guid.data2);
    PutU16LE(c.body, guid.data3);
    c.body.insert(c.body.end(), guid.data4.begin(), guid.data4.end());
    return c;
}

Chunk DataChunk(const Bytes& samples) { return Chunk{"data", samples, std::nullopt, true}; }

Bytes Wav(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& samples) {
    return Riff({WavFmt(tag, channels, rate, bits), DataChunk(samples)});
}

std::array<uint8_t, 10> Extended(double value) {
    std::array<uint8_t, 10> out{};
    if (value == 0.0) return out;
    uint16_t sign = 0;
    if (value < 0) {
        sign = 0x8000;
        value = -value;
    }
    int exponent = 0;
    const double fraction = std::frexp(value, &exponent);  // value = fraction * 2^exponent, fraction in [0.5, 1)
    const uint64_t mantissa = uint64_t(std::ldexp(fraction, 64));
    const uint16_t biased = uint16_t(sign | uint16_t(exponent - 1 + 16383));
    out[0] = uint8_t(biased >> 8);
    out[1] = uint8_t(biased);
    for (int i = 0; i < 8; ++i) out[2 + i] = uint8_t(mantissa >> (56 - 8 * i));
    return out;
}

Chunk AiffCommRawRate(int16_t channels, uint32_t frames, int16_t bits, const std::array<uint8_t, 10>& rate) {
    Chunk c{"COMM", {}, std::nullopt, true};
    PutU16BE(c.body, uint16_t(channels));
    PutU32BE(c.body, frames);
    PutU16BE(c.body, uint16_t(bits));
    c.body.insert(c.body.end(), rate.begin(), rate.end());
    return c;
}

Chunk AiffComm(
    int16_t channels, uint32_t frames, int16_t bits, double rate, const std::optional<std::string>& compression) {
    Chunk c = AiffCommRawRate(channels, frames, bits, Extended(rate));
    if (compression) {
        PutText(c.body, *compression);
        // A Pascal string naming the compression: empty, padded to an even length.
        c.body.push_back(0);
        c.body.push_back(0);
    }
    return c;
}

Chunk AiffSsnd(const Bytes& samples) {
    Chunk c{"SSND", {}, std::nullopt, true};
    PutU32BE(c.body, 0);
    PutU32BE(c.body, 0);
    Append(c.body, samples);
    return c;
}

Bytes Aiff(int16_t channels, int16_t bits, double rate, const Bytes& bigEndianSamples) {
    const uint32_t frameBytes = uint32_t(channels) * uint32_t((bits + 7) / 8);
    const uint32_t frames = frameBytes ? uint32_t(bigEndianSamples.size() / frameBytes) : 0;
    return Form({AiffComm(channels, frames, bits, rate), AiffSsnd(bigEndianSamples)});
}

Bytes IntSamplesLE(const std::vector<int32_t>& values, unsigned width) {
    Bytes out;
    for (int32_t v : values)
        for (unsigned b = 0; b < width; ++b) out.push_back(uint8_t(uint32_t(v) >> (8 * b)));
    return out;
}

Bytes IntSamplesBE(const std::vector<int32_t>& values, unsigned width) {
    Bytes out;
    for (int32_t v : values)
        for (unsigned b = width; b-- > 0;) out.push_back(uint8_t(uint32_t(v) >> (8 * b)));
    return out;
}

Bytes FloatSamplesLE(const std::vector<float>& values) {
    Bytes out(values.size() * 4);
    if (!values.empty()) std::memcpy(out.data(), values.data(), out.size());
    return out;
}

TempDir::TempDir() {
    std::random_device entropy;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto candidate = base / ("tonalith-decode-" + std::to_string(entropy()));
        if (std::filesystem::create_directory(candidate)) {
            m_path = candidate.string();
            return;
        }
    }
    throw std::runtime_error("could not create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempDir::Write(const std::string& name, const Bytes& bytes) const {
    const std::string path = m_path + "/" + name;
    // A fresh file rather than a truncated one: some file systems flush a file that is
    // truncated and written again, which thousands of mutants would wait for.
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) throw std::runtime_error("could not write " + path);
    return path;
}

Bytes ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace TestAudio
