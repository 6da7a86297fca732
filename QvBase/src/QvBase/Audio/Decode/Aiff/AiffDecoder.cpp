#include <QvBase/Audio/Decode/Aiff/AiffDecoder.h>

#include <QvBase/Audio/Decode/SampleConversion.h>

#include <cmath>

namespace Audio::Decode::AIFF {

namespace {

constexpr uint32_t kForm = FourCC("FORM");
constexpr uint32_t kAiff = FourCC("AIFF");
constexpr uint32_t kAifc = FourCC("AIFC");
constexpr uint32_t kComm = FourCC("COMM");
constexpr uint32_t kSsnd = FourCC("SSND");
constexpr uint32_t kAppl = FourCC("APPL");
constexpr uint32_t kNone = FourCC("NONE");

constexpr uint32_t kCommonChunkBytes = 18;
constexpr uint32_t kCompressedCommonChunkBytes = 22;
// Offset and block size precede the samples of a sound-data chunk.
constexpr uint32_t kSoundDataPrefix = 8;
constexpr uint32_t kSignatureBytes = 4;

}  // namespace

std::optional<uint32_t> RoundedSampleRate(double rate) {
    if (!std::isfinite(rate)) return std::nullopt;
    const double rounded = std::trunc(rate < 0 ? rate - 0.5 : rate + 0.5);
    if (rounded < 0.0 || rounded > 4294967295.0) return std::nullopt;
    return uint32_t(rounded);
}

Decoder::Decoder(const String& path) : FileDecoder(path, ByteOrder::BigEndian) {}

Decoder::~Decoder() = default;

Type Decoder::GetType() { return Type::Aiff; }

Format Decoder::Open() {
    return OpenWith([this] { ParseHeader(); });
}

void Decoder::ParseHeader() {
    m_bits = 0;
    const uint32_t available = BytesLeft();
    if (available < 12) Fail(String("File size too small to contain a valid AIFF header: %1 bytes").Arg(available, 10));
    uint8_t header[12];
    ReadBytes(header, 12);
    const uint32_t form = FourCC(header + 8);
    if (FourCC(header) != kForm || (form != kAiff && form != kAifc)) Fail("Invalid AIFF header");
    const bool compressedForm = form == kAifc;

    bool commonFound = false;
    uint32_t soundDataDeclaredSize = 0;
    while (const auto chunk = NextChunkHeader(PadRule::InSize)) {
        if (chunk->Id == kComm) {
            if (!commonFound) {
                ParseCommonChunk(chunk->DeclaredSize, compressedForm);
                commonFound = true;
            }
        } else if (chunk->Id == kSsnd) {
            if (!m_dataFound) {
                m_dataOffset = chunk->DataOffset + kSoundDataPrefix;
                m_dataSize = chunk->Size;
                m_dataFound = true;
                soundDataDeclaredSize = chunk->DeclaredSize;
            }
        } else if (chunk->Id == kAppl) {
            // A chunk too small for its signature holds nothing to keep.
            if (chunk->DeclaredSize >= kSignatureBytes) {
                const uint32_t signature = Read32();
                m_chunks.push_back(
                    {signature, chunk->DataOffset + kSignatureBytes, chunk->DeclaredSize - kSignatureBytes});
            }
        }
        SkipChunk(*chunk, PadRule::InSize);
    }
    if (!commonFound) Fail("Didn't find common chunk");
    if (!m_dataFound) Fail("Didn't find sound data chunk");
    CheckSoundDataHoldsFrames(soundDataDeclaredSize);
    SeekFile(m_dataOffset);
}

void Decoder::CheckSoundDataHoldsFrames(uint32_t declaredSize) {
    // The frame count of the common chunk sizes the caller's buffers: it must not promise
    // more samples than the file holds.
    const uint64_t needed = kSoundDataPrefix + uint64_t(m_total) * FrameBytes();
    if (declaredSize < needed)
        Fail(String("Sound data chunk is %1 bytes, expected at least %2 bytes")
                 .Arg(declaredSize, 10)
                 .Arg(static_cast<unsigned long long>(needed), 10));
}

void Decoder::ParseCommonChunk(uint32_t size, bool compressedForm) {
    if (size < kCommonChunkBytes)
        Fail(String("Common chunk is %1 bytes, expected at least %2 bytes").Arg(size, 10).Arg(kCommonChunkBytes, 10));
    // The compression type of the compressed form must lie inside the chunk.
    if (compressedForm && size < kCompressedCommonChunkBytes)
        Fail(String("Common chunk is %1 bytes, expected at least %2 bytes")
                 .Arg(size, 10)
                 .Arg(kCompressedCommonChunkBytes, 10));
    const auto channels = int16_t(Read16());
    const uint32_t frames = Read32();
    const auto bits = int16_t(Read16());
    uint16_t words[5];
    for (uint16_t& word : words) word = Read16();
    const auto rate = RoundedSampleRate(ExtendedToReal(words));

    if (compressedForm) {
        const uint32_t compression = Read32();
        if (compression != kNone) Fail(String("Bad compression type: %1").Arg(compression, 10));
    }
    if (channels != 1 && channels != 2) Fail(String("Bad number of channels: %1").Arg(channels, 10));
    m_format.Channels = uint32_t(channels);
    if (bits != 16 && bits != 24) Fail(String("Unsupported bit depth: %1").Arg(bits, 10));
    m_bits = bits;
    m_format.BytesPerSample = uint32_t(bits + 7) / 8;
    m_total = frames;
    // Infinite, NaN, negative and huge rates are refused before they become integers.
    const uint32_t shown = rate.value_or(0);
    if (!rate || *rate < 1000 || *rate > 1000000) Fail(String("Bad sampling rate: %1").Arg(shown, 10));
    m_format.SampleRate = *rate;
    m_format.FloatFlag = 0;
    m_format.ChannelMask = 0;
}

String Decoder::UnsupportedMessage(Conversion) const { return "GetNextBlock %1 called, unsupported conversion"; }

}  // namespace Audio::Decode::AIFF
