#pragma once
// FIR filter states: one aligned block per state holding the taps, the delay line, the
// FFT-mode data (long single-rate filters) or the polyphase tables (multirate filters)
// and an in-place scratch buffer. Callers see the delay line newest sample first; the
// area holds it oldest first.

#include <Primitives/Prim/Fft/FftSpec.h>
#include <Primitives/Prim/Status.h>

#include <cstdint>

namespace Prim {

// Tags: four characters read from the most significant byte down.
inline constexpr uint32_t FirTagSingleF32 = 0x46493031;  // "FI01"
inline constexpr uint32_t FirTagMultiF32 = 0x46493033;  // "FI03"
inline constexpr uint32_t FirTagSingleF64 = 0x46493133;  // "FI13"
inline constexpr uint32_t FirTagMultiF64 = 0x46493135;  // "FI15"

// Multirate tap layouts: 1 padded quadruples; 2 (one up phase) and 3 gathered taps per output.
enum FirMrKind : int32_t { FirMrPadded = 1, FirMrGatheredSingle = 2, FirMrGathered = 3 };

template <class T>
struct FirState {
    uint32_t tag;
    T* tapsRev;  // taps reversed, so that taps and samples are walked forward together
    T* dlyLine;
    int32_t tapsLen;
    int32_t upFactor;
    int32_t blockLimit;  // most input samples appended behind the window in one pass
    int32_t downFactor;
    int32_t firstPassOutputs;
    FftSpecReal<T>* fftSpec;
    T* tapsSpectrum;
    int32_t fftLen;  // -1 without FFT mode
    int32_t dlyPos;
    int32_t* phaseTable;
    T* tapsLanes;  // single-rate SSE2: each tap once per vector lane; multirate: phase taps
    int32_t tapsPerPhase;
    int32_t mrKind;
    int32_t dlyLen;
    T* fftBlock;
    uint8_t* fftWork;
    int32_t fftWorkSize;
    T* inPlaceBuf;
    int32_t ownsBlock;
    int32_t upPhase;
    int32_t downPhase;
};

using FirStateF32 = FirState<float>;
using FirStateF64 = FirState<double>;

inline constexpr int32_t FirInPlaceChunk = 4096;

#define PRIM_FIR_BUILDS(suffix)                                                                                        \
    Status FirInitAllocF32##suffix(FirStateF32** state, const float* taps, int32_t tapsLen, const float* dlyLine);     \
    Status FirInitAllocF64##suffix(FirStateF64** state, const double* taps, int32_t tapsLen, const double* dlyLine);   \
    Status FirMultirateInitAllocF32##suffix(FirStateF32** state, const float* taps, int32_t tapsLen, int32_t upFactor, \
        int32_t upPhase, int32_t downFactor, int32_t downPhase, const float* dlyLine);                                 \
    Status FirMultirateInitAllocF64##suffix(FirStateF64** state, const double* taps, int32_t tapsLen,                  \
        int32_t upFactor, int32_t upPhase, int32_t downFactor, int32_t downPhase, const double* dlyLine);              \
    Status FirGetDelayLineF32##suffix(const FirStateF32* state, float* dst);                                           \
    Status FirGetDelayLineF64##suffix(const FirStateF64* state, double* dst);                                          \
    Status FirSetDelayLineF32##suffix(FirStateF32* state, const float* src);                                           \
    Status FirSetDelayLineF64##suffix(FirStateF64* state, const double* src);                                          \
    Status FirFreeF32##suffix(FirStateF32* state);                                                                     \
    Status FirFreeF64##suffix(FirStateF64* state);                                                                     \
    Status FirOneF32##suffix(float src, float* dst, FirStateF32* state);                                               \
    Status FirOneF64##suffix(double src, double* dst, FirStateF64* state);                                             \
    Status FirF32##suffix(const float* src, float* dst, int32_t numIters, FirStateF32* state);                         \
    Status FirInPlaceF32##suffix(float* srcDst, int32_t numIters, FirStateF32* state);                                 \
    Status FirF64##suffix(const double* src, double* dst, int32_t numIters, FirStateF64* state);                       \
    Status FirInPlaceF64##suffix(double* srcDst, int32_t numIters, FirStateF64* state);

PRIM_FIR_BUILDS(_x87)
PRIM_FIR_BUILDS(_sse2)
#undef PRIM_FIR_BUILDS

}  // namespace Prim
