#include <Platform/Media/WMVCore/OutputFormat.h>

#include <cstring>

namespace Platform::Media::Runtime {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// The wave-format block of 16-bit PCM; more than two channels take the extensible form
// that carries the channel mask.
std::vector<uint8_t> WaveFormatOf(const PcmLayout& layout) {
    std::vector<uint8_t> block;
    const bool extensible = layout.channels > 2;
    const uint32_t align = uint32_t(layout.channels) * layout.bits / 8;
    Put16(block, extensible ? kExtensibleTag : kPcmTag);
    Put16(block, layout.channels);
    Put32(block, layout.rate);
    Put32(block, layout.rate * align);
    Put16(block, align);
    Put16(block, layout.bits);
    Put16(block, extensible ? kExtensibleExtraBytes : 0);
    if (extensible) {
        Put16(block, layout.bits);
        Put32(block, layout.channelMask);
        // The PCM sub-format identifier of the extensible form.
        static constexpr uint8_t kPcmSubFormat[16] = {1, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
        block.insert(block.end(), kPcmSubFormat, kPcmSubFormat + 16);
    }
    return block;
}

}  // namespace

OutputFormat::OutputFormat(const Id& majorType, const PcmLayout& layout) : m_major(majorType), m_layout(layout) {
    if (m_major == kAudioType) m_waveFormat = WaveFormatOf(layout);
}

Result OutputFormat::QueryInterface(const Id& id, void** object) {
    if (!object) return kInvalidArgument;
    *object = nullptr;
    if (id != kUnknownId && id != kOutputPropsId) return kNoInterface;
    *object = static_cast<OutputProps*>(this);
    AddRef();
    return kOk;
}

Result OutputFormat::GetType(Id* majorType) {
    if (!majorType) return kInvalidArgument;
    *majorType = m_major;
    return kOk;
}

Result OutputFormat::GetMediaType(MediaType* type, uint32_t* size) {
    if (!size) return kInvalidArgument;
    const uint32_t needed = uint32_t(sizeof(MediaType) + m_waveFormat.size());
    if (!type) {
        *size = needed;
        return kOk;
    }
    if (*size < needed) {
        *size = needed;
        return kInvalidArgument;
    }
    auto* bytes = reinterpret_cast<uint8_t*>(type);
    MediaType record{};
    record.majorType = m_major;
    record.subtype = m_major == kAudioType ? kPcmSubtype : kOtherType;
    record.fixedSizeSamples = 1;
    record.sampleSize = m_waveFormat.empty() ? 0 : uint32_t(m_layout.channels) * m_layout.bits / 8;
    record.formatType = m_major == kAudioType ? kWaveFormatType : kOtherType;
    record.formatSize = uint32_t(m_waveFormat.size());
    record.format = m_waveFormat.empty() ? nullptr : bytes + sizeof(MediaType);
    std::memcpy(bytes, &record, sizeof record);
    if (!m_waveFormat.empty()) std::memcpy(bytes + sizeof(MediaType), m_waveFormat.data(), m_waveFormat.size());
    return kOk;
}

}  // namespace Platform::Media::Runtime
