#include <Primitives/Prim/Fft/FftTables.h>

#include <Primitives/Prim/Fft/FftMemory.h>
#include <Primitives/Prim/Fft/FftRootReader.h>

#include <cmath>
#include <cstring>

namespace Prim {
namespace {

// Values a vector register of the SSE2 layout holds: two doubles or four floats.
template <typename T>
constexpr uint64_t GroupWidth = 16 / sizeof(T);

uint64_t Pow2(int e) { return uint64_t{1} << e; }

// Steps to the next index in bit-reversed counting over `bits` bits.
uint64_t NextReversed(uint64_t j, int bits) {
    uint64_t mask = bits > 0 ? Pow2(bits - 1) : 0;
    while (mask != 0 && (j & mask) != 0) {
        j ^= mask;
        mask >>= 1;
    }
    return j | mask;
}

}  // namespace

template <typename T>
T* FftMakeSineTable(int t) {
    const uint64_t full = Pow2(t);
    const uint64_t quarter = full / 4;
    const uint64_t eighth = full / 8;
    T* sine = FftAllocArray<T>(quarter + 1);
    if (!sine) return nullptr;
    const double step =
        static_cast<double>(static_cast<long double>(6.283185307179586) / static_cast<long double>(full));
    for (uint64_t j = 0; j <= quarter; ++j) {
        double value =
            j <= eighth ? std::sin(static_cast<double>(j) * step) : std::cos(static_cast<double>(quarter - j) * step);
        sine[j] = static_cast<T>(value);
    }
    return sine;
}

int32_t* FftMakeBitRevTable(int k) {
    const uint64_t quarter = k >= 2 ? Pow2(k - 2) : 0;
    int32_t* table = FftAllocArray<int32_t>(quarter + 1);
    if (!table) return nullptr;
    table[quarter] = 0;  // orders 0 and 1 have nothing to permute: the table is only its end
    if (k < 2) return table;
    const int bits = k - 2;
    uint64_t pairEnd = 0;
    uint64_t fixedStart = quarter;  // fixed points are written downward from word quarter - 1
    uint64_t reversed = 0;
    for (uint64_t i = 1; i < quarter; ++i) {
        reversed = NextReversed(reversed, bits);
        if (i < reversed) {
            table[pairEnd++] = static_cast<int32_t>(4 * i);
            table[pairEnd++] = static_cast<int32_t>(4 * reversed);
        } else if (i == reversed) {
            table[--fixedStart] = static_cast<int32_t>(4 * i);
        }
    }
    table[pairEnd] = 0;
    table[quarter] = 0;
    return table;
}

int32_t* FftBitRevTable(int k) {
    const uint64_t quarter = k >= 2 ? Pow2(k - 2) : 0;
    int32_t* table = FftAllocArray<int32_t>(quarter + 1);
    if (!table) return nullptr;
    table[quarter] = 0;  // orders 0 and 1 have nothing to permute: the table is only its end
    if (k < 2) return table;
    uint64_t reversed = 0;
    table[0] = 0;
    for (uint64_t i = 1; i < quarter; ++i) {
        reversed = NextReversed(reversed, k - 2);
        table[i] = static_cast<int32_t>(2 * reversed);
    }
    table[quarter] = 0;
    return table;
}

namespace {

template <typename T>
void SwapComplex(T* data, uint64_t a, uint64_t b) {
    T first[2], second[2];
    std::memcpy(first, data + 2 * a, sizeof first);
    std::memcpy(second, data + 2 * b, sizeof second);
    std::memcpy(data + 2 * a, second, sizeof second);
    std::memcpy(data + 2 * b, first, sizeof first);
}

template <typename T>
void BitRevInPlace(T* data, uint32_t count, const int32_t* table) {
    if (count < 4) return;
    const uint64_t half = count / 2;
    const int32_t* entry = table;
    for (; *entry != 0; entry += 2) {
        uint64_t p = static_cast<uint64_t>(entry[0]) / 2;  // 4i counts scalars; element 2i
        uint64_t q = static_cast<uint64_t>(entry[1]) / 2;
        SwapComplex(data, p, q);
        SwapComplex(data, p + 1, half + q);
        SwapComplex(data, half + p, q + 1);
        SwapComplex(data, half + p + 1, half + q + 1);
    }
    // The 0 that ends the pairs stands for the fixed point 0.
    for (;;) {
        uint64_t p = static_cast<uint64_t>(*entry) / 2;
        SwapComplex(data, p + 1, half + p);
        ++entry;
        if (*entry == 0) break;
    }
}

}  // namespace

void FftBitRevInPlaceC32(float* data, uint32_t count, const int32_t* table) { BitRevInPlace(data, count, table); }
void FftBitRevInPlaceC64(double* data, uint32_t count, const int32_t* table) { BitRevInPlace(data, count, table); }

template <typename T>
T* FftMakeTwiddleX87(int p, const T* sine, int t) {
    const uint64_t records = Pow2(p) / 4 + 1;
    T* table = FftAllocArray<T>(records * 6);
    if (!table) return nullptr;
    const FftRootReader<T> roots(sine, t, false);
    const int stride = t - p;
    T* out = table;
    for (uint64_t i = 0; i < records; ++i) {
        for (uint64_t k = 1; k <= 3; ++k) {
            uint64_t a = (k * i) << stride;
            *out++ = roots.Cos(a);
            *out++ = roots.NegSin(a);
        }
    }
    return table;
}

template <typename T>
T* FftMakeTwiddleSse2(int p, const T* sine, int t) {
    const uint64_t size = Pow2(p);
    if (size < 9) return FftAllocArray<T>(2);  // one complex element, not filled
    T* table = FftAllocArray<T>(2 * size);
    if (!table) return nullptr;
    const FftRootReader<T> roots(sine, t, true);
    constexpr uint64_t width = GroupWidth<T>;
    T* out = table;
    for (int s = 4 + (p % 2); s <= p; s += 2) {
        const int stride = t - s;
        for (uint64_t i = 0; i < Pow2(s) / 4; i += width) {
            for (uint64_t k = 1; k <= 3; ++k) {
                for (uint64_t c = 0; c < width; ++c) *out++ = roots.Cos((k * (i + c)) << stride);
                for (uint64_t c = 0; c < width; ++c) *out++ = roots.NegSin((k * (i + c)) << stride);
            }
        }
    }
    return table;
}

template <typename T>
T* FftMakeQuarterRoots(int p, const T* sine, int t) {
    const uint64_t count = Pow2(p) / 4;
    T* table = FftAllocArray<T>(2 * (count > 0 ? count : 1));
    if (!table) return nullptr;
    const FftRootReader<T> roots(sine, t, false);
    for (uint64_t i = 0; i < count; ++i) {
        table[2 * i] = roots.Cos(i << (t - p));
        table[2 * i + 1] = roots.NegSin(i << (t - p));
    }
    return table;
}

template <typename T>
T* FftMakeRealTablesX87(int n, const T* sine) {
    const uint64_t quarter = Pow2(n) / 4;
    T* table = FftAllocArray<T>(2 * (quarter > 0 ? quarter : 1));
    if (!table) return nullptr;
    for (uint64_t k = 0; k < quarter; ++k) {
        table[2 * k] = T(0.5) * sine[quarter - k];
        table[2 * k + 1] = T(0.5) - T(0.5) * sine[k];
    }
    return table;
}

template <typename T>
T* FftMakeRealRootsX87(int n, const T* sine) {
    const uint64_t quarter = Pow2(n) / 4;
    T* table = FftAllocArray<T>(2 * (quarter > 0 ? quarter : 1));
    if (!table) return nullptr;
    for (uint64_t k = 0; k < quarter; ++k) {
        table[2 * k] = sine[quarter - k];
        table[2 * k + 1] = -sine[k];
    }
    return table;
}

namespace {

// k = 1..T/4 grouped by register width: first coefficients of the group, then second.
template <typename T, typename First, typename Second>
T* MakePairedRealTable(int n, First first, Second second) {
    const uint64_t quarter = Pow2(n) / 4;
    constexpr uint64_t width = GroupWidth<T>;
    const uint64_t padded = (quarter + width - 1) / width * width;
    T* table = FftAllocArray<T>(2 * (padded > 0 ? padded : width));
    if (!table) return nullptr;
    T* out = table;
    for (uint64_t k = 1; k <= padded; k += width) {
        for (uint64_t c = 0; c < width; ++c) *out++ = k + c <= quarter ? first(k + c) : T(0);
        for (uint64_t c = 0; c < width; ++c) *out++ = k + c <= quarter ? second(k + c) : T(0);
    }
    return table;
}

}  // namespace

template <typename T>
T* FftMakeRealTablesSse2(int n, const T* sine) {
    const uint64_t quarter = Pow2(n) / 4;
    return MakePairedRealTable<T>(
        n, [&](uint64_t k) { return T(0.5) * sine[quarter - k]; },
        [&](uint64_t k) { return T(0.5) - T(0.5) * sine[k]; });
}

template <typename T>
T* FftMakeRealRootsSse2(int n, const T* sine) {
    const uint64_t quarter = Pow2(n) / 4;
    return MakePairedRealTable<T>(
        n, [&](uint64_t k) { return sine[quarter - k]; }, [&](uint64_t k) { return T(0) - sine[k]; });
}

template <typename T>
void FftFillSplitMatrixX87(T* matrix, int p, int d, const T* sine, int t, T* rows, const int32_t* bitRev) {
    const FftRootReader<T> roots(sine, t, false);
    const uint64_t rowCount = Pow2(p - d);
    const uint64_t rowLength = Pow2(d);
    const int stride = t - p;
    T* out = matrix;
    for (uint64_t rho0 = 0; rho0 < rowCount; rho0 += 4) {
        for (uint64_t c = 0; c < 4; ++c) {
            T* row = rows + 2 * c * rowLength;
            for (uint64_t j = 0; j < rowLength; ++j) {
                uint64_t a = (j * (rho0 + c)) << stride;
                row[2 * j] = roots.Cos(a);
                row[2 * j + 1] = roots.NegSin(a);
            }
            BitRevInPlace(row, static_cast<uint32_t>(rowLength), bitRev);
        }
        for (uint64_t j = 0; j < rowLength; ++j) {
            for (uint64_t c = 0; c < 4; ++c) {
                *out++ = rows[2 * (c * rowLength + j)];
                *out++ = rows[2 * (c * rowLength + j) + 1];
            }
        }
    }
}

template <typename T>
void FftFillSplitMatrixSse2(T* matrix, int p, int d, int b, const T* sine, int t) {
    const FftRootReader<T> roots(sine, t, true);
    constexpr uint64_t width = GroupWidth<T>;
    const int r = p - d;
    const uint64_t rowLength = Pow2(r);
    const uint64_t blockColumns = Pow2(b - d);
    T* out = matrix;
    auto emit = [&](uint64_t column, uint64_t k, int stride) {
        for (uint64_t c = 0; c < width; ++c) *out++ = roots.Cos((k * (column + c)) << stride);
        for (uint64_t c = 0; c < width; ++c) *out++ = roots.NegSin((k * (column + c)) << stride);
    };
    for (uint64_t c0 = 0; c0 < rowLength; c0 += blockColumns) {
        uint64_t subColumns = 1;
        for (int s = r + 2; s <= p; s += 2, subColumns *= 4) {
            for (uint64_t q = 0; q < subColumns; ++q)
                for (uint64_t g = 0; g < blockColumns; g += width)
                    for (uint64_t k = 1; k <= 3; ++k) emit(c0 + q * rowLength + g, k, t - s);
        }
        if (d % 2 != 0) {
            for (uint64_t q = 0; q < subColumns; ++q)
                for (uint64_t g = 0; g < blockColumns; g += width) emit(c0 + q * rowLength + g, 1, t - p);
        }
    }
}

#define PRIM_FFT_TABLES(T)                                                                   \
    template T* FftMakeSineTable<T>(int);                                                    \
    template T* FftMakeTwiddleX87<T>(int, const T*, int);                                    \
    template T* FftMakeTwiddleSse2<T>(int, const T*, int);                                   \
    template T* FftMakeQuarterRoots<T>(int, const T*, int);                                  \
    template T* FftMakeRealTablesX87<T>(int, const T*);                                      \
    template T* FftMakeRealRootsX87<T>(int, const T*);                                       \
    template T* FftMakeRealTablesSse2<T>(int, const T*);                                     \
    template T* FftMakeRealRootsSse2<T>(int, const T*);                                      \
    template void FftFillSplitMatrixX87<T>(T*, int, int, const T*, int, T*, const int32_t*); \
    template void FftFillSplitMatrixSse2<T>(T*, int, int, int, const T*, int);
PRIM_FFT_TABLES(double)
PRIM_FFT_TABLES(float)
#undef PRIM_FFT_TABLES

}  // namespace Prim
