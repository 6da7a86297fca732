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

}  // namespace UI
