// Byte equality (both builds) and the compare, search, replace, range and trim
// kernels, against plain loops over random strings of a small alphabet.
#include "support/prim_vectors.h"

#include <Primitives/Prim/ByteCompare.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

using namespace PrimTest;

namespace {

const std::size_t lengths[] = {0, 1, 7, 8, 15, 16, 17, 33, 95, 96, 97, 200};

template <class T>
std::vector<T> Letters(std::size_t n, unsigned seed, int alphabet) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> pick(0, alphabet - 1);
    std::vector<T> v(n);
    for (T& x : v) x = T(250 + pick(rng));  // wraps through 255 for bytes
    return v;
}

TEST(Bytes, EqualityInBothBuildsAtEveryAlignment) {
    for (auto equal : {Prim::EqualU8_x87, Prim::EqualU8_sse2}) {
        for (std::size_t n : lengths) {
            for (std::size_t a : {0, 1, 4, 8, 12}) {
                for (std::size_t b : {0, 3, 4, 8}) {
                    const auto bytes = Letters<std::uint8_t>(n, unsigned(n), 200);
                    Placed<std::uint8_t> x(bytes, a), y(bytes, b);
                    std::int32_t result = -1;
                    ASSERT_EQ(equal(x.data(), y.data(), std::int32_t(n), &result), Prim::StatusOk);
                    ASSERT_EQ(result, 1) << n << " " << a << " " << b;
                    for (std::size_t at : {n - 1, n / 2, std::size_t{0}}) {
                        if (n == 0) break;
                        y[at] ^= 0x40;
                        ASSERT_EQ(equal(x.data(), y.data(), std::int32_t(n), &result), Prim::StatusOk);
                        ASSERT_EQ(result, 0) << n << " " << a << " " << b << " at " << at;
                        y[at] ^= 0x40;
                    }
                }
            }
        }
        std::uint8_t one = 1;
        std::int32_t result = 7;
        EXPECT_EQ(equal(&one, &one, 0, nullptr), Prim::StatusNullPointer);
        EXPECT_EQ(equal(&one, nullptr, -1, &result), Prim::StatusNullPointer);
        EXPECT_EQ(equal(&one, &one, -1, &result), Prim::StatusNegativeLength);
        EXPECT_EQ(result, 7);
        EXPECT_EQ(equal(&one, &one, 0, &result), Prim::StatusOk);
        EXPECT_EQ(result, 1);
    }
}

template <class T>
std::int32_t Index(typename std::vector<T>::const_iterator at, const std::vector<T>& v) {
    return at == v.end() ? -1 : std::int32_t(at - v.begin());
}

template <class T>
std::int32_t LastIndex(const std::vector<T>& v, auto match) {
    for (std::size_t i = v.size(); i-- > 0;)
        if (match(v[i])) return std::int32_t(i);
    return -1;
}

template <class T>
std::vector<T> Trimmed(const std::vector<T>& v, const std::vector<T>& set, bool start, bool end) {
    const auto member = [&](T x) { return std::find(set.begin(), set.end(), x) != set.end(); };
    std::size_t b = 0, e = v.size();
    while (start && b < e && member(v[b])) ++b;
    while (end && e > b && member(v[e - 1])) --e;
    return std::vector<T>(v.begin() + std::ptrdiff_t(b), v.begin() + std::ptrdiff_t(e));
}

// Every kernel of one element type against its plain loop.
template <class T>
void CheckKernels(std::size_t n, unsigned seed) {
    const auto a = Letters<T>(n, seed, 9), b = Letters<T>(n, seed + 1, 9);
    const std::vector<T> set = {T(250), T(251)}, empty;
    const auto len = std::int32_t(n);
    std::int32_t result = -2;
    std::vector<T> out(n + 1);
    const auto mismatch = std::mismatch(a.begin(), a.end(), b.begin());
    const std::int32_t difference = mismatch.first == a.end() ? 0 : std::int32_t(*mismatch.first) - *mismatch.second;
    if constexpr (sizeof(T) == 1) {
        Prim::CompareKernelU8_sse2(a.data(), b.data(), len, &result);
        EXPECT_EQ(result, difference);
        Prim::FindLastKernelU8_sse2(a.data(), len, T(253), &result);
        EXPECT_EQ(result, LastIndex(a, [](T x) { return x == T(253); }));
        Prim::FindAnyKernelU8_sse2(a.data(), len, set.data(), 2, &result);
        EXPECT_EQ(result, Index(std::find_first_of(a.begin(), a.end(), set.begin(), set.end()), a));
        Prim::FindLastAnyKernelU8_sse2(a.data(), len, set.data(), 2, &result);
        EXPECT_EQ(result, LastIndex(a, [](T x) { return x == T(250) || x == T(251); }));
        Prim::ReplaceKernelU8_sse2(a.data(), out.data(), len, T(254), T(7));
        std::uint32_t hash = 1;
        Prim::HashKernelU8(a.data(), len, &hash);
        std::uint32_t h = 0;
        for (T x : a) h = (h << 1) ^ x;
        EXPECT_EQ(hash, h);
    } else {
        Prim::CompareKernelU16_sse2(a.data(), b.data(), len, &result);
        EXPECT_EQ(result, difference);
        Prim::EqualKernelU16_sse2(a.data(), a.data(), len, &result);
        EXPECT_EQ(result, 1);
        Prim::EqualKernelU16_sse2(a.data(), b.data(), len, &result);
        EXPECT_EQ(result, difference == 0 ? 1 : 0);
        Prim::FindKernelU16_sse2(a.data(), len, T(253), &result);
        EXPECT_EQ(result, Index(std::find(a.begin(), a.end(), T(253)), a));
        Prim::FindLastKernelU16_sse2(a.data(), len, T(253), &result);
        EXPECT_EQ(result, LastIndex(a, [](T x) { return x == T(253); }));
        Prim::FindAnyKernelU16_sse2(a.data(), len, set.data(), 2, &result);
        EXPECT_EQ(result, Index(std::find_first_of(a.begin(), a.end(), set.begin(), set.end()), a));
        Prim::FindLastAnyKernelU16_sse2(a.data(), len, set.data(), 2, &result);
        EXPECT_EQ(result, LastIndex(a, [](T x) { return x == T(250) || x == T(251); }));
        Prim::ReplaceKernelU16_sse2(a.data(), out.data(), len, T(254), T(7));
        std::uint32_t hash = 1, h = 0;
        Prim::HashKernelU16(a.data(), len, &hash);
        for (T x : a) h = (h << 1) ^ x;
        EXPECT_EQ(hash, h);
    }
    for (std::size_t i = 0; i < n; ++i) ASSERT_EQ(out[i], a[i] == T(254) ? T(7) : a[i]);
    using Trim = void (*)(const T*, std::int32_t, const T*, std::int32_t, T*, std::int32_t*);
    const Trim trims[3] = {sizeof(T) == 1 ? Trim(Prim::TrimKernelU8_sse2) : Trim(Prim::TrimKernelU16_sse2),
        sizeof(T) == 1 ? Trim(Prim::TrimStartKernelU8_sse2) : Trim(Prim::TrimStartKernelU16_sse2),
        sizeof(T) == 1 ? Trim(Prim::TrimEndKernelU8_sse2) : Trim(Prim::TrimEndKernelU16_sse2)};
    const bool starts[3] = {true, true, false}, ends[3] = {true, false, true};
    for (int k = 0; k < 3; ++k) {
        for (const auto* s : {&set, &empty}) {
            std::int32_t kept = -1;
            trims[k](a.data(), len, s->data(), std::int32_t(s->size()), out.data(), &kept);
            ASSERT_EQ(std::vector<T>(out.begin(), out.begin() + kept), Trimmed(a, *s, starts[k], ends[k])) << k;
        }
    }
}

TEST(Bytes, KernelsAgainstPlainLoops) {
    for (std::size_t n : lengths) {
        for (unsigned seed : {1u, 2u, 3u}) {
            CheckKernels<std::uint8_t>(n, seed + unsigned(n));
            CheckKernels<std::uint16_t>(n, seed + unsigned(n));
        }
    }
    std::int32_t result = 0;
    const std::uint8_t big[] = {1, 200}, small[] = {1, 5}, five[] = {5}, twoHundred[] = {200};
    Prim::CompareKernelU8_sse2(big, small, 2, &result);
    EXPECT_EQ(result, 195);
    Prim::CompareKernelU8_sse2(five, twoHundred, 1, &result);
    EXPECT_EQ(result, -195);
    const std::uint8_t twice[] = {9, 3, 9, 4};
    Prim::FindLastKernelU8_sse2(twice, 4, 9, &result);
    EXPECT_EQ(result, 2);
    Prim::FindAnyKernelU8_sse2(twice, 4, five, 0, &result);  // an empty set finds nothing
    EXPECT_EQ(result, -1);
    const std::uint8_t text[] = {'a', 'b', 'a', 'b', 'c'}, pattern[] = {'a', 'b', 'c'};
    Prim::FindSubKernelU8(text, 5, pattern, 3, &result);
    EXPECT_EQ(result, 2);
    Prim::FindSubKernelU8(text, 5, pattern, 0, &result);
    EXPECT_EQ(result, -1);
    Prim::FindSubKernelU8(text, 2, pattern, 3, &result);
    EXPECT_EQ(result, -1);
}

// Inclusive bounds, the type's extremes included: every element of the range moves.
TEST(Bytes, RangeKernelsUseExactInclusiveBounds) {
    std::vector<std::uint8_t> bytes(300);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = std::uint8_t(i);
    for (auto [low, high] : {std::pair{0, 255}, {0, 0}, {255, 255}, {1, 254}, {65, 90}, {200, 100}}) {
        std::vector<std::uint8_t> out(bytes.size()), inPlace = bytes;
        Prim::RangeAddKernelU8_sse2(bytes.data(), out.data(), 300, low, high, 32);
        Prim::RangeAddInPlaceKernelU8_sse2(inPlace.data(), 300, low, high, 32);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const std::uint8_t x = bytes[i];
            const std::uint8_t want = std::uint8_t(x >= low && x <= high ? x + 32 : x);
            ASSERT_EQ(out[i], want) << low << ".." << high << " x " << int(x);
            ASSERT_EQ(inPlace[i], want);
        }
    }
    std::int32_t result = -1;
    const std::uint8_t upper[] = {'A', 'b', 0, 255}, lower[] = {'a', 'B', 0, 255};
    Prim::CompareRangeAddKernelU8_sse2(upper, lower, 4, 'A', 'Z', 32, &result);  // case-blind
    EXPECT_EQ(result, 0);
    Prim::CompareRangeAddKernelU8_sse2(upper, lower, 4, 0, 255, 1, &result);
    EXPECT_EQ(result, 'A' - 'a');  // every byte moves, 255 wrapping to 0
    std::vector<std::int16_t> shorts = {-32768, -1, 0, 1, 32767, 100, -100, 5, 6, 7, 8};
    for (auto [low, high] : {std::pair{-32768, 32767}, {-1, 1}, {32767, 32767}, {-32768, -32768}}) {
        std::vector<std::int16_t> out(shorts.size());
        Prim::RangeAddKernelU16_sse2(shorts.data(), out.data(), std::int32_t(shorts.size()), low, high, 3);
        for (std::size_t i = 0; i < shorts.size(); ++i) {
            const int x = shorts[i];
            ASSERT_EQ(out[i], std::int16_t(std::uint16_t(x >= low && x <= high ? x + 3 : x))) << low << " " << x;
        }
    }
    std::int32_t kept = -1;
    const std::uint8_t members[] = {' ', ' ', ' '}, space[] = {' '};
    std::uint8_t out[3];
    Prim::TrimKernelU8_sse2(members, 3, space, 1, out, &kept);
    EXPECT_EQ(kept, 0);
}

}  // namespace
