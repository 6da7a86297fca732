#pragma once
// Builders of the FFT tables. Every table is copied from one sine table of order t
// (T = 2^t, values sin(2 pi j / T) for j = 0..T/4); a table of order p reads it with a
// stride of 2^(t - p). A root w_L^x is stored as (cos(2 pi x / L), -sin(2 pi x / L)).
// Builders return null when their allocation fails.

#include <cstdint>

namespace Prim {

template <typename T>
T* FftMakeSineTable(int t);
inline double* FftMakeSineTableF64_x87(int t) { return FftMakeSineTable<double>(t); }
inline double* FftMakeSineTableF64_sse2(int t) { return FftMakeSineTable<double>(t); }
inline float* FftMakeSineTableF32_x87(int t) { return FftMakeSineTable<float>(t); }
inline float* FftMakeSineTableF32_sse2(int t) { return FftMakeSineTable<float>(t); }

// Bit-reversal tables of order k (K = 2^k elements, M = K/4 words plus one).
int32_t* FftMakeBitRevTable(int k);  // pair list, 0, fixed points, 0
int32_t* FftBitRevTable(int k);  // 0, 2*rev(i) for i = 1..M-1, 0

// In-place bit reversal of K complex values with the pair-list table of order log2 K.
void FftBitRevInPlaceC32(float* data, uint32_t count, const int32_t* table);
void FftBitRevInPlaceC64(double* data, uint32_t count, const int32_t* table);

// Radix-4 twiddles of order p: records (w^i, w^2i, w^3i), i = 0..L/4.
template <typename T>
T* FftMakeTwiddleX87(int p, const T* sine, int t);
// Sections per radix-4 stage, two (doubles) or four (floats) records grouped by component.
template <typename T>
T* FftMakeTwiddleSse2(int p, const T* sine, int t);
// w_L^i for i = 0..L/4 - 1.
template <typename T>
T* FftMakeQuarterRoots(int p, const T* sine, int t);

// Real post-processing pairs (cos/2, (1 - sin)/2) and half-spectrum roots (cos, -sin) of
// the full order n; the sine table is of order n.
template <typename T>
T* FftMakeRealTablesX87(int n, const T* sine);
template <typename T>
T* FftMakeRealRootsX87(int n, const T* sine);
template <typename T>
T* FftMakeRealTablesSse2(int n, const T* sine);
template <typename T>
T* FftMakeRealRootsSse2(int n, const T* sine);

// Split twiddle matrices of one recursion level (order p, split order d).
// x87: rows rho = 0..2^r-1 of w_L^(rev_d(j) * rho), four rows interleaved at a time.
// The row block and bit-reversal table are the caller's temporaries.
template <typename T>
void FftFillSplitMatrixX87(T* matrix, int p, int d, const T* sine, int t, T* rows, const int32_t* bitRev);
// SSE2: column blocks of 2^(b-d) columns, stage by stage, paired by component.
template <typename T>
void FftFillSplitMatrixSse2(T* matrix, int p, int d, int b, const T* sine, int t);

inline double* FftMakeTwiddleF64_x87(int p, const double* s, int t) { return FftMakeTwiddleX87(p, s, t); }
inline float* FftMakeTwiddleF32_x87(int p, const float* s, int t) { return FftMakeTwiddleX87(p, s, t); }
inline double* FftMakeTwiddleF64_sse2(int p, const double* s, int t) { return FftMakeTwiddleSse2(p, s, t); }
inline float* FftMakeTwiddleF32_sse2(int p, const float* s, int t) { return FftMakeTwiddleSse2(p, s, t); }
inline double* FftMakeQuarterRootsF64_x87(int p, const double* s, int t) { return FftMakeQuarterRoots(p, s, t); }
inline double* FftMakeQuarterRootsF64_sse2(int p, const double* s, int t) { return FftMakeQuarterRoots(p, s, t); }
inline float* FftMakeQuarterRootsF32_x87(int p, const float* s, int t) { return FftMakeQuarterRoots(p, s, t); }
inline float* FftMakeQuarterRootsF32_sse2(int p, const float* s, int t) { return FftMakeQuarterRoots(p, s, t); }
inline double* FftMakeRealTablesF64_x87(int n, const double* s) { return FftMakeRealTablesX87(n, s); }
inline double* FftMakeRealRootsF64_x87(int n, const double* s) { return FftMakeRealRootsX87(n, s); }
inline double* FftMakeRealTablesF64_sse2(int n, const double* s) { return FftMakeRealTablesSse2(n, s); }
inline double* FftMakeRealRootsF64_sse2(int n, const double* s) { return FftMakeRealRootsSse2(n, s); }
inline float* FftMakeRealTablesF32_x87(int n, const float* s) { return FftMakeRealTablesX87(n, s); }
inline float* FftMakeRealRootsF32_x87(int n, const float* s) { return FftMakeRealRootsX87(n, s); }
inline float* FftMakeRealTablesF32_sse2(int n, const float* s) { return FftMakeRealTablesSse2(n, s); }
inline float* FftMakeRealRootsF32_sse2(int n, const float* s) { return FftMakeRealRootsSse2(n, s); }

}  // namespace Prim
