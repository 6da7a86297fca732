#include <QvBase/Audio/Decode/SampleConversion.h>

#include <cmath>

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

inline int32_t Load24LittleEndian(const uint8_t* p) {
    // Shift the three bytes to the top of a 32-bit word, then back down with the sign.
    const uint32_t raw = (uint32_t(p[0]) << 8) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 24);
    return int32_t(raw) >> 8;
}

}  // namespace

void Convert24ToFloat(const uint8_t* source, size_t samples, float* destination) {
    for (size_t i = 0; i < samples; ++i) destination[i] = float(Load24LittleEndian(source + 3 * i)) * kScale24;
}

void Convert24ToDouble(const uint8_t* source, size_t samples, double* destination) {
    for (size_t i = 0; i < samples; ++i) destination[i] = double(Load24LittleEndian(source + 3 * i)) * double(kScale24);
}

void Convert24BigEndianToFloat(const uint8_t* source, size_t samples, float* destination) {
    for (size_t i = 0; i < samples; ++i) {
        const uint8_t* p = source + 3 * i;
        const uint32_t raw = (uint32_t(p[2]) << 8) | (uint32_t(p[1]) << 16) | (uint32_t(p[0]) << 24);
        destination[i] = float(int32_t(raw) >> 8) * kScale24;
    }
}

}  // namespace Audio::Decode
