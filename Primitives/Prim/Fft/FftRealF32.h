#pragma once
// The real FFT on 32-bit floats: public transforms (half-spectrum layout, N + 2 floats) and
// the packed-layout cores that convolution and filtering chain without conversions.
//
// Half-spectrum layout: Re X0, 0, Re X1, Im X1, ..., Re X(N/2), 0.
// Packed layout (N floats): X0, X(N/2), Re X1, Im X1, ..., Re X(N/2-1), Im X(N/2-1).
// Every transform checks, in this order: null record (-8), a record that is not a tag-6
// record of its own build (-17), null data (-8), then the work buffer's allocation (-9).
// src may equal dst; a record is only read, so calls on one record may run concurrently
// as long as they do not share a caller's work buffer.

#include <Primitives/Prim/Fft/FftSpec.h>

#include <cstdint>

namespace Prim {

// FftForwardRealF32 and FftInverseRealF32 are listed in Operations.inc.
// The inverse's source is N + 2 floats, of which floats 1 and N + 1 are never read; it writes N.

// Packed-layout cores (N floats each way), called directly by the builds of the filters.
Status FftForwardRealF32Core_x87(const float* src, float* dst, const FftSpecRealF32* spec, uint8_t* buffer);
Status FftForwardRealF32Core_sse2(const float* src, float* dst, const FftSpecRealF32* spec, uint8_t* buffer);
Status FftInverseRealF32Core_x87(const float* src, float* dst, const FftSpecRealF32* spec, uint8_t* buffer);
Status FftInverseRealF32Core_sse2(const float* src, float* dst, const FftSpecRealF32* spec, uint8_t* buffer);

// srcDst = srcDst * src, element by element, both packed spectra of len floats (an odd len
// has no Nyquist element). -8 for a null pointer, then -6 for len below 1.
Status MulPackF32_x87(const float* src, float* srcDst, int32_t len);
Status MulPackF32_sse2(const float* src, float* srcDst, int32_t len);

// srcDst[k] = src[k] * srcDst[k] for n interleaved complex values; n may be 0.
void MulComplexF32_sse2(const float* src, float* srcDst, int32_t n);

// dst[i + j] += x[i] * h[j] for every i < lenX and j < lenH: the direct convolution of the
// SSE2 build's convolution. Adds into dst (lenX + lenH - 1 floats); checks nothing.
void ConvKernelF32_sse2(const float* x, int32_t lenX, const float* h, int32_t lenH, float* dst);

}  // namespace Prim
