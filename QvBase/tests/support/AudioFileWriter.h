#pragma once

// Builds WAV and AIFF files byte by byte, correct or broken, for the decoder tests.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace TestAudio {

using Bytes = std::vector<uint8_t>;

void PutU16LE(Bytes& out, uint32_t v);
void PutU32LE(Bytes& out, uint32_t v);
void PutU16BE(Bytes& out, uint32_t v);
void PutU32BE(Bytes& out, uint32_t v);
void PutText(Bytes& out, const std::string& text);
void Append(Bytes& out, const Bytes& more);

// One chunk: a four-character identifier, a body, and optionally a size that lies about the
// body. A pad byte follows an odd-sized body unless `pad` is false.
struct Chunk {
    std::string id;
    Bytes body;
    std::optional<uint32_t> declaredSize;
    bool pad = true;
};

// "RIFF" size "WAVE" chunks... (little-endian sizes). The RIFF size is computed unless given.
Bytes Riff(const std::vector<Chunk>& chunks, const std::string& form = "WAVE",
    std::optional<uint32_t> riffSize = std::nullopt);
// "FORM" size "AIFF"/"AIFC" chunks... (big-endian sizes).
Bytes Form(const std::vector<Chunk>& chunks, const std::string& form = "AIFF",
    std::optional<uint32_t> formSize = std::nullopt);

// The 16-byte WAV format chunk (tag, channels, rate, bytes per second, block align, bits).
Chunk WavFmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits);

struct Guid {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    std::array<uint8_t, 8> data4;
};
Guid PcmGuid();
Guid FloatGuid();

// The 40-byte extensible format chunk (tag 0xFFFE, extension size 22).
Chunk WavFmtExtensible(
    uint16_t channels, uint32_t rate, uint16_t bits, uint32_t mask, const Guid& guid, uint16_t extensionSize = 22);

Chunk DataChunk(const Bytes& samples);

// A complete canonical WAV: fmt then data.
Bytes Wav(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& samples);

// The 80-bit extended form of a number (big-endian bytes as in an AIFF header).
std::array<uint8_t, 10> Extended(double value);

// AIFF common chunk; `compression` makes the AIFC form of it.
Chunk AiffComm(int16_t channels, uint32_t frames, int16_t bits, double rate,
    const std::optional<std::string>& compression = std::nullopt);
Chunk AiffCommRawRate(int16_t channels, uint32_t frames, int16_t bits, const std::array<uint8_t, 10>& rate);
// Sound data chunk: offset 0, block size 0, then the samples.
Chunk AiffSsnd(const Bytes& samples);
Bytes Aiff(int16_t channels, int16_t bits, double rate, const Bytes& bigEndianSamples);

// Samples as stored: little-endian (WAV) or big-endian (AIFF) integers of `width` bytes.
Bytes IntSamplesLE(const std::vector<int32_t>& values, unsigned width);
Bytes IntSamplesBE(const std::vector<int32_t>& values, unsigned width);
Bytes FloatSamplesLE(const std::vector<float>& values);

// A folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return m_path; }
    // Writes the bytes to a file of that name in the folder and returns its path.
    std::string Write(const std::string& name, const Bytes& bytes) const;

private:
    std::string m_path;
};

Bytes ReadWholeFile(const std::string& path);

}  // namespace TestAudio
