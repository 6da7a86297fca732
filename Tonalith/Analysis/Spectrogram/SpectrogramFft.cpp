#include <Tonalith/Analysis/Spectrogram/SpectrogramFft.h>

#include <Primitives/Vec/Fft.h>
#include <Primitives/Vec/Memory.h>

namespace UI {

SpectrogramFft::SpectrogramFft(std::uint32_t order) : m_order(order) {
    Vec::FftInitAllocRealF64(&m_spec, static_cast<std::int32_t>(order));
    if (m_spec == nullptr) return;
    Vec::FftGetBufSizeRealF64(m_spec, &m_bufferSize);
    if (m_bufferSize > 0) m_buffer = Vec::AllocU8(m_bufferSize);
}

SpectrogramFft::~SpectrogramFft() {
    if (m_spec != nullptr) Vec::FftFreeRealF64(m_spec);
    Vec::Free(m_buffer);
}

void SpectrogramFft::Forward(const double* src, double* dst) const { Vec::FftTransformF64(src, dst, m_spec, m_buffer); }

void SpectrogramFft::Forward(const double* src, double* dst, std::uint8_t* buffer) const {
    Vec::FftTransformF64(src, dst, m_spec, buffer);
}

}  // namespace UI
