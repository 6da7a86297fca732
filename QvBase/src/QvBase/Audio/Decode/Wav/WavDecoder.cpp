#include <QvBase/Audio/Decode/Wav/WavDecoder.h>

#include <QvBase/Audio/Decode/Wav/WaveFormatGuid.h>

namespace Audio::Decode::WAV {

namespace {

constexpr uint32_t kRiff = FourCC("RIFF");
constexpr uint32_t kWave = FourCC("WAVE");
constexpr uint32_t kFmt = FourCC("fmt ");
constexpr uint32_t kData = FourCC("data");

constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagFloat = 3;
constexpr uint16_t kTagExtensible = 0xFFFE;

constexpr uint32_t kFormatChunkBytes = 16;
constexpr uint32_t kExtensibleChunkBytes = 40;
constexpr uint16_t kExtensionBytes = 22;

}  // namespace

Decoder::Decoder(const String& path) : FileDecoder(path, ByteOrder::LittleEndian) {}

Decoder::~Decoder() = default;

Type Decoder::GetType() { return Type::Wav; }

Format Decoder::Open() {
    return OpenWith([this] { ParseHeader(); });
}

void Decoder::ParseHeader() {
    const uint32_t available = BytesLeft();
    if (available < 12) Fail(String("File size too small to contain a valid RIFF header: %1 bytes").Arg(available, 10));
    uint8_t header[12];
    ReadBytes(header, 12);
    if (FourCC(header) != kRiff || FourCC(header + 8) != kWave) Fail("Invalid RIFF header");

    bool formatFound = false;
    while (const auto chunk = NextChunkHeader(PadRule::AfterData)) {
        if (chunk->Id == kData) {
            if (!m_dataFound) {
                m_dataOffset = chunk->DataOffset;
                m_dataSize = chunk->Size;
                m_dataFound = true;
            }
        } else if (chunk->Id == kFmt) {
            if (!formatFound) {
                ParseFormatChunk(chunk->Size);
                formatFound = true;
            }
        } else {
            m_chunks.push_back({chunk->Id, chunk->DataOffset, chunk->Size});
        }
        SkipChunk(*chunk, PadRule::AfterData);
    }
    if (!formatFound) Fail("Didn't find common chunk");
    if (!m_dataFound) Fail("Didn't find data chunk");

    SeekFile(m_dataOffset);
    m_total = uint32_t(m_dataSize / FrameBytes());
}

void Decoder::ParseFormatChunk(uint32_t size) {
    if (size < kFormatChunkBytes)
        Fail(String("Format chunk is %1 bytes, expected at least %2 bytes").Arg(size, 10).Arg(kFormatChunkBytes, 10));
    const uint16_t tag = Read16();
    const uint16_t channels = Read16();
    const uint32_t rate = Read32();
    Read32();  // bytes per second
    Read16();  // block align
    const uint16_t bits = Read16();

    if (channels == 0) Fail(String("Bad number of channels: %1").Arg(uint32_t(channels), 10));
    m_format.Channels = channels;
    if (rate == 0) Fail(String("Bad sampling rate: %1").Arg(rate, 10));
    m_format.SampleRate = rate;
    m_format.ChannelMask = 0;

    if (tag == kTagExtensible) {
        ParseExtensible(size, bits);
        return;
    }
    if (tag != kTagPcm && tag != kTagFloat) Fail(String("Bad wave format tag: %1").Arg(int16_t(tag), 10));
    m_format.FloatFlag = tag == kTagFloat ? 1 : 0;
    const bool supported = ((bits == 8 || bits == 16 || bits == 24) && tag == kTagPcm) || bits == 32;
    if (!supported)
        Fail(String("Unsupported bit depth / wave format combination: %1/%2").Arg(bits, 10).Arg(int16_t(tag), 10));
    m_format.BytesPerSample = (bits + 7u) / 8u;
}

void Decoder::ParseExtensible(uint32_t size, uint16_t bits) {
    // Without its extension size field the chunk has no extension at all.
    const uint16_t extension = size >= kFormatChunkBytes + 2 ? Read16() : 0;
    if (extension < kExtensionBytes)
        Fail(String("Expected wave format extensible chunk, only %1 extra bytes").Arg(uint32_t(extension), 10));
    // The extension must lie inside this chunk, not in the one that follows.
    if (size < kExtensibleChunkBytes)
        Fail(String("Format chunk is %1 bytes, expected at least %2 bytes")
                 .Arg(size, 10)
                 .Arg(kExtensibleChunkBytes, 10));
    Read16();  // valid bits per sample
    const uint32_t mask = Read32();
    WaveFormatGuid guid;
    guid.Data1 = Read32();
    guid.Data2 = Read16();
    guid.Data3 = Read16();
    ReadBytes(guid.Data4.data(), 8);

    if (guid == kPcmSubFormat)
        m_format.FloatFlag = 0;
    else if (guid == kFloatSubFormat)
        m_format.FloatFlag = 1;
    else
        Fail(String("Invalid wave format extensible subtype GUID %1").Arg(GuidText(guid)));
    // 0 bits would make a frame of 0 bytes.
    if (bits == 0)
        Fail(String("Unsupported bit depth / wave format combination: %1/%2")
                 .Arg(bits, 10)
                 .Arg(int16_t(kTagExtensible), 10));
    m_format.ChannelMask = mask;
    m_format.BytesPerSample = (bits + 7u) / 8u;
}

String Decoder::UnsupportedMessage(Conversion conversion) const {
    if (conversion == Conversion::Int16) return "ReadInt16Interleaved %1 called, unsupported conversion";
    return "ReadFloatInterleaved %1 called, unsupported conversion";
}

}  // namespace Audio::Decode::WAV
