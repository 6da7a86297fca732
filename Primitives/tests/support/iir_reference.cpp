#include "iir_builds.h"

#include <cstddef>

namespace IirTest {

Reference DirectReference(const std::vector<long double>& taps, const std::vector<long double>& x) {
    const std::size_t order = taps.size() / 2 - 1;
    const long double a0 = taps[order + 1];
    const auto b = [&](std::size_t k) { return taps[k] / a0; };
    const auto a = [&](std::size_t k) { return taps[order + 1 + k] / a0; };
    const std::size_t n = x.size();
    Reference r{std::vector<long double>(n), std::vector<long double>(order)};
    for (std::size_t i = 0; i < n; ++i) {
        long double acc = 0;
        for (std::size_t k = 0; k <= order && k <= i; ++k) acc += b(k) * x[i - k] - (k > 0 ? a(k) * r.y[i - k] : 0);
        r.y[i] = acc;
    }
    // d_j = the sum over m > j of b'm x[n+j-m] - a'm y[n+j-m], the terms past the start 0.
    for (std::size_t j = 0; j < order; ++j) {
        for (std::size_t m = j + 1; m <= order; ++m) {
            if (n + j >= m) r.dly[j] += b(m) * x[n + j - m] - a(m) * r.y[n + j - m];
        }
    }
    return r;
}

Reference CascadeReference(const std::vector<long double>& taps, const std::vector<long double>& x) {
    Reference all{x, {}};
    for (std::size_t s = 0; s < taps.size() / 6; ++s) {
        const Reference section =
            DirectReference(std::vector<long double>(taps.begin() + 6 * s, taps.begin() + 6 * s + 6), all.y);
        all.y = section.y;
        all.dly.insert(all.dly.end(), section.dly.begin(), section.dly.end());
    }
    return all;
}

}  // namespace IirTest
