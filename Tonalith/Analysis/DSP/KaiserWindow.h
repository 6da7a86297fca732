#pragma once
#include <cstdint>

namespace DSP {

// Modified Bessel function of order 0 by its power series: stops at the first term whose
// square is below 1e-10 of the sum (that term included) or after 49 terms.
double BesselI0Series(double x);

// What a Kaiser window is divided by after it is applied.
enum class KaiserNormalisation : int {
    RootMeanSquare = 0,  // sqrt(sum of w^2 / L)
    Mean = 1,  // sum of w / L
    None = 2,
};

// Multiplies data[0..length) by the Kaiser window of that length and beta; element i and
// its mirror L - 1 - i share one factor, the middle of an odd length is multiplied once.
void ApplyKaiserWindow(double* data, std::int64_t length, double beta, KaiserNormalisation mode);
void ApplyKaiserWindow(float* data, std::int64_t length, double beta, KaiserNormalisation mode);

// Kaiser-Bessel-derived window of length L (even) with parameter alpha, I0 by a rational
// approximation.
void KaiserBesselDerivedWindow(float* out, std::int64_t length, double alpha);

}  // namespace DSP
