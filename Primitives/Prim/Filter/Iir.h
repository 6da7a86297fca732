#pragma once
#include <Primitives/Prim/Status.h>

#include <cstdint>

// Recursive filters: one direct form of order N, or a cascade of S second-order sections, with
// coefficients normalised by a0 and a transposed direct form II delay line, in one tagged block.
// A record made by one build is read only by that build's operations: the SSE2 build keeps
// tables and a work buffer that the x87 build neither sets nor reads.
namespace Prim {

inline constexpr std::uint32_t IirTagDirectF32 = 0x49493031;  // "II01"
inline constexpr std::uint32_t IirTagCascadeF32 = 0x49493032;  // "II02"
inline constexpr std::uint32_t IirTagDirectF64 = 0x49493133;  // "II13"
inline constexpr std::uint32_t IirTagCascadeF64 = 0x49493134;  // "II14"

template <class T>
struct IirState {
    std::uint32_t tag;
    T* taps;  // b'0..b'N, a'1..a'N; or b'0, b'1, b'2, a'1, a'2 per section
    T* dlyLine;  // N + 1 values (the last always 0), or 2 per section
    std::int32_t dlyLen;  // N, or 2S: the values the caller exchanges
    T* tapTable;  // SSE2: lanes of the feed-forward taps
    T* blockTable;  // SSE2: weights of four outputs at a time
    std::int32_t sectionCount;  // S, or 0 for the direct form
    T* sampleTable;  // SSE2 cascades: one-sample coefficients
    T* workBuffer;  // SSE2: IirWorkLength feed-forward values
    void* workBuffer2;  // unused
    std::uint32_t ownsBlock;
};

using IirStateF32 = IirState<float>;
using IirStateF64 = IirState<double>;

inline constexpr std::int32_t IirWorkLength = 1024;

// Set-up. Checks: null taps or out -8; order below 0, or section count below 1, -25; a block
// larger than 2^31 - 1 bytes or an allocation failure -9 (out not written). Then the taps are
// normalised: an a0 (or a cascade's b0) that is 0 or NaN gives -10 with the record still
// handed back, its taps zero, to be freed. Null delay values start the delay line at zero.
// Taps: direct form b0..bN, a0..aN; cascade six per section b0, b1, b2, a0, a1, a2.
// Set taps (doubles only): null -8, wrong tag -17, then 0 or -10; on -10 nothing changes.
// Delay line get/set: null state (or get's destination) -8, wrong tag -17; a null source to
// set clears the line. Free: null -8, wrong tag -17.
#define PRIM_IIR_SETUP_BUILDS(suffix)                                                                               \
    Status IirInitAllocF32##suffix(IirStateF32** state, const float* taps, std::int32_t order, const float* dly);   \
    Status IirInitAllocF64##suffix(IirStateF64** state, const double* taps, std::int32_t order, const double* dly); \
    Status IirInitAllocBiquadF32##suffix(                                                                           \
        IirStateF32** state, const float* taps, std::int32_t sections, const float* dly);                           \
    Status IirInitAllocBiquadF64##suffix(                                                                           \
        IirStateF64** state, const double* taps, std::int32_t sections, const double* dly);                         \
    Status IirSetTapsF64##suffix(const double* taps, IirStateF64* state);                                           \
    Status IirGetDelayLineF32##suffix(const IirStateF32* state, float* dly);                                        \
    Status IirGetDelayLineF64##suffix(const IirStateF64* state, double* dly);                                       \
    Status IirSetDelayLineF32##suffix(IirStateF32* state, const float* dly);                                        \
    Status IirSetDelayLineF64##suffix(IirStateF64* state, const double* dly);                                       \
    Status IirFreeF32##suffix(IirStateF32* state);                                                                  \
    Status IirFreeF64##suffix(IirStateF64* state);

// Filtering. One sample: null state or output -8. Vector: null state, source or destination
// -8, len below 1 -6. In place: null state or samples -8, len below 1 -6. Then a record of
// another kind -17. Every call continues from the delay line the last one left.
#define PRIM_IIR_FILTER_BUILDS(suffix)                                                           \
    Status IirOneF32##suffix(float src, float* dst, IirStateF32* state);                         \
    Status IirOneF64##suffix(double src, double* dst, IirStateF64* state);                       \
    Status IirF32##suffix(const float* src, float* dst, std::int32_t len, IirStateF32* state);   \
    Status IirF64##suffix(const double* src, double* dst, std::int32_t len, IirStateF64* state); \
    Status IirInPlaceF32##suffix(float* srcDst, std::int32_t len, IirStateF32* state);           \
    Status IirInPlaceF64##suffix(double* srcDst, std::int32_t len, IirStateF64* state);

PRIM_IIR_SETUP_BUILDS(_x87)
PRIM_IIR_SETUP_BUILDS(_sse2)
PRIM_IIR_FILTER_BUILDS(_x87)
PRIM_IIR_FILTER_BUILDS(_sse2)
#undef PRIM_IIR_SETUP_BUILDS
#undef PRIM_IIR_FILTER_BUILDS

}  // namespace Prim
