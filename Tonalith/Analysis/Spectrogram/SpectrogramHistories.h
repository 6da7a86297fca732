#pragma once
#include <Tonalith/Analysis/Spectrogram/SpectrogramLayout.h>

#include <cstdint>

namespace UI {

// Floats every history buffer has to spare after its values: the passes read and write
// whole chunks of this many.
inline constexpr std::int32_t kHistorySpare = 16;

// One frame of a band's sorted histories, for the frame lengths r. A history stands for a
// descending list of `length` powers (R frames of a band) but holds only those above 0:
// the zeros sort last, where they add nothing to the measure, so silent frames, and the
// silence before the first frame, take no room and no time.
//
// history[r] holds used[r] such values, sorted descending, of the frames before this one;
// this frame's values `arriving[r]` (arrivingCount of them, sorted descending, kept powers)
// join them in frames[r], whose measure sums over the list of `length` (sum of i * x_i and
// of x_i) come out; then the values `leaving[r]` of the frame that drops out (leavingCount,
// sorted; 0 when none does), which the list holds, go, which leaves the next history in
// history[r] and its count in used[r]. The buffers of length r hold capacity[r] values and
// kHistorySpare more.
void AdvanceBandHistories(float* const history[kFrameLengths], float* const frames[kFrameLengths],
    const std::int32_t capacity[kFrameLengths], const float* const arriving[kFrameLengths], std::int32_t arrivingCount,
    const float* const leaving[kFrameLengths], std::int32_t leavingCount, std::int64_t length,
    std::int32_t used[kFrameLengths], double weighted[kFrameLengths], double total[kFrameLengths]);

// The measure's sums over a descending list of `length` values of which the first `held`
// are in `values` and the rest are 0.
void MeasureSums(const float* values, std::int32_t held, std::int64_t length, double& weighted, double& total);

}  // namespace UI
