#pragma once
#include <cstdint>
#include <vector>

namespace UI {

// A power as the band sort and the histories take it: those that are not numbers, and
// negative ones, count as +0.
[[gnu::always_inline]] inline float KeptPower(float power) { return power > 0.0f ? power : 0.0f; }

// Sorts n band powers from `in` into descending order at `out` (which may be the same),
// each as KeptPower gives it; `scratch` grows to two keys per value when n is large.
void SortBandDescending(const float* in, float* out, std::int32_t n, std::vector<std::uint32_t>& scratch);

// The two ways it sorts, chosen by n; both are exact for every n they take, so that the
// benchmark that sets the choice can time each on the same values. Ranking takes at most
// kRankSortMost values, which SortBandDescending never passes (a static_assert holds it
// there); for another caller's larger n it sorts the first kRankSortMost into `out` and
// leaves the rest of `out` as it is, and for a negative n it writes nothing.
inline constexpr std::int32_t kRankSortMost = 128;
void RankSortDescending(const float* in, float* out, std::int32_t n);
void RadixSortDescending(const float* in, float* out, std::int32_t n, std::vector<std::uint32_t>& scratch);

}  // namespace UI
