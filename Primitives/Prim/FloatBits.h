#pragma once
#include <bit>
#include <cstdint>

// Bit patterns of floats, and the fixed NaNs that the operations store.
namespace Prim::FloatBits {

inline std::uint32_t Bits(float x) { return std::bit_cast<std::uint32_t>(x); }
inline std::uint64_t Bits(double x) { return std::bit_cast<std::uint64_t>(x); }

inline constexpr float NegativeQuietNanF32 = std::bit_cast<float>(0xFFC00000u);
inline constexpr float PositiveQuietNanF32 = std::bit_cast<float>(0x7FC00000u);
inline constexpr double NegativeQuietNanF64 = std::bit_cast<double>(0xFFF8000000000000ull);
inline constexpr double PositiveQuietNanF64 = std::bit_cast<double>(0x7FF8000000000000ull);

template <class T>
constexpr T NegativeQuietNan() {
    if constexpr (sizeof(T) == 4) {
        return NegativeQuietNanF32;
    } else {
        return NegativeQuietNanF64;
    }
}

template <class T>
constexpr T PositiveQuietNan() {
    if constexpr (sizeof(T) == 4) {
        return PositiveQuietNanF32;
    } else {
        return PositiveQuietNanF64;
    }
}

// A NaN with its quiet bit set, as an x87 load makes of a signalling one.
inline float Quieted(float x) { return std::bit_cast<float>(Bits(x) | 0x00400000u); }
inline double Quieted(double x) { return std::bit_cast<double>(Bits(x) | 0x0008000000000000ull); }

}  // namespace Prim::FloatBits
