#pragma once
#include <Primitives/Prim/Operations.h>

#include <cstdint>

// Seeded uniform and Gaussian generators of 32-bit floats. The whole state is in the record,
// so a sequence cut into calls of any lengths equals one long call. Both builds compute
// identically and give the same values.
namespace Prim {

inline constexpr std::int32_t RandUniformTag = 37;
inline constexpr std::int32_t RandGaussTag = 40;

// The integer source: a congruential sequence added to a lagged subtract-with-borrow one.
struct RandSource {
    std::uint32_t x;
    std::uint32_t s1;  // newest lagged value
    std::uint32_t s2;
    std::uint32_t s3;  // oldest
    std::int32_t borrow;  // 0 or -1
};

struct RandUniformStateF32 {
    std::int32_t tag;
    std::uint32_t seed;
    float low;
    float high;
    double mean;
    double scale;
    RandSource source;
};

struct RandGaussStateF32 {
    std::int32_t tag;
    std::uint32_t seed;
    float mean;
    float stdDev;
    RandSource source;
    std::int32_t needPair;  // 1: no spare pending
    double factor;  // polar factor of the pending spare
    double spare;  // uniform value of the pending spare
};

// The operations, RandUniformInitAllocF32 to RandGaussFreeF32, are listed in
// Operations.inc.
// Init-alloc: null state -8, allocation failure -9; *state is written only on success.
// Generate: null dst or state -8, len below 1 -6, a record of another kind -17.
// Free: null -8, a record of another kind -17.

}  // namespace Prim
