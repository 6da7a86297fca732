#include "fft_reference.h"

#include <cmath>
#include <numbers>
#include <random>

namespace FftTest {

DftReference::DftReference(const std::vector<double>& signal)
    : signal_(signal), cos_(signal.size()), sin_(signal.size()) {
    const long double n = static_cast<long double>(signal.size());
    for (size_t j = 0; j < signal.size(); ++j) {
        const long double angle = 2.0L * std::numbers::pi_v<long double> * static_cast<long double>(j) / n;
        cos_[j] = std::cos(angle);
        sin_[j] = std::sin(angle);
    }
}

Cplx DftReference::Bin(uint64_t k) const {
    const uint64_t n = signal_.size();
    long double re = 0.0L, im = 0.0L;
    uint64_t index = 0;
    const uint64_t step = k % n;
    for (uint64_t j = 0; j < n; ++j) {
        re += signal_[j] * cos_[index];
        im -= signal_[j] * sin_[index];
        index += step;
        if (index >= n) index -= n;
    }
    return {re, im};
}

std::vector<Cplx> DftReference::Bins(uint64_t count) const {
    std::vector<Cplx> bins(count);
    for (uint64_t k = 0; k < count; ++k) bins[k] = Bin(k);
    return bins;
}

Cplx ComplexDftBin(const std::vector<double>& re, const std::vector<double>& im, uint64_t k, int sign) {
    const uint64_t n = re.size();
    uint64_t low = 1;
    while (low * low < n) low *= 2;
    const uint64_t high = n / low;
    auto root = [&](uint64_t t) {
        const long double angle = sign * 2.0L * std::numbers::pi_v<long double> * ((k % n) * t % n) / n;
        return Cplx(std::cos(angle), std::sin(angle));
    };
    std::vector<Cplx> fine(low), coarse(high);
    for (uint64_t t = 0; t < low; ++t) fine[t] = root(t);
    for (uint64_t t = 0; t < high; ++t) coarse[t] = root(t * low);
    Cplx sum = 0.0L;
    for (uint64_t t = 0; t < n; ++t) sum += Cplx(re[t], im[t]) * coarse[t / low] * fine[t % low];
    return sum;
}

std::vector<double> RandomSignal(uint64_t n, uint32_t seed) {
    std::mt19937 generator(seed);
    std::uniform_real_distribution<double> distribution(-1.0, 1.0);
    std::vector<double> signal(n);
    for (double& value : signal) value = distribution(generator);
    return signal;
}

}  // namespace FftTest
