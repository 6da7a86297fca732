#pragma once
// Up-sampling by zero insertion and down-sampling by keeping every factor-th sample, with a
// phase held by the caller so that a signal cut into blocks is resampled as in one piece.
// Checks, in order: a null pointer -8, srcLen below 1 -6, factor below 1 -31, *phase outside
// 0..factor-1 -30; up-sampling also refuses (-6) an output of more than 2^31 - 1 samples.
// A failed check writes nothing.
//   UpSampleF32, UpSampleF64: *dstLen = factor * srcLen; dst[k * factor + *phase] = src[k],
//     every other element 0.
//   DownSampleF32, DownSampleF64: keep src[*phase], src[*phase + factor], ...; *dstLen = the
//     number kept and *phase = the position of the next sample to keep, counted from the start
//     of the next block.
// All four are listed in Operations.inc.
#include <Primitives/Prim/Operations.h>
