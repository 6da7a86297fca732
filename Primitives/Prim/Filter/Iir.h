#pragma once
#include <Primitives/Prim/Operations.h>

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

inline constexpr std::int32_t IirWorkLength = 1024;

// The operations are listed in Operations.inc.
// Set-up (IirInitAlloc*, IirSetTapsF64, Iir*DelayLine*, IirFree*). Checks: null taps or out -8;
// order below 0, or section count below 1, -25; a block larger than 2^31 - 1 bytes or an
// allocation failure -9 (out not written). Then the taps are normalised: an a0 (or a cascade's
// b0) that is 0 or NaN gives -10 with the record still handed back, its taps zero, to be freed.
// Null delay values start the delay line at zero.
// Taps: direct form b0..bN, a0..aN; cascade six per section b0, b1, b2, a0, a1, a2.
// Set taps (doubles only): null -8, wrong tag -17, then 0 or -10; on -10 nothing changes.
// Delay line get/set: null state (or get's destination) -8, wrong tag -17; a null source to
// set clears the line. Free: null -8, wrong tag -17.
//
// Filtering (IirOne*, IirF32, IirF64, IirInPlace*). One sample: null state or output -8.
// Vector: null state, source or destination -8, len below 1 -6. In place: null state or
// samples -8, len below 1 -6. Then a record of another kind -17. Every call continues from
// the delay line the last one left.

}  // namespace Prim
