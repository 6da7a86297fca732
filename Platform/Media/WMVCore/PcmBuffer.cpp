#include <Platform/Media/WMVCore/PcmBuffer.h>

namespace Platform::Media::Runtime {

Result PcmBuffer::QueryInterface(const Id& id, void** object) {
    if (!object) return kInvalidArgument;
    *object = nullptr;
    if (id != kUnknownId && id != kBufferId) return kNoInterface;
    *object = static_cast<Buffer*>(this);
    AddRef();
    return kOk;
}

Result PcmBuffer::GetBufferAndLength(uint8_t** data, uint32_t* length) {
    if (!data || !length) return kInvalidArgument;
    *data = m_bytes.data();
    *length = uint32_t(m_bytes.size());
    return kOk;
}

}  // namespace Platform::Media::Runtime
