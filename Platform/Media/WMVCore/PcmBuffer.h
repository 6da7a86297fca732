#pragma once
#include <Platform/Media/WMVCore/RefCounted.h>

#include <vector>

namespace Platform::Media::Runtime {

// The bytes of one delivered sample: interleaved PCM frames.
class PcmBuffer final : public Buffer {
public:
    explicit PcmBuffer(std::vector<uint8_t> bytes) : m_bytes(std::move(bytes)) {}

    Result QueryInterface(const Id& id, void** object) override;
    uint32_t AddRef() override { return m_count.Add(); }
    uint32_t Release() override { return m_count.Drop(this); }
    Result GetBufferAndLength(uint8_t** data, uint32_t* length) override;

private:
    ~PcmBuffer() = default;
    friend class RefCount<PcmBuffer>;

    std::vector<uint8_t> m_bytes;
    RefCount<PcmBuffer> m_count;
};

}  // namespace Platform::Media::Runtime
