#pragma once
// Every public primitive operation, declared from the one list in Operations.inc: its builds,
// its entry point when it has one, and a table of each build's operations. The pair numbers
// are in Pairs.h; the family headers add the records, constants and rules of the operations.
#include <Primitives/Prim/Status.h>

#include <cstdint>

namespace Prim {

// The types the list's signatures name; the records are laid out in their family headers.
using RoundMode = std::int32_t;
using SumAccuracyHint = std::int32_t;
template <typename T>
struct FftSpecReal;
using FftSpecRealF64 = FftSpecReal<double>;
using FftSpecRealF32 = FftSpecReal<float>;
using FftSpecSplitC64 = FftSpecRealF64;
struct FftSpecRealS16;
struct CosSpecF32;
template <class T>
struct FirState;
using FirStateF32 = FirState<float>;
using FirStateF64 = FirState<double>;
template <class T>
struct IirState;
using IirStateF32 = IirState<float>;
using IirStateF64 = IirState<double>;
struct RandUniformStateF32;
struct RandGaussStateF32;

#define PRIM_OP(name, pair, result, params) \
    result name##_x87 params;               \
    result name##_sse2 params;
#define PRIM_ENTRY(name, pair, result, params, args) \
    PRIM_OP(name, pair, result, params)              \
    result name params;
#define PRIM_SINGLE(name, pair, result, params, args) \
    result name##Direct params;                       \
    result name params;
#include <Primitives/Prim/Operations.inc>

// One build's operations, a member per operation named as the operation: what the start-up
// binding stores, and what the tests run when they set the two builds side by side.
struct BuildOps {
#define PRIM_OP(name, pair, result, params) result(*name) params;
#include <Primitives/Prim/Operations.inc>
};

inline constexpr BuildOps X87Ops = {
#define PRIM_OP(name, pair, result, params) .name = &name##_x87,
#define PRIM_SINGLE(name, pair, result, params, args) .name = &name##Direct,
#include <Primitives/Prim/Operations.inc>
};

inline constexpr BuildOps Sse2Ops = {
#define PRIM_OP(name, pair, result, params) .name = &name##_sse2,
#define PRIM_SINGLE(name, pair, result, params, args) .name = &name##Direct,
#include <Primitives/Prim/Operations.inc>
};

}  // namespace Prim
