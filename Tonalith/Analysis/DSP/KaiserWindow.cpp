#include <Tonalith/Analysis/DSP/KaiserWindow.h>

#include <cmath>
#include <vector>

namespace DSP {
namespace {

template <class T>
void ApplyKaiser(T* data, std::int64_t length, double beta, KaiserNormalisation mode) {
    if (data == nullptr || length < 1) return;
    const double c = double(length - 1) / 2.0;
    const double denominator = BesselI0Series(beta);
    double sum = 0.0;
    double sumSquares = 0.0;
    for (std::int64_t i = 0; i < (length + 1) / 2; ++i) {
        // A length of 1 has c = 0: its one factor is the window's centre value, 1.
        const double t = c > 0.0 ? (double(i) - c) / c : 0.0;
        const double w = BesselI0Series(beta * std::sqrt(std::fmax(0.0, 1.0 - t * t))) / denominator;
        data[i] = static_cast<T>(data[i] * w);
        sum += w;
        sumSquares += w * w;
        if (i < length / 2) {
            data[length - 1 - i] = static_cast<T>(data[length - 1 - i] * w);
            sum += w;
            sumSquares += w * w;
        }
    }
    double divisor = 1.0;
    if (mode == KaiserNormalisation::RootMeanSquare)
        divisor = std::sqrt(sumSquares / double(length));
    else if (mode == KaiserNormalisation::Mean)
        divisor = sum / double(length);
    else
        return;
    if (divisor > 0.0) {
        for (std::int64_t i = 0; i < length; ++i) data[i] = static_cast<T>(data[i] / divisor);
    }
}

// I0 by the rational approximations of Abramowitz and Stegun 9.8.1 and 9.8.2.
double BesselI0Rational(double x) {
    const double ax = std::fabs(x);
    if (ax < 3.75) {
        const double y = (x / 3.75) * (x / 3.75);
        return 1.0 +
            y * (3.5156229 + y * (3.0899424 + y * (1.2067492 + y * (0.2659732 + y * (0.0360768 + y * 0.0045813)))));
    }
    const double y = 3.75 / ax;
    return (std::exp(ax) / std::sqrt(ax)) *
        (0.39894228 +
            y *
                (0.01328592 +
                    y *
                        (0.00225319 +
                            y *
                                (-0.00157565 +
                                    y *
                                        (0.00916281 +
                                            y *
                                                (-0.02057706 +
                                                    y * (0.02635537 + y * (-0.01647633 + y * 0.00392377))))))));
}

}  // namespace

double BesselI0Series(double x) {
    double term = 1.0;
    double sum = 1.0;
    for (int k = 1; k <= 49; ++k) {
        term *= (x / 2.0) / double(k);
        const double square = term * term;
        sum += square;
        if (square < 1e-10 * sum) break;
    }
    return sum;
}

void ApplyKaiserWindow(double* data, std::int64_t length, double beta, KaiserNormalisation mode) {
    ApplyKaiser(data, length, beta, mode);
}

void ApplyKaiserWindow(float* data, std::int64_t length, double beta, KaiserNormalisation mode) {
    ApplyKaiser(data, length, beta, mode);
}

void KaiserBesselDerivedWindow(float* out, std::int64_t length, double alpha) {
    if (out == nullptr || length < 2) return;
    const std::int64_t half = length / 2;
    std::vector<double> kernel(static_cast<std::size_t>(half) + 1);
    double total = 0.0;
    for (std::int64_t n = 0; n <= half; ++n) {
        const double t = 4.0 * double(n) / double(length) - 1.0;
        kernel[std::size_t(n)] = BesselI0Rational(M_PI * alpha * std::sqrt(std::fmax(0.0, 1.0 - t * t)));
        total += kernel[std::size_t(n)];
    }
    double cumulative = 0.0;
    for (std::int64_t n = 0; n < half; ++n) {
        cumulative += kernel[std::size_t(n)];
        const float w = static_cast<float>(std::sqrt(cumulative / total));
        out[n] = w;
        out[length - 1 - n] = w;
    }
    if (length % 2 == 1) out[half] = 1.0f;
}

}  // namespace DSP
