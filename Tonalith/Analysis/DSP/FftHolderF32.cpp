#include <Tonalith/Analysis/DSP/FftHolderF32.h>

#include <Primitives/Vec/Fft.h>
#include <Primitives/Vec/Memory.h>

namespace DSP {

FftHolderF32::~FftHolderF32() { Free(); }

std::int32_t FftHolderF32::OrderFor(std::int32_t size) {
    if (size <= 2) return 1;
    std::int32_t k = 2;
    while (k < Prim::FftMaxOrder && (std::int64_t(1) << k) < size) ++k;
    return k;
}

void FftHolderF32::Free() {
    if (m_spec != nullptr) Vec::FftFreeRealF32(m_spec);
    Vec::Free(m_buffer);
    m_spec = nullptr;
    m_buffer = nullptr;
    m_bufferSize = 0;
    m_size = 0;
}

bool FftHolderF32::Init(std::int32_t size) {
    Free();
    const std::int32_t order = OrderFor(size);
    Vec::FftInitAllocRealF32(&m_spec, order);
    if (m_spec == nullptr) return false;
    std::int32_t bytes = 0;
    Vec::FftGetBufSizeRealF32(m_spec, &bytes);
    if (bytes > 0) {
        m_buffer = Vec::AllocU8(bytes);
        if (m_buffer == nullptr) {
            Free();
            return false;
        }
    }
    m_bufferSize = bytes;
    m_size = size;
    return true;
}

}  // namespace DSP
