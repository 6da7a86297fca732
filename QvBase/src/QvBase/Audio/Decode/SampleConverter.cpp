#include <QvBase/Audio/Decode/SampleConverter.h>

#include <QvBase/Audio/Decode/SampleConversion.h>

#include <Primitives/Vec/Convert.h>
#include <Primitives/Vec/Interleave.h>

#include <algorithm>
#include <cstring>

namespace Audio::Decode {

namespace {

// A block of a read holds far fewer samples than an int32_t counts.
int32_t Count(size_t samples) { return int32_t(samples); }

template <class T>
const T* As(const uint8_t* stored) {
    return reinterpret_cast<const T*>(stored);
}

void F32ToF64(uint8_t* s, size_t n, double* d) { Vec::ConvertF32ToF64(Count(n), As<float>(s), d); }
void F32ToS16(uint8_t* s, size_t n, int16_t* d) { Vec::ConvertF32ToS16(Count(n), As<float>(s), d, -15, false); }
void S16ToF32(uint8_t* s, size_t n, float* d) { Vec::ConvertS16ToF32(Count(n), As<int16_t>(s), d, 15); }
void S16ToF64(uint8_t* s, size_t n, double* d) { Vec::ConvertS16ToF64(Count(n), As<int16_t>(s), d, 15); }
void S24ToF32(uint8_t* s, size_t n, float* d) { Convert24ToFloat(s, n, d); }
void S24ToF64(uint8_t* s, size_t n, double* d) { Convert24ToDouble(s, n, d); }
void S32ToF32(uint8_t* s, size_t n, float* d) { Vec::ConvertS32ToF32(Count(n), As<int32_t>(s), d, 31); }
void S32ToF64(uint8_t* s, size_t n, double* d) { Vec::ConvertS32ToF64(Count(n), As<int32_t>(s), d, 31); }

void BigS16ToF32(uint8_t* s, size_t n, float* d) {
    SwapBytes16InPlace(s, n);
    S16ToF32(s, n, d);
}

void BigS16ToS16(uint8_t* s, size_t n, int16_t* d) {
    SwapBytes16InPlace(s, n);
    std::memcpy(d, s, n * sizeof(int16_t));
}

void BigS24ToF32(uint8_t* s, size_t n, float* d) { Convert24BigEndianToFloat(s, n, d); }

// Through 32-bit floats, so that 16-bit reads round as the float reads scale.
void BigS24ToS16(uint8_t* s, size_t n, int16_t* d) {
    constexpr size_t kPart = 256;
    alignas(32) float part[kPart];
    for (size_t done = 0; done < n; done += kPart) {
        const size_t k = std::min(kPart, n - done);
        Convert24BigEndianToFloat(s + 3 * done, k, part);
        Vec::ConvertF32ToS16(Count(k), part, d + done, -15, false);
    }
}

void SplitF32(uint8_t* s, size_t n, uint32_t c, float* const* d) {
    Vec::DeinterleaveF32(int32_t(c), Count(n), As<float>(s), d);
}
void SplitS16(uint8_t* s, size_t n, uint32_t c, float* const* d) { Split16ToFloat(s, n, c, d); }
void SplitS24(uint8_t* s, size_t n, uint32_t c, float* const* d) { Split24ToFloat(s, n, c, d); }
void SplitS32(uint8_t* s, size_t n, uint32_t c, float* const* d) { Split32ToFloat(s, n, c, d); }
void SplitBigS24(uint8_t* s, size_t n, uint32_t c, float* const* d) { Split24BigEndianToFloat(s, n, c, d); }

void SplitBigS16(uint8_t* s, size_t n, uint32_t c, float* const* d) {
    SwapBytes16InPlace(s, n * c);
    Split16ToFloat(s, n, c, d);
}

template <class T>
ConversionTo<T> Offer(ConvertSamples<T> convert) {
    return {true, convert};
}

}  // namespace

SampleConverter ConverterFor(StoredSamples stored) {
    SampleConverter c;
    c.Stored = stored;
    // Only the conversions a container's reads offer: big-endian samples have no 64-bit
    // float read, and little-endian 24- and 32-bit integers no 16-bit one.
    if (TakesAsStored(stored.Order)) {
        if (stored.Float) {
            if (stored.Bytes == 4) {
                c.Float = Offer<float>(nullptr);
                c.FloatSplit = SplitF32;
                c.Double = Offer(F32ToF64);
                c.Int16 = Offer(F32ToS16);
            }
        } else if (stored.Bytes == 2) {
            c.Float = Offer(S16ToF32);
            c.FloatSplit = SplitS16;
            c.Double = Offer(S16ToF64);
            c.Int16 = Offer<int16_t>(nullptr);
        } else if (stored.Bytes == 3) {
            c.Float = Offer(S24ToF32);
            c.FloatSplit = SplitS24;
            c.Double = Offer(S24ToF64);
        } else if (stored.Bytes == 4) {
            c.Float = Offer(S32ToF32);
            c.FloatSplit = SplitS32;
            c.Double = Offer(S32ToF64);
        }
    } else if (!stored.Float) {
        if (stored.Bytes == 2) {
            c.Float = Offer(BigS16ToF32);
            c.FloatSplit = SplitBigS16;
            c.Int16 = Offer(BigS16ToS16);
        } else if (stored.Bytes == 3) {
            c.Float = Offer(BigS24ToF32);
            c.FloatSplit = SplitBigS24;
            c.Int16 = Offer(BigS24ToS16);
        }
    }
    return c;
}

void SampleConverter::ToLittleEndian(void* samples, size_t count) const {
    if (!TakesAsStored(Stored.Order)) ReverseEachSample(samples, count, Stored.Bytes);
}

}  // namespace Audio::Decode
