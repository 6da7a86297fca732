#include "support/iir_builds.h"
#include "support/prim_vectors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <random>
#include <vector>

namespace {

using IirTest::Ops;
using Prim::IirState;

template <class T>
class Iir : public testing::Test {};
using ElementTypes = testing::Types<float, double>;
TYPED_TEST_SUITE(Iir, ElementTypes);

template <class T>
std::vector<T> Cast(const std::vector<long double>& v) {
    return std::vector<T>(v.begin(), v.end());
}
template <class T>
std::vector<long double> Widen(const std::vector<T>& v) {
    return std::vector<long double>(v.begin(), v.end());
}

// How a signal is fed: one vector call, one sample at a time, or in place.
enum class Feed { Vector, OneByOne, InPlace };

template <class T>
std::vector<T> Run(const Ops<T>& op, IirState<T>* s, std::vector<T> x, Feed feed) {
    std::vector<T> y(x.size());
    const auto n = std::int32_t(x.size());
    if (feed == Feed::Vector) {
        EXPECT_EQ(op.filter(x.data(), y.data(), n, s), Prim::StatusOk);
    }
    if (feed == Feed::InPlace) {
        EXPECT_EQ(op.inPlace(x.data(), n, s), Prim::StatusOk);
        y = x;
    }
    if (feed == Feed::OneByOne) {
        for (std::size_t i = 0; i < x.size(); ++i) EXPECT_EQ(op.one(x[i], &y[i], s), Prim::StatusOk);
    }
    return y;
}

// Hand-worked filters whose values are exact in either precision.
TYPED_TEST(Iir, HandWorkedExamples) {
    using T = TypeParam;
    const T direct[] = {2, 4, 2, 4, -2, 1};
    const T cascade[] = {1, .5, .25, 1, -.5, .25, 2, 0, -2, 2, .5, .5};
    const std::vector<T> ramp = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    std::vector<T> impulse(12);
    impulse[0] = 1;
    const std::vector<T> directY = {0.5, 2.25, 5, 7.9375, 10.71875, 13.375, 16.0078125, 18.66015625, 21.328125};
    const std::vector<T> cascadeY = {1, 0.75, -0.9375, -0.953125, -0.15234375, 0.2138671875, 0.109619140625,
        -0.00274658203125, -0.0189056396484375, -0.010211944580078125, -0.0024862289428710938, 0.0021979808807373047};
    for (const Ops<T>& op : IirTest::Builds<T>()) {
        for (Feed feed : {Feed::Vector, Feed::OneByOne, Feed::InPlace}) {
            IirState<T>* s = nullptr;
            ASSERT_EQ(op.init(&s, direct, 2, nullptr), Prim::StatusOk);
            EXPECT_EQ(Run(op, s, ramp, feed), directY) << op.name << int(feed);
            T dly[3] = {0, 0, 99};
            EXPECT_EQ(op.getDly(s, dly), Prim::StatusOk);
            EXPECT_EQ(std::vector<T>(dly, dly + 3), (std::vector<T>{18.9990234375, -0.83203125, 99})) << op.name;
            EXPECT_EQ(op.release(s), Prim::StatusOk);
            ASSERT_EQ(op.initBiquad(&s, cascade, 2, nullptr), Prim::StatusOk);
            const std::vector<T> y = Run(op, s, impulse, feed);
            for (std::size_t i = 0; i < y.size(); ++i)
                EXPECT_NEAR(y[i], cascadeY[i], sizeof(T) == 4 ? 1e-7 : 1e-16) << op.name << int(feed) << " at " << i;
            EXPECT_EQ(op.release(s), Prim::StatusOk);
        }
    }
}

// A stable filter with random zeros and poles of radius up to 0.8, scaled so that a0 is not 1.
std::vector<long double> RandomDirect(std::mt19937& rng, std::size_t order) {
    std::uniform_real_distribution<long double> u(-1, 1);
    std::vector<std::complex<long double>> poly{1};
    for (std::size_t k = 0; k < order; ++k) {
        const std::complex<long double> root = k + 1 < order && k % 2 == 0
            ? std::polar(0.8L * std::fabs(u(rng)), 3.0L * u(rng))
            : std::complex<long double>(0.8L * u(rng));
        const std::size_t pair = root.imag() != 0 ? 2 : 1;
        for (std::size_t p = 0; p < pair; ++p) {
            const auto r = p == 0 ? root : std::conj(root);
            poly.push_back(0);
            for (std::size_t i = poly.size() - 1; i > 0; --i) poly[i] -= r * poly[i - 1];
        }
        k += pair - 1;
    }
    const long double a0 = 0.5L + std::fabs(u(rng)) * 2;
    std::vector<long double> taps(2 * order + 2);
    for (std::size_t k = 0; k <= order; ++k) taps[k] = u(rng) * a0, taps[order + 1 + k] = poly[k].real() * a0;
    return taps;
}

std::vector<long double> RandomCascade(std::mt19937& rng, std::size_t sections) {
    std::vector<long double> taps;
    for (std::size_t s = 0; s < sections; ++s) {
        auto t = RandomDirect(rng, 2);
        if (std::fabs(t[0]) < 0.1L) t[0] = 0.5L;
        taps.insert(taps.end(), t.begin(), t.end());
    }
    return taps;
}

// Call lengths that cross every path: the block path's edges 4N+1..4N+4, the work buffer's
// length, random lengths mixed with single samples, and the whole signal at once.
std::vector<std::int32_t> Cuts(std::mt19937& rng, std::int32_t total, std::int32_t size, int pattern) {
    std::vector<std::int32_t> cuts;
    for (std::int32_t at = 0, i = 0; at < total; ++i) {
        std::int32_t n = total;
        if (pattern == 0) n = 4 * size + 1 + i % 4;
        if (pattern == 1) n = i % 2 == 0 ? 1024 : 1 + i % 3;
        if (pattern == 2) n = i % 3 == 0 ? 1 : std::uniform_int_distribution<std::int32_t>(1, 300)(rng);
        cuts.push_back(std::min(n, total - at));
        at += cuts.back();
    }
    return cuts;
}

TYPED_TEST(Iir, RandomFiltersAgreeWithTheWideReference) {
    using T = TypeParam;
    std::mt19937 rng(2024);
    const std::int32_t total = 2500;
    std::vector<long double> x(total);
    for (auto& v : x) v = std::uniform_real_distribution<long double>(-1, 1)(rng);
    const std::vector<T> xs = Cast<T>(x);
    int trial = 0;
    for (const Ops<T>& op : IirTest::Builds<T>()) {
        for (int cascade = 0; cascade < 2; ++cascade) {
            for (std::int32_t size = 1; size <= (cascade ? 3 : 5); ++size) {
                const auto wide =
                    cascade ? RandomCascade(rng, std::size_t(size)) : RandomDirect(rng, std::size_t(size));
                const std::vector<T> taps = Cast<T>(wide);
                const IirTest::Reference ref = cascade ? IirTest::CascadeReference(Widen(taps), Widen(xs))
                                                       : IirTest::DirectReference(Widen(taps), Widen(xs));
                long double peak = 1;
                for (long double v : ref.y) peak = std::max(peak, std::fabs(v));
                const double bound = double(peak) * (sizeof(T) == 4 ? 1e-4 : 1e-10);
                for (int pattern = 0; pattern < 4; ++pattern, ++trial) {
                    IirState<T>* s = nullptr;
                    ASSERT_EQ((cascade ? op.initBiquad : op.init)(&s, taps.data(), size, nullptr), Prim::StatusOk);
                    PrimTest::Placed<T> in(xs, std::size_t(trial % 4) * sizeof(T) % 16);
                    PrimTest::Placed<T> out(std::size_t(total), std::size_t(trial % 3) * sizeof(T) % 16);
                    const bool inPlace = trial % 2 == 1;
                    T* y = inPlace ? in.data() : out.data();
                    std::int32_t at = 0;
                    for (std::int32_t n : Cuts(rng, total, size, pattern)) {
                        if (n == 1 && pattern == 2) {
                            ASSERT_EQ(op.one(in[std::size_t(at)], y + at, s), Prim::StatusOk);
                        } else if (inPlace) {
                            ASSERT_EQ(op.inPlace(y + at, n, s), Prim::StatusOk);
                        } else {
                            ASSERT_EQ(op.filter(in.data() + at, y + at, n, s), Prim::StatusOk);
                        }
                        at += n;
                    }
                    for (std::int32_t i = 0; i < total; ++i)
                        ASSERT_NEAR(y[i], double(ref.y[std::size_t(i)]), bound)
                            << op.name << (cascade ? " cascade " : " direct ") << size << " pattern " << pattern
                            << " at " << i;
                    std::vector<T> dly(ref.dly.size());
                    ASSERT_EQ(op.getDly(s, dly.data()), Prim::StatusOk);
                    for (std::size_t j = 0; j < dly.size(); ++j) EXPECT_NEAR(dly[j], double(ref.dly[j]), bound) << j;
                    op.release(s);
                }
            }
        }
    }
}

TYPED_TEST(Iir, SetUpAndDelayLineRules) {
    using T = TypeParam;
    const T taps[] = {3, 2};  // order 0: b0, a0
    for (const Ops<T>& op : IirTest::Builds<T>()) {
        IirState<T>* s = nullptr;
        IirState<T>* const untouched = reinterpret_cast<IirState<T>*>(&s);
        IirState<T>* kept = untouched;
        EXPECT_EQ(op.init(nullptr, taps, 1, nullptr), Prim::StatusNullPointer);
        EXPECT_EQ(op.init(&kept, nullptr, 1, nullptr), Prim::StatusNullPointer);
        EXPECT_EQ(op.init(&kept, taps, -1, nullptr), Prim::StatusIirOrderError);
        EXPECT_EQ(op.initBiquad(&kept, taps, 0, nullptr), Prim::StatusIirOrderError);
        // Sizes past 2^31 - 1 bytes are refused before anything is allocated.
        EXPECT_EQ(op.init(&kept, taps, 1 << 30, nullptr), Prim::StatusNoMemory);
        EXPECT_EQ(op.initBiquad(&kept, taps, 1 << 29, nullptr), Prim::StatusNoMemory);
        EXPECT_EQ(kept, untouched);

        // Order 0: a constant gain with no memory.
        ASSERT_EQ(op.init(&s, taps, 0, nullptr), Prim::StatusOk);
        T y[4] = {1, -2, 4, 8}, dly[1] = {7};
        EXPECT_EQ(op.inPlace(y, 4, s), Prim::StatusOk);
        EXPECT_EQ(std::vector<T>(y, y + 4), (std::vector<T>{1.5, -3, 6, 12})) << op.name;
        EXPECT_EQ(op.getDly(s, dly), Prim::StatusOk);
        EXPECT_EQ(dly[0], 7);
        EXPECT_EQ(op.filter(y, y, 0, s), Prim::StatusSizeError);
        EXPECT_EQ(op.release(s), Prim::StatusOk);

        // An unusable a0 (or a cascade's b0): -10 with the record handed back, its taps cleared.
        for (const std::vector<T>& bad : {std::vector<T>{1, 1, 0, 5}, std::vector<T>{1, 1, T(NAN), 0}}) {
            s = nullptr;
            EXPECT_EQ(op.init(&s, bad.data(), 1, nullptr), Prim::StatusDivideByZero);
            ASSERT_NE(s, nullptr);
            EXPECT_EQ(std::vector<T>(s->taps, s->taps + 3), std::vector<T>(3, T(0)));
            EXPECT_EQ(op.release(s), Prim::StatusOk);
        }
        const T zeroB0[] = {1, 1, 1, 1, 0, 0, 0, 1, 1, 1, 0, 0};
        ASSERT_EQ(op.initBiquad(&s, zeroB0, 2, nullptr), Prim::StatusDivideByZero);
        EXPECT_EQ(op.release(s), Prim::StatusOk);

        // The delay line exchanges N values (2 per section); a null source clears it.
        const T direct[] = {1, 2, 3, 1, 0.5, 0.25};
        const T init[3] = {4, 5, 6};
        ASSERT_EQ(op.init(&s, direct, 2, init), Prim::StatusOk);
        T got[3] = {0, 0, -1};
        EXPECT_EQ(op.getDly(s, got), Prim::StatusOk);
        EXPECT_EQ(std::vector<T>(got, got + 3), (std::vector<T>{4, 5, -1}));
        T out = 0;
        EXPECT_EQ(op.one(1, &out, s), Prim::StatusOk);
        EXPECT_EQ(out, 5);  // b'0 x + d0
        EXPECT_EQ(op.setDly(s, nullptr), Prim::StatusOk);
        EXPECT_EQ(op.getDly(s, got), Prim::StatusOk);
        EXPECT_EQ(std::vector<T>(got, got + 2), (std::vector<T>{0, 0}));
        EXPECT_EQ(op.one(1, nullptr, s), Prim::StatusNullPointer);
        EXPECT_EQ(op.getDly(nullptr, got), Prim::StatusNullPointer);
        EXPECT_EQ(op.setDly(nullptr, nullptr), Prim::StatusNullPointer);
        EXPECT_EQ(op.release(nullptr), Prim::StatusNullPointer);
        // A record of the other precision is refused by every operation.
        const std::uint32_t tag = s->tag;
        s->tag = sizeof(T) == 4 ? Prim::IirTagDirectF64 : Prim::IirTagCascadeF32;
        EXPECT_EQ(op.one(1, &out, s), Prim::StatusWrongContext);
        EXPECT_EQ(op.filter(got, got, 1, s), Prim::StatusWrongContext);
        EXPECT_EQ(op.inPlace(got, 1, s), Prim::StatusWrongContext);
        EXPECT_EQ(op.filter(got, got, 0, s), Prim::StatusSizeError);  // the length before the tag
        EXPECT_EQ(op.setDly(s, nullptr), Prim::StatusWrongContext);
        EXPECT_EQ(op.release(s), Prim::StatusWrongContext);
        s->tag = tag;
        EXPECT_EQ(op.release(s), Prim::StatusOk);
    }
}

// A refused set of new taps leaves the filter as it was: no section renormalised, no table stale.
TEST(IirSetTaps, RefusedTapsChangeNothing) {
    const double first[] = {1, 0.5, 0.25, 2, -0.4, 0.1, 1, -1, 0.5, 1, 0.3, 0.2};
    const double second[] = {2, 1, 1, 4, 1, 0.5, 1, 0, 0, 1, 0, 0};
    const double refused[] = {3, 3, 3, 3, 1, 1, 1, 1, 1, 0, 1, 1};
    const double gain[] = {1, 2, 3, 0};
    const double zeroA0[] = {5, 5, 0, 1};
    std::vector<double> x(300);
    for (std::size_t i = 0; i < x.size(); ++i) x[i] = std::sin(0.1 * double(i)) + (i % 7 == 0);
    for (const auto& [setTaps, ops] : {std::pair{&Prim::IirSetTapsF64_x87, IirTest::Builds<double>()[0]},
             std::pair{&Prim::IirSetTapsF64_sse2, IirTest::Builds<double>()[1]}}) {
        std::vector<double> expected(x.size()), got(x.size());
        Prim::IirStateF64 *a = nullptr, *b = nullptr;
        ASSERT_EQ(ops.initBiquad(&a, second, 2, nullptr), Prim::StatusOk);
        ASSERT_EQ(ops.initBiquad(&b, first, 2, nullptr), Prim::StatusOk);
        EXPECT_EQ(setTaps(second, b), Prim::StatusOk);
        EXPECT_EQ(setTaps(refused, b), Prim::StatusDivideByZero);
        EXPECT_EQ(setTaps(gain, nullptr), Prim::StatusNullPointer);
        ops.filter(x.data(), expected.data(), 300, a);
        ops.filter(x.data(), got.data(), 300, b);
        EXPECT_EQ(got, expected) << ops.name;
        ops.release(a);
        ops.release(b);
        ASSERT_EQ(ops.init(&a, gain, 1, nullptr), Prim::StatusOk);
        EXPECT_EQ(setTaps(zeroA0, a), Prim::StatusDivideByZero);
        double y = 0;
        ops.one(3, &y, a);
        EXPECT_EQ(y, 1);
        ops.release(a);
    }
}

}  // namespace
