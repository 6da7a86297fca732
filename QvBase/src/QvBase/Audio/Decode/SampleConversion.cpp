#include <QvBase/Audio/Decode/SampleConversion.h>

#include <emmintrin.h>

#include <cmath>
#include <cstring>

namespace Audio::Decode {

double IntegerToReal(const uint8_t* sample, unsigned width, float factor) {
    if (width == 0) return 0.0;
    const bool negative = (sample[width - 1] & 0x80) != 0;
    const unsigned flip = negative ? 0xFF : 0x00;
    double m = 0.0;
    for (unsigned k = width; k-- > 0;) m = m * 256.0 + double(sample[k] ^ flip);
    if (negative) return -(m + 1.0) * double(factor);
    return m * double(factor);
}

double ExtendedToReal(const uint16_t words[5]) {
    const int exponent = int(words[0] & 0x7FFF) - 16383 - 31;
    const uint32_t hi = (uint32_t(words[1]) << 16) | words[2];
    const uint32_t lo = (uint32_t(words[3]) << 16) | words[4];
    const double value = std::ldexp(double(hi), exponent) + std::ldexp(double(lo), exponent - 32);
    return (words[0] & 0x8000) ? -value : value;
}

namespace {

constexpr float kScale16 = 1.0f / 32768.0f;
constexpr float kScale32 = 1.0f / 2147483648.0f;

inline int32_t Load24LittleEndian(const uint8_t* p) {
    // Shift the three bytes to the top of a 32-bit word, then back down with the sign.
    const uint32_t raw = (uint32_t(p[0]) << 8) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 24);
    return int32_t(raw) >> 8;
}

inline int32_t Load24BigEndian(const uint8_t* p) {
    const uint32_t raw = (uint32_t(p[2]) << 8) | (uint32_t(p[1]) << 16) | (uint32_t(p[0]) << 24);
    return int32_t(raw) >> 8;
}

template <class T>
inline T LoadAs(const uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Frame by frame, each sample to its channel's buffer; `load` turns the sample at a pointer
// into its float.
template <unsigned Width, class Load>
void SplitFrames(const uint8_t* source, size_t frames, uint32_t channels, float* const* destinations, Load load) {
    for (size_t f = 0; f < frames; ++f)
        for (uint32_t c = 0; c < channels; ++c, source += Width) destinations[c][f] = load(source);
}

// The common case, four frames to a vector: each 32-bit lane holds one frame, the left
// sample in its low half and the right one in its high half.
void Split16StereoToFloat(const uint8_t* source, size_t frames, float* left, float* right) {
    const __m128 scale = _mm_set1_ps(kScale16);
    const auto low = [](__m128i v) { return _mm_srai_epi32(_mm_slli_epi32(v, 16), 16); };
    size_t f = 0;
    for (; f + 8 <= frames; f += 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 4 * f));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 4 * f + 16));
        _mm_storeu_ps(left + f, _mm_mul_ps(_mm_cvtepi32_ps(low(a)), scale));
        _mm_storeu_ps(left + f + 4, _mm_mul_ps(_mm_cvtepi32_ps(low(b)), scale));
        _mm_storeu_ps(right + f, _mm_mul_ps(_mm_cvtepi32_ps(_mm_srai_epi32(a, 16)), scale));
        _mm_storeu_ps(right + f + 4, _mm_mul_ps(_mm_cvtepi32_ps(_mm_srai_epi32(b, 16)), scale));
    }
    for (; f < frames; ++f) {
        left[f] = float(LoadAs<int16_t>(source + 4 * f)) * kScale16;
        right[f] = float(LoadAs<int16_t>(source + 4 * f + 2)) * kScale16;
    }
}

}  // namespace

void Convert24ToFloat(const uint8_t* source, size_t samples, float* destination) {
    for (size_t i = 0; i < samples; ++i) destination[i] = float(Load24LittleEndian(source + 3 * i)) * kScale24;
}

void Convert24ToDouble(const uint8_t* source, size_t samples, double* destination) {
    for (size_t i = 0; i < samples; ++i) destination[i] = double(Load24LittleEndian(source + 3 * i)) * double(kScale24);
}

void Convert24BigEndianToFloat(const uint8_t* source, size_t samples, float* destination) {
    for (size_t i = 0; i < samples; ++i) destination[i] = float(Load24BigEndian(source + 3 * i)) * kScale24;
}

void Split16ToFloat(const uint8_t* source, size_t frames, uint32_t channels, float* const* destinations) {
    if (channels == 2) return Split16StereoToFloat(source, frames, destinations[0], destinations[1]);
    SplitFrames<2>(
        source, frames, channels, destinations, [](const uint8_t* p) { return float(LoadAs<int16_t>(p)) * kScale16; });
}

void Split24ToFloat(const uint8_t* source, size_t frames, uint32_t channels, float* const* destinations) {
    SplitFrames<3>(source, frames, channels, destinations,
        [](const uint8_t* p) { return float(Load24LittleEndian(p)) * kScale24; });
}

void Split24BigEndianToFloat(const uint8_t* source, size_t frames, uint32_t channels, float* const* destinations) {
    SplitFrames<3>(
        source, frames, channels, destinations, [](const uint8_t* p) { return float(Load24BigEndian(p)) * kScale24; });
}

void Split32ToFloat(const uint8_t* source, size_t frames, uint32_t channels, float* const* destinations) {
    SplitFrames<4>(
        source, frames, channels, destinations, [](const uint8_t* p) { return float(LoadAs<int32_t>(p)) * kScale32; });
}

}  // namespace Audio::Decode
