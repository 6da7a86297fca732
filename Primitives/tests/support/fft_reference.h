#pragma once
// Plain discrete Fourier transform in long double: the independent reference for the FFT tests.

#include <complex>
#include <cstdint>
#include <memory>
#include <vector>

namespace FftTest {

using Cplx = std::complex<long double>;

// A record owned until the release function `Free` takes it.
template <class T, auto Free>
struct FreeWith {
    void operator()(T* record) const { Free(record); }
};
template <class T, auto Free>
using Owned = std::unique_ptr<T, FreeWith<T, Free>>;

class DftReference {
public:
    explicit DftReference(const std::vector<double>& signal);

    // X_k = sum x_n e^(-2 pi i k n / N).
    Cplx Bin(uint64_t k) const;
    std::vector<Cplx> Bins(uint64_t count) const;

private:
    std::vector<double> signal_;
    std::vector<long double> cos_;
    std::vector<long double> sin_;
};

// Bin k of the complex DFT of re + i im with e^(sign 2 pi i k t / N), each root taken from
// two short tables of directly computed roots, so the memory stays small at large N.
Cplx ComplexDftBin(const std::vector<double>& re, const std::vector<double>& im, uint64_t k, int sign);

// Reproducible pseudo-random values in [-1, 1).
std::vector<double> RandomSignal(uint64_t n, uint32_t seed);

// Size of the half-spectrum output (2 doubles for N = 1).
inline uint64_t HalfSpectrumSize(int order) { return order == 0 ? 2 : (uint64_t{1} << order) + 2; }

}  // namespace FftTest
