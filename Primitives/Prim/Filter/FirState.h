#pragma once
// FIR filter states: one aligned block per state holding the taps, the delay line, the
// FFT-mode data (long single-rate filters) or the polyphase tables (multirate filters)
// and an in-place scratch buffer. Callers see the delay line newest sample first; the
// area holds it oldest first.

#include <Primitives/Prim/Fft/FftSpec.h>
#include <Primitives/Prim/Operations.h>

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

inline constexpr int32_t FirInPlaceChunk = 4096;

// The operations on these states, FirInitAllocF32 to FirInPlaceF64, are
// listed in Operations.inc.

}  // namespace Prim
