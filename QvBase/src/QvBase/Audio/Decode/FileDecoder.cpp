#include <QvBase/Audio/Decode/FileDecoder.h>

#include <algorithm>
#include <limits>
#include <type_traits>

namespace Audio::Decode {

namespace {

// Bytes of samples one block of a block-wise read works on: small enough to stay in cache.
constexpr uint64_t kBlockBytes = 256 * 1024;
// Stored bytes per block of the de-interleaving float read: one read call each, converted
// from the cache straight into the channel buffers.
constexpr uint64_t kSplitBlockBytes = 1024 * 1024;
// The largest single raw read (the file layer reads at most 2^32 - 1 bytes at once).
constexpr uint64_t kRawBlockBytes = 64 * 1024 * 1024;

}  // namespace

FileDecoder::FileDecoder(const String& path, ByteOrder order) : m_path(path), m_file(Path(path)), m_byteOrder(order) {}

FileDecoder::~FileDecoder() {
    if (m_open) {
        try {
            Close();
        } catch (const Exception::BadFormat&) {
            // Destruction never throws; the file is gone either way.
        }
    }
}

Format FileDecoder::GetFormat() { return m_format; }

uint32_t FileDecoder::GetTotalFrames() { return m_total; }

uint32_t FileDecoder::GetPosition() { return m_position; }

uint32_t FileDecoder::GetFramesRemaining() { return m_open ? m_total - m_position : 0; }

void FileDecoder::Fail(const String& message, std::source_location where) const {
    Exception::ThrowBadFormat(message, m_path, where.file_name(), int(where.line()));
}

void FileDecoder::FailFileIO(const Util::Exception::FileIO& error, std::source_location where) const {
    Fail(String("FileIO Error: %1").Arg(error.Description()), where);
}

template <class Body>
void FileDecoder::GuardFileIO(Body&& body) {
    try {
        body();
    } catch (const Util::Exception::FileIO& error) {
        FailFileIO(error);
    }
}

void FileDecoder::ResetForOpen() {
    m_position = 0;
    m_total = 0;
    m_dataOffset = 0;
    m_dataSize = 0;
    m_dataFound = false;
    m_chunks.clear();
    m_file.Open(Util::File::ModeRead);
    // Measured once: asking the stream for its size drops its read buffer, which made the
    // walk over a file of many tiny chunks cost a dozen system calls per chunk.
    const auto size = m_file.SizeOf();
    if (!size) Fail("File size cannot be read or exceeds 4294967295 bytes");
    m_fileSize = *size;
}

void FileDecoder::CloseQuietly() {
    try {
        m_file.Close();
    } catch (const Util::Exception::FileIO&) {
        // Already failing with a better message.
    }
}

void FileDecoder::Seek(uint32_t frame) {
    if (frame == m_position) return;
    if (!m_open) Fail(String("Seek to %1 when not sync'd").Arg(frame, 10));
    if (frame > m_total) Fail(String("Seek to %1, total sample frames %2").Arg(frame, 10).Arg(m_total, 10));
    m_position = frame;
    GuardFileIO([&] { SeekFile(uint64_t(m_dataOffset) + uint64_t(frame) * FrameBytes()); });
}

template <class Block>
void FileDecoder::ReadInBlocks(const char* operation, std::optional<Conversion> conversion, uint32_t frames,
    uint32_t& framesRead, uint32_t blockFrames, Block&& block) {
    framesRead = 0;
    if (!m_open) Fail(String("%1 %2 when not sync'd").Arg(operation).Arg(frames, 10));
    if (frames == 0) return;
    const uint32_t n = std::min(frames, GetFramesRemaining());
    if (conversion && !Offers(*conversion)) Fail(UnsupportedMessage(*conversion).Arg(n, 10));
    GuardFileIO([&] {
        for (uint32_t done = 0; done < n;) {
            const uint32_t k = std::min(blockFrames, n - done);
            block(done, k);
            done += k;
            framesRead = done;
        }
    });
}

bool FileDecoder::Offers(Conversion conversion) const {
    switch (conversion) {
    case Conversion::Float: return m_converter.Float.Offered;
    case Conversion::Double: return m_converter.Double.Offered;
    case Conversion::Int16: return m_converter.Int16.Offered;
    }
    return false;
}

uint32_t FileDecoder::BlockFrames(uint64_t blockBytes, uint64_t frameBytes) {
    return uint32_t(
        std::clamp<uint64_t>(blockBytes / std::max<uint64_t>(1, frameBytes), 1, std::numeric_limits<uint32_t>::max()));
}

template <class T>
void FileDecoder::ReadBlock(uint32_t frames, T* destination) {
    const ConversionTo<T>& conversion = m_converter.To<T>();
    if (!conversion.Convert) {
        ReadFramesRaw(frames, destination);
        return;
    }
    uint8_t* stored = m_conversion.Reserve(size_t(frames) * FrameBytes());
    ReadFramesRaw(frames, stored);
    conversion.Convert(stored, SamplesIn(frames), destination);
}

template <class T>
void FileDecoder::ReadInterleaved(const char* operation, uint32_t frames, T* destination, uint32_t& framesRead) {
    constexpr Conversion kTarget = std::is_same_v<T, float> ? Conversion::Float
        : std::is_same_v<T, double>                         ? Conversion::Double
                                                            : Conversion::Int16;
    // Eight bytes per sample covers the widest buffer a converting block needs (doubles).
    ReadInBlocks(operation, kTarget, frames, framesRead, BlockFrames(kBlockBytes, uint64_t(m_format.Channels) * 8),
        [&](uint32_t done, uint32_t k) { ReadBlock(k, destination + size_t(done) * m_format.Channels); });
}

void FileDecoder::ReadFloatInterleaved(uint32_t frames, float* destination, uint32_t& framesRead) {
    ReadInterleaved("ReadFloatInterleaved", frames, destination, framesRead);
}

void FileDecoder::ReadFloatInterleaved(uint32_t frames, double* destination, uint32_t& framesRead) {
    ReadInterleaved("ReadFloatInterleaved", frames, destination, framesRead);
}

void FileDecoder::ReadInt16Interleaved(uint32_t frames, int16_t* destination, uint32_t& framesRead) {
    ReadInterleaved("ReadInt16Interleaved", frames, destination, framesRead);
}

void FileDecoder::ReadFloatDeinterleaved(uint32_t frames, float* const* channels, uint32_t& framesRead) {
    const uint32_t count = m_format.Channels;
    std::vector<float*> targets(count);
    // Only the stored block is the decoder's: the floats go straight to the caller's buffers.
    ReadInBlocks("ReadFloatDeinterleaved", Conversion::Float, frames, framesRead,
        BlockFrames(kSplitBlockBytes, FrameBytes()), [&](uint32_t done, uint32_t k) {
            if (count == 1) {
                ReadBlock(k, channels[0] + done);
                return;
            }
            uint8_t* stored = m_conversion.Reserve(size_t(k) * FrameBytes());
            ReadFramesRaw(k, stored);
            for (uint32_t c = 0; c < count; ++c) targets[c] = channels[c] + done;
            m_converter.FloatSplit(stored, k, count, targets.data());
        });
}

void FileDecoder::ReadInt16Deinterleaved(uint32_t frames, int16_t* const* channels, uint32_t& framesRead) {
    const uint32_t count = m_format.Channels;
    ReadInBlocks("ReadInt16Deinterleaved", Conversion::Int16, frames, framesRead,
        BlockFrames(kBlockBytes, uint64_t(count) * 8), [&](uint32_t done, uint32_t k) {
            int16_t* interleaved = m_interleave.ReserveAs<int16_t>(size_t(k) * count);
            ReadBlock(k, interleaved);
            const int16_t* frame = interleaved;
            for (uint32_t f = 0; f < k; ++f, frame += count)
                for (uint32_t c = 0; c < count; ++c) channels[c][done + f] = frame[c];
        });
}

void FileDecoder::ReadRawInterleaved(uint32_t frames, void* destination, uint32_t& framesRead) {
    auto* bytes = static_cast<uint8_t*>(destination);
    ReadInBlocks("ReadRawInterleaved", std::nullopt, frames, framesRead, BlockFrames(kRawBlockBytes, FrameBytes()),
        [&](uint32_t done, uint32_t k) {
            uint8_t* target = bytes + uint64_t(done) * FrameBytes();
            ReadFramesRaw(k, target);
            m_converter.ToLittleEndian(target, SamplesIn(k));
        });
}

bool FileDecoder::HasChunk(uint32_t id) {
    return std::any_of(m_chunks.begin(), m_chunks.end(), [id](const ChunkRecord& r) { return r.Id == id; });
}

void FileDecoder::ReadChunk(uint32_t id, std::vector<uint8_t>& bytes) {
    GuardFileIO([&] {
        // Closed: the position is unknown and the seek below reports the file as not open.
        const uint32_t back = m_file.Tell().value_or(0);
        const auto found =
            std::find_if(m_chunks.begin(), m_chunks.end(), [id](const ChunkRecord& r) { return r.Id == id; });
        if (found != m_chunks.end()) {
            SeekFile(found->Offset);
            bytes.resize(found->Size);
            ReadBytes(bytes.data(), found->Size);
        } else {
            std::vector<uint8_t>().swap(bytes);
        }
        SeekFile(back);
    });
}

void FileDecoder::Close() {
    m_open = false;
    GuardFileIO([&] { m_file.Close(); });
}

uint32_t FileDecoder::FileSize() const { return m_fileSize; }

uint32_t FileDecoder::FilePosition() {
    const auto position = m_file.Tell();
    if (!position) Fail("File position cannot be read");
    return *position;
}

uint32_t FileDecoder::BytesLeft() {
    const uint32_t size = FileSize();
    const uint32_t position = FilePosition();
    return position < size ? size - position : 0;
}

void FileDecoder::ReadBytes(void* destination, uint32_t count) {
    if (count) m_file.Read(destination, count);
}

uint16_t FileDecoder::Read16() {
    uint16_t stored = 0;
    m_file.Read(&stored, 2);
    return FromFileOrder16(stored, m_byteOrder);
}

uint32_t FileDecoder::Read32() {
    uint32_t stored = 0;
    m_file.Read(&stored, 4);
    return FromFileOrder32(stored, m_byteOrder);
}

void FileDecoder::SeekFile(uint64_t offset) {
    // Every offset the decoders compute lies within a file whose size fits 32 bits.
    if (offset > std::numeric_limits<uint32_t>::max())
        Fail(String("Seek to %1 beyond the largest file offset").Arg(static_cast<unsigned long long>(offset), 10));
    m_file.Seek(uint32_t(offset));
}

std::optional<ChunkHeader> FileDecoder::NextChunkHeader(PadRule rule) {
    // One position query per chunk: the header's reads move it by exactly what they read.
    const uint64_t start = FilePosition();
    const uint64_t end = FileSize();
    if (start + 4 > end) return std::nullopt;
    uint8_t id[4];
    ReadBytes(id, 4);
    if (start + 8 > end) return std::nullopt;
    const uint32_t declared = Read32();
    const uint32_t dataOffset = uint32_t(start + 8);
    const uint32_t left = uint32_t(end - dataOffset);
    uint32_t size = declared;
    if (rule == PadRule::InSize && (size & 1) && left > size) ++size;
    if (size > left) return std::nullopt;
    return ChunkHeader{FourCC(id), dataOffset, declared, size};
}

void FileDecoder::SkipChunk(const ChunkHeader& chunk, PadRule rule) {
    uint64_t next = uint64_t(chunk.DataOffset) + chunk.Size;
    if (rule == PadRule::AfterData && (chunk.Size & 1) && uint64_t(FileSize()) - chunk.DataOffset > chunk.Size) ++next;
    SeekFile(next);
}

void FileDecoder::ReadFramesRaw(uint32_t frames, void* destination) {
    const uint64_t bytes = uint64_t(frames) * FrameBytes();
    if (bytes > std::numeric_limits<uint32_t>::max())
        Fail(String("Read of %1 frames is too large for one block").Arg(frames, 10));
    ReadBytes(destination, uint32_t(bytes));
    m_position += frames;
}

}  // namespace Audio::Decode
