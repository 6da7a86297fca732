#pragma once
#include <Platform/Media/WMVCore/RefCounted.h>

#include <vector>

namespace Platform::Media::Runtime {

// What an output delivers: its major type and, for audio, the PCM layout.
struct PcmLayout {
    uint16_t channels = 0;
    uint32_t rate = 0;
    uint16_t bits = 16;
    uint32_t channelMask = 0;
};

class OutputFormat final : public OutputProps {
public:
    OutputFormat(const Id& majorType, const PcmLayout& layout);

    Result QueryInterface(const Id& id, void** object) override;
    uint32_t AddRef() override { return m_count.Add(); }
    uint32_t Release() override { return m_count.Drop(this); }
    Result GetType(Id* majorType) override;
    Result GetMediaType(MediaType* type, uint32_t* size) override;

    const Id& MajorType() const { return m_major; }
    const PcmLayout& Layout() const { return m_layout; }

private:
    ~OutputFormat() = default;
    friend class RefCount<OutputFormat>;

    Id m_major;
    PcmLayout m_layout;
    std::vector<uint8_t> m_waveFormat;
    RefCount<OutputFormat> m_count;
};

}  // namespace Platform::Media::Runtime
