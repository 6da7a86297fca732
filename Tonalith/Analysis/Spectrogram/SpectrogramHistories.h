#pragma once
#include <Tonalith/Analysis/Spectrogram/SpectrogramLayout.h>

#include <cstdint>

namespace UI {

// Floats every history buffer has to spare after its values: the passes read and write
// whole chunks of this many.
inline constexpr std::int32_t kHistorySpare = 16;

// One frame of a band's sorted histories, for the frame lengths r: history[r] holds used[r]
// values sorted descending (R - 1 frames); the frame's sorted values `arriving[r]` join
// them in frames[r], whose measure sums (sum of i * x_i and of x_i over the descending
// list) come out, and the sorted values `leaving[r]` of the oldest frame, which the list
// holds, go, which leaves the next history in history[r] and its count in used[r]. The
// buffers hold `capacity` values (R frames) and kHistorySpare more.
void AdvanceBandHistories(float* const history[kFrameLengths], float* const frames[kFrameLengths],
    std::int32_t capacity, const float* const arriving[kFrameLengths], const float* const leaving[kFrameLengths],
    std::int32_t size, std::int32_t used[kFrameLengths], double weighted[kFrameLengths], double total[kFrameLengths]);

}  // namespace UI
