// One implementation serves both builds: their floating-point steps are the same wide
// arithmetic, so the two builds give the same values.
#include <Primitives/Prim/Filter/Random.h>
#include <Primitives/Prim/Memory.h>

#include <cmath>
#include <cstddef>

namespace Prim {
namespace {

constexpr std::uint32_t Lcg(std::uint32_t v) { return 69069u * v + 1013904243u; }

constexpr std::uint32_t StartX = 1131199209u;
constexpr double UniformStep = 2.3283064365387e-10;
constexpr double PolarStep = 4.656612873077e-10;

RandSource SourceFor(std::uint32_t seed) { return {StartX, seed, Lcg(seed), Lcg(Lcg(seed)), -1}; }

// The lagged step, after x has moved on.
std::int32_t Lagged(RandSource& r) {
    const std::uint32_t t = r.s2 - r.s3 + static_cast<std::uint32_t>(r.borrow);
    std::uint32_t s = t;
    if (static_cast<std::int32_t>(t) < 0) {
        r.borrow = -1;
        s = t - 18u;
    } else {
        r.borrow = 0;
    }
    r.s3 = r.s2;
    r.s2 = r.s1;
    r.s1 = s;
    return static_cast<std::int32_t>(s + r.x);
}

std::int32_t Step(RandSource& r) {
    r.x = Lcg(r.x);
    return Lagged(r);
}

template <class State>
State* NewRecord() {
    auto* block = AllocF32Direct(static_cast<std::int32_t>((sizeof(State) + sizeof(float) - 1) / sizeof(float)));
    return reinterpret_cast<State*>(block);
}

Status UniformInit(RandUniformStateF32** state, float low, float high, std::uint32_t seed) {
    if (state == nullptr) return StatusNullPointer;
    auto* r = NewRecord<RandUniformStateF32>();
    if (r == nullptr) return StatusNoMemory;
    *r = {RandUniformTag, seed, low, high, (double(low) + double(high)) * 0.5,
        (double(high) - double(low)) * UniformStep, SourceFor(seed)};
    *state = r;
    return StatusOk;
}

Status Uniform(float* dst, std::int32_t len, RandUniformStateF32* state) {
    if (dst == nullptr || state == nullptr) return StatusNullPointer;
    if (len < 1) return StatusSizeError;
    if (state->tag != RandUniformTag) return StatusWrongContext;
    RandSource r = state->source;
    const long double scale = state->scale;
    const long double mean = state->mean;
    const auto value = [&](std::int32_t u) { return static_cast<float>(static_cast<long double>(u) * scale + mean); };
    const auto n = static_cast<std::size_t>(len);
    std::size_t i = 0;
    // Three outputs per pass from the two- and three-step forms of the congruential recurrence.
    if (n >= 4) {
        for (; i + 3 <= n; i += 3) {
            const std::uint32_t v = r.x;
            r.x = Lcg(v);
            dst[i] = value(Lagged(r));
            r.x = 475559465u * v + 924302730u;
            dst[i + 1] = value(Lagged(r));
            r.x = 2801775573u * v + 1285274869u;
            dst[i + 2] = value(Lagged(r));
        }
    }
    for (; i < n; ++i) dst[i] = value(Step(r));
    state->source = r;
    return StatusOk;
}

Status GaussInit(RandGaussStateF32** state, float mean, float stdDev, std::uint32_t seed) {
    if (state == nullptr) return StatusNullPointer;
    auto* r = NewRecord<RandGaussStateF32>();
    if (r == nullptr) return StatusNoMemory;
    *r = {RandGaussTag, seed, mean, stdDev, SourceFor(seed), 1, 0.0, 0.0};
    *state = r;
    return StatusOk;
}

// Polar method: two outputs per accepted pair, the second kept as the spare.
Status Gauss(float* dst, std::int32_t len, RandGaussStateF32* state) {
    if (dst == nullptr || state == nullptr) return StatusNullPointer;
    if (len < 1) return StatusSizeError;
    if (state->tag != RandGaussTag) return StatusWrongContext;
    RandGaussStateF32 g = *state;
    const long double sd = g.stdDev;
    const long double mean = g.mean;
    for (std::size_t i = 0; i < static_cast<std::size_t>(len); ++i) {
        if (g.needPair != 0) {
            double u1 = 0.0;
            double u2 = 0.0;
            long double r = 0.0L;
            do {
                u1 = Step(g.source) * PolarStep;
                u2 = Step(g.source) * PolarStep;
                r = static_cast<long double>(u1) * u1 + static_cast<long double>(u2) * u2;
            } while (r >= 1.0L || r == 0.0L);
            g.factor = static_cast<double>(std::sqrt(-2.0L * std::log(r) / r));
            g.spare = u1;
            g.needPair = 0;
            dst[i] = static_cast<float>(sd * g.factor * u2 + mean);
        } else {
            dst[i] = static_cast<float>(sd * g.factor * g.spare + mean);
            g.needPair = 1;
        }
    }
    *state = g;
    return StatusOk;
}

template <class State, std::int32_t Tag>
Status FreeRecord(State* state) {
    if (state == nullptr) return StatusNullPointer;
    if (state->tag != Tag) return StatusWrongContext;
    FreeDirect(state);
    return StatusOk;
}

}  // namespace

#define PRIM_RAND_DEFINE(suffix)                                                                                     \
    Status RandUniformInitAllocF32##suffix(RandUniformStateF32** state, float low, float high, std::uint32_t seed) { \
        return UniformInit(state, low, high, seed);                                                                  \
    }                                                                                                                \
    Status RandUniformF32##suffix(float* dst, std::int32_t len, RandUniformStateF32* state) {                        \
        return Uniform(dst, len, state);                                                                             \
    }                                                                                                                \
    Status RandUniformFreeF32##suffix(RandUniformStateF32* state) {                                                  \
        return FreeRecord<RandUniformStateF32, RandUniformTag>(state);                                               \
    }                                                                                                                \
    Status RandGaussInitAllocF32##suffix(RandGaussStateF32** state, float mean, float stdDev, std::uint32_t seed) {  \
        return GaussInit(state, mean, stdDev, seed);                                                                 \
    }                                                                                                                \
    Status RandGaussF32##suffix(float* dst, std::int32_t len, RandGaussStateF32* state) {                            \
        return Gauss(dst, len, state);                                                                               \
    }                                                                                                                \
    Status RandGaussFreeF32##suffix(RandGaussStateF32* state) {                                                      \
        return FreeRecord<RandGaussStateF32, RandGaussTag>(state);                                                   \
    }

PRIM_RAND_DEFINE(_x87)
PRIM_RAND_DEFINE(_sse2)
#undef PRIM_RAND_DEFINE

}  // namespace Prim
