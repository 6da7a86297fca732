#pragma once
// Buffers at chosen alignments, bit-level comparison and distances in units in
// the last place, shared by the element-wise primitives' tests.

#include <Primitives/Prim/Operations.h>

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace PrimTest {

// One build's operations, each a member named as the operation, for the suites
// parameterised over the two builds.
struct TestBuild : Prim::BuildOps {
    const char* name;
    bool sse2;
};
inline const TestBuild TestBuilds[] = {{Prim::X87Ops, "x87", false}, {Prim::Sse2Ops, "sse2", true}};
inline std::ostream& operator<<(std::ostream& os, const TestBuild& b) { return os << b.name; }

struct BuildName {
    template <class P>
    std::string operator()(const testing::TestParamInfo<P>& info) const {
        return info.param.name;
    }
};

// `count` elements starting `offset` bytes past a 64-byte boundary, followed by slack.
template <class T>
class Placed {
public:
    Placed(std::size_t count, std::size_t offset) : storage_(count * sizeof(T) + 128) {
        const auto base = (reinterpret_cast<std::uintptr_t>(storage_.data()) + 63) & ~std::uintptr_t{63};
        data_ = reinterpret_cast<T*>(base + offset);
    }
    Placed(const std::vector<T>& values, std::size_t offset) : Placed(values.size(), offset) {
        for (std::size_t i = 0; i < values.size(); ++i) data_[i] = values[i];
    }
    T* data() { return data_; }
    T& operator[](std::size_t i) { return data_[i]; }
    std::vector<T> Values(std::size_t count) const { return std::vector<T>(data_, data_ + count); }

private:
    std::vector<unsigned char> storage_;
    T* data_;
};

inline std::uint32_t Bits(float x) { return std::bit_cast<std::uint32_t>(x); }
inline std::uint64_t Bits(double x) { return std::bit_cast<std::uint64_t>(x); }

template <class T>
bool SameBits(T a, T b) {
    return Bits(a) == Bits(b);
}

// Steps between two finite values of one type on the ordered line of floats;
// equal values (and two NaNs) are 0 apart, a NaN and a number infinitely far.
template <class T>
double Ulps(T a, T b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b) ? 0 : INFINITY;
    if (a == b) return 0;
    if (std::isinf(a) || std::isinf(b)) return INFINITY;
    using I = std::conditional_t<sizeof(T) == 4, std::int64_t, __int128>;
    const auto ordered = [](T x) -> I {
        const auto bits = Bits(x);
        const I magnitude = static_cast<I>(bits & ~(decltype(bits){1} << (8 * sizeof(T) - 1)));
        return std::signbit(x) ? -magnitude : magnitude;
    };
    const I d = ordered(a) - ordered(b);
    return static_cast<double>(d < 0 ? -d : d);
}

// The SSE2 builds refine the processor's reciprocal and reciprocal-square-root estimates.
// Processors of different makers return different estimates, any within a relative error
// of 1.5 * 2^-12. Over every such estimate, each step lands within these units in the last
// place of the correctly rounded result (tried for every float significand; for the quotient,
// for 2 * 10^7 pairs), and estimates_test reaches each, so none is closer. Results built on
// them are held to these bounds, never to one processor's bits.
namespace RefinedUlps {
// One Newton step: y (2 - a y), and ((3 - y m) / 2) m with m = p y, and y (3 - q y y) / 2.
inline constexpr double Reciprocal = 4, SquareRoot = 5, ReciprocalSquareRoot = 6;
// q + (q e + q) e with q = n r and e = 1 - d r, from the reciprocal estimate r of d.
inline constexpr double Quotient = 2;
}  // namespace RefinedUlps

// Values of both signs spread over 2^-range to 2^range.
template <class T>
std::vector<T> Spread(std::size_t n, unsigned seed, int range = 20) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-range, range);
    std::vector<T> v(n);
    for (T& x : v) x = static_cast<T>(std::ldexp(mantissa(rng), exponent(rng)));
    return v;
}

template <class T>
constexpr T Inf = std::numeric_limits<T>::infinity();
template <class T>
constexpr T Nan = std::numeric_limits<T>::quiet_NaN();

}  // namespace PrimTest
