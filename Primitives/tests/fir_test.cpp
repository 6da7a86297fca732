// FIR filters, single-rate and multirate, in all four builds, against long-double direct
// sums of the filter's definition computed here.
#include "support/prim_vectors.h"

#include <Primitives/Prim/Filter/FirState.h>
#include <Primitives/Prim/Memory.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using Prim::Status;

#define FIR_OPS(Name, T, suffix, sse2)                                       \
    struct Name {                                                            \
        using Value = T;                                                     \
        static constexpr bool isSse2 = sse2;                                 \
        static constexpr auto Init = &Prim::FirInitAlloc##suffix;            \
        static constexpr auto MrInit = &Prim::FirMultirateInitAlloc##suffix; \
        static constexpr auto Get = &Prim::FirGetDelayLine##suffix;          \
        static constexpr auto Set = &Prim::FirSetDelayLine##suffix;          \
        static constexpr auto Free = &Prim::FirFree##suffix;                 \
        static constexpr auto One = &Prim::FirOne##suffix;                   \
        static constexpr auto Filter = &Prim::Fir##suffix;                   \
        static constexpr auto InPlace = &Prim::FirInPlace##suffix;           \
    };
FIR_OPS(X87F32, float, F32_x87, false)
FIR_OPS(Sse2F32, float, F32_sse2, true)
FIR_OPS(X87F64, double, F64_x87, false)
FIR_OPS(Sse2F64, double, F64_sse2, true)

// y[m] = sum of h[l] * u[m * down + downPhase - l], u holding x[s] at s * up + upPhase and
// zeros elsewhere; x[-1 - k] is history[k] (newest first).
template <class T>
std::vector<long double> Reference(const std::vector<T>& h, const std::vector<T>& history, const std::vector<T>& x,
    int up = 1, int down = 1, int upPhase = 0, int downPhase = 0) {
    const int64_t outputs = int64_t(x.size()) / down * up;
    std::vector<long double> y(outputs);
    for (int64_t m = 0; m < outputs; ++m) {
        for (int64_t l = 0; l < int64_t(h.size()); ++l) {
            const int64_t u = m * down + downPhase - l - upPhase;
            if (u % up != 0) continue;
            const int64_t s = u / up;
            const long double sample = s >= 0 ? x[s] : (-s - 1 < int64_t(history.size()) ? history[-s - 1] : 0);
            y[m] += (long double)h[l] * sample;
        }
    }
    return y;
}

template <class T>
void ExpectNear(
    const std::vector<T>& got, const std::vector<long double>& want, const std::vector<T>& h, const char* what) {
    long double scale = 1;
    for (T v : h) scale += std::fabs((long double)v);
    const long double tol = (sizeof(T) == 4 ? 2e-5L : 4e-14L) * scale;
    ASSERT_EQ(got.size(), want.size()) << what;
    for (size_t i = 0; i < got.size(); ++i) ASSERT_NEAR(got[i], want[i], tol) << what << " output " << i;
}

template <class Ops>
class Fir : public ::testing::Test {
public:
    using Record = Prim::FirState<typename Ops::Value>;
    Record* Make(const std::vector<typename Ops::Value>& h, const typename Ops::Value* history, int up = 1,
        int upPhase = 0, int down = 1, int downPhase = 0) {
        Record* s = nullptr;
        EXPECT_EQ(Ops::MrInit(&s, h.data(), int(h.size()), up, upPhase, down, downPhase, history), Prim::StatusOk);
        states_.push_back(s);
        return s;
    }
    ~Fir() override {
        for (Record* s : states_) EXPECT_EQ(Ops::Free(s), Prim::StatusOk);
    }

private:
    std::vector<Record*> states_;
};
using AllBuilds = ::testing::Types<X87F32, Sse2F32, X87F64, Sse2F64>;
TYPED_TEST_SUITE(Fir, AllBuilds);

TYPED_TEST(Fir, WorkedExampleAndDelayLine) {
    using T = typename TypeParam::Value;
    const std::vector<T> h{0.5, -0.25, 0.125}, history{1, 2, 3};
    auto* s = this->Make(h, history.data());
    std::vector<T> y(4), x{1, 0, 0, 0};
    ASSERT_EQ(TypeParam::Filter(x.data(), y.data(), 4, s), Prim::StatusOk);
    EXPECT_EQ(y, (std::vector<T>{0.5, -0.125, 0.125, 0}));
    x = {1, 2, 3, 4};
    ASSERT_EQ(TypeParam::Filter(x.data(), y.data(), 4, s), Prim::StatusOk);
    std::vector<T> got(3);
    ASSERT_EQ(TypeParam::Get(s, got.data()), Prim::StatusOk);
    EXPECT_EQ(got, (std::vector<T>{4, 3, 2}));
    for (T v : {5, 6, 7}) ASSERT_EQ(TypeParam::One(v, y.data(), s), Prim::StatusOk);
    ASSERT_EQ(TypeParam::Get(s, got.data()), Prim::StatusOk);
    EXPECT_EQ(got, (std::vector<T>{7, 6, 5}));
    ASSERT_EQ(TypeParam::Set(s, nullptr), Prim::StatusOk);
    ASSERT_EQ(TypeParam::Get(s, got.data()), Prim::StatusOk);
    EXPECT_EQ(got, (std::vector<T>{0, 0, 0}));
}

// Blocks of many sizes, one-sample calls, unaligned destinations and the in-place chunks
// all continue one signal.
TYPED_TEST(Fir, SingleRateBlocksContinueOneSignal) {
    using T = typename TypeParam::Value;
    for (int taps : {1, 3, 5, 31, 32, 63, 64, 100, 128}) {
        const auto h = PrimTest::Spread<T>(taps, taps, 2);
        const auto history = PrimTest::Spread<T>(taps, taps + 1, 2);
        auto* s = this->Make(h, history.data());
        const int limit = s->blockLimit;
        const int fftOutputs = s->fftLen - taps + 1;
        std::vector<int> blocks{1, 3, 4, 5, limit, limit + 1, 600, 511, 512, 613, 0, 4097};
        if (s->fftLen > 0) blocks.insert(blocks.end(), {fftOutputs, fftOutputs + 1, 511, 512, 612});
        int total = 0;
        for (int b : blocks) total += std::max(b, 1);
        const auto x = PrimTest::Spread<T>(total, taps + 2, 2);
        std::vector<T> y;
        size_t at = 0, offsets[] = {0, sizeof(T), 3 * sizeof(T)};
        for (size_t i = 0; i < blocks.size(); ++i) {
            const int b = blocks[i];
            if (b == 0) {
                y.emplace_back();
                ASSERT_EQ(TypeParam::One(x[at++], &y.back(), s), Prim::StatusOk);
                continue;
            }
            PrimTest::Placed<T> out(b, offsets[i % 3]);
            if (b == 4097) {
                std::copy(x.begin() + at, x.begin() + at + b, out.data());
                ASSERT_EQ(TypeParam::InPlace(out.data(), b, s), Prim::StatusOk);
            } else {
                ASSERT_EQ(TypeParam::Filter(x.data() + at, out.data(), b, s), Prim::StatusOk);
            }
            const auto part = out.Values(b);
            y.insert(y.end(), part.begin(), part.end());
            at += b;
        }
        const std::vector<T> input(x.begin(), x.begin() + at);
        ExpectNear(y, Reference(h, history, input), h, ("taps " + std::to_string(taps)).c_str());
    }
}

TYPED_TEST(Fir, StateFields) {
    using T = typename TypeParam::Value;
    const bool f32 = sizeof(T) == 4;
    const bool sse2F32 = f32 && TypeParam::isSse2;
    struct Case {
        int taps, up, down, kind, blockLimit, firstPass, fftLen;
        std::vector<int> phases;
    };
    const std::vector<Case> cases{
        {1, 1, 1, 0, 5, -1, -1, {}},
        {5, 1, 1, 0, 9, -1, -1, {}},
        {63, 1, 1, 0, 65, -1, f32 ? -1 : 128, {}},
        {64, 1, 1, 0, 65, -1, 256, {}},
        {32, 1, 1, 0, 33, -1, f32 ? -1 : 128, {}},
        {128, 1, 1, 0, 129, -1, 512, {}},
        {7, 1, 2, 1, 17, 4, -1, {1, 7}},
        {6, 1, 2, 2, -1, -1, -1, {}},
        {3, 1, 2, 2, 13, 4, -1, {1, 3, 5, 7, 8}},
        {9, 2, 7, sse2F32 ? 1 : 3, -1, -1, -1, {}},
    };
    for (const Case& c : cases) {
        const std::vector<T> h(c.taps, 1);
        auto* s = this->Make(h, nullptr, c.up, 0, c.down, 0);
        EXPECT_EQ(s->tag,
            c.kind ? (f32 ? Prim::FirTagMultiF32 : Prim::FirTagMultiF64)
                   : (f32 ? Prim::FirTagSingleF32 : Prim::FirTagSingleF64));
        EXPECT_EQ(c.kind ? s->mrKind : 0, c.kind) << c.taps;
        EXPECT_EQ(c.blockLimit > 0 ? s->blockLimit : -1, c.blockLimit) << c.taps;
        EXPECT_EQ(c.firstPass > 0 ? s->firstPassOutputs : -1, c.firstPass) << c.taps;
        EXPECT_EQ(s->fftLen, c.fftLen) << c.taps;
        for (size_t i = 0; i < c.phases.size(); ++i) EXPECT_EQ(s->phaseTable[i], c.phases[i]) << c.taps;
    }
}

TYPED_TEST(Fir, MultirateWorkedExamples) {
    using T = typename TypeParam::Value;
    auto iota = [](int n) {
        std::vector<T> v(n);
        for (int i = 0; i < n; ++i) v[i] = T(i + 1);
        return v;
    };
    struct Case {
        std::vector<T> h;
        int inputs, up, down, upPhase, downPhase;
        std::vector<T> want;
    };
    const std::vector<Case> cases{
        {{1, 2, 3}, 8, 1, 2, 0, 0, {1, 10, 22, 34}},
        {iota(7), 8, 1, 2, 0, 0, {1, 10, 35, 84}},
        {iota(10), 6, 3, 2, 0, 0, {1, 3, 9, 18, 30, 39, 62, 66, 69}},
        {{1, 2, 3}, 6, 2, 3, 0, 0, {1, 4, 13, 10}},
        {{1, 2, 3}, 6, 2, 3, 1, 2, {2, 9, 8, 21}},
    };
    for (const Case& c : cases) {
        auto* s = this->Make(c.h, nullptr, c.up, c.upPhase, c.down, c.downPhase);
        std::vector<T> y(c.want.size());
        ASSERT_EQ(TypeParam::Filter(iota(c.inputs).data(), y.data(), c.inputs / c.down, s), Prim::StatusOk);
        EXPECT_EQ(y, c.want);
        ExpectNear(y, Reference(c.h, {}, iota(c.inputs), c.up, c.down, c.upPhase, c.downPhase), c.h, "example");
    }
}

// Every kind, calls of 1, 2, 3 and 100 iterations and at the one-pass limit and past it,
// continue one signal; infinities left in the unused area never reach an output.
TYPED_TEST(Fir, MultirateCallsContinueOneSignal) {
    using T = typename TypeParam::Value;
    struct Case {
        int taps, up, down, upPhase, downPhase;
    };
    const std::vector<Case> cases{{7, 1, 2, 0, 1}, {3, 1, 2, 0, 0}, {10, 3, 2, 1, 1}, {10, 2, 8, 1, 5},
        {10, 1, 8, 0, 3}, {3, 4, 1, 2, 0}, {9, 2, 7, 0, 0}, {40, 5, 3, 4, 2}};
    for (const Case& c : cases) {
        const auto h = PrimTest::Spread<T>(c.taps, c.taps, 2);
        const int history = (c.taps + c.up - 1) / c.up;
        const auto past = PrimTest::Spread<T>(history, 3, 2);
        auto* s = this->Make(h, past.data(), c.up, c.upPhase, c.down, c.downPhase);
        const int limit = s->blockLimit / c.down;
        const std::vector<int> calls{1, 2, 3, 100, limit, limit + 1, 1, 5000};
        int total = 0;
        for (int n : calls) total += n;
        const auto x = PrimTest::Spread<T>(int64_t(total) * c.down, 7, 2);
        std::vector<T> y;
        int64_t at = 0;
        for (int n : calls) {
            std::fill(s->dlyLine + s->dlyLen, s->dlyLine + s->dlyLen + s->blockLimit + 1, PrimTest::Inf<T>);
            std::vector<T> out(int64_t(n) * std::max(c.up, c.down));
            std::copy(x.begin() + at, x.begin() + at + int64_t(n) * c.down, out.begin());
            ASSERT_EQ(
                n == 5000 ? TypeParam::InPlace(out.data(), n, s) : TypeParam::Filter(x.data() + at, out.data(), n, s),
                Prim::StatusOk);
            y.insert(y.end(), out.begin(), out.begin() + int64_t(n) * c.up);
            at += int64_t(n) * c.down;
        }
        ExpectNear(y, Reference(h, past, x, c.up, c.down, c.upPhase, c.downPhase), h, "multirate");
    }
}

TYPED_TEST(Fir, RefusalsWriteNothing) {
    using T = typename TypeParam::Value;
    using State = Prim::FirState<T>;
    const std::vector<T> h(5, 1);
    State* const untouched = reinterpret_cast<State*>(0x10);
    struct Case {
        int taps, up, upPhase, down, downPhase;
        Status want;
    };
    for (const Case& c :
        std::vector<Case>{{0, 1, 0, 1, 0, Prim::StatusFirLengthError}, {5, 0, 5, 1, 0, Prim::StatusFirFactorError},
            {5, 2, 0, -1, 0, Prim::StatusFirFactorError}, {5, 2, 2, 1, 0, Prim::StatusFirPhaseError},
            {5, 2, 0, 3, -1, Prim::StatusFirPhaseError}, {5, 65536, 0, 65536, 0, Prim::StatusNoMemory}}) {
        State* s = untouched;
        EXPECT_EQ(TypeParam::MrInit(&s, h.data(), c.taps, c.up, c.upPhase, c.down, c.downPhase, nullptr), c.want);
        EXPECT_EQ(s, untouched);
    }
    State* s = untouched;
    EXPECT_EQ(TypeParam::Init(nullptr, h.data(), 5, nullptr), Prim::StatusNullPointer);
    EXPECT_EQ(TypeParam::Init(&s, h.data(), 0x40000000, nullptr), Prim::StatusFftOrderError);
    EXPECT_EQ(s, untouched);
    auto* single = this->Make(h, nullptr);
    auto* multi = this->Make(h, nullptr, 1, 0, 2, 0);
    T x[8] = {}, y[8] = {};
    EXPECT_EQ(TypeParam::Filter(x, y, 0, single), Prim::StatusSizeError);
    EXPECT_EQ(TypeParam::Filter(x, nullptr, 1, single), Prim::StatusNullPointer);
    EXPECT_EQ(TypeParam::InPlace(x, -1, multi), Prim::StatusSizeError);
    EXPECT_EQ(TypeParam::One(1, y, multi), Prim::StatusWrongContext);
    EXPECT_EQ(TypeParam::Filter(x, y, 0x40000000, multi), Prim::StatusSizeError);
    multi->tag ^= 0x100;
    EXPECT_EQ(TypeParam::Filter(x, y, 1, multi), Prim::StatusWrongContext);
    EXPECT_EQ(TypeParam::Get(multi, y), Prim::StatusWrongContext);
    multi->tag ^= 0x100;
    multi->mrKind = 4;
    EXPECT_EQ(TypeParam::Filter(x, y, 1, multi), Prim::StatusWrongContext);
    multi->mrKind = 2;
}

// The k-th allocation fails: every set-up and the in-place multirate run report -9 and
// release what they had (the leak checker of the sanitizer build sees the rest).
int failAt = 0;
bool FailKth() { return --failAt == 0; }

TYPED_TEST(Fir, EveryAllocationFailureReleasesEverything) {
    using T = typename TypeParam::Value;
    const auto h = PrimTest::Spread<T>(100, 1, 2);
    struct Case {
        int taps, up, down;
    };
    for (const Case& c : std::vector<Case>{{100, 1, 1}, {100, 3, 2}, {5, 3, 2}, {3, 1, 2}}) {
        int k = 1;
        for (;; ++k) {
            Prim::FirState<T>* s = nullptr;
            failAt = k;
            Prim::SetAllocFailHook(&FailKth);
            Status status = TypeParam::MrInit(&s, h.data(), c.taps, c.up, 0, c.down, 0, nullptr);
            std::vector<T> data(30, 1);
            if (status == Prim::StatusOk) status = TypeParam::InPlace(data.data(), 10, s);
            Prim::SetAllocFailHook(nullptr);
            if (s) {
                EXPECT_EQ(TypeParam::Free(s), Prim::StatusOk);
            }
            if (failAt > 0) {
                EXPECT_EQ(status, Prim::StatusOk);
                break;
            }
            EXPECT_EQ(status, Prim::StatusNoMemory) << "allocation " << k;
        }
        EXPECT_GT(k, 2) << c.taps;
    }
}

}  // namespace
