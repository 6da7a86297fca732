#pragma once
// The file layout of the test-only stand-in for the REX vendor library, and the samples it
// renders. Never installed; tests put it where the program looks for the vendor library.
//
// Layout (little-endian 32-bit words): "CAT ", a size (ignored), "REX2"; the nine words of
// the loop information; the statuses REXCreate, REXGetInfo, REXGetSliceInfo and
// REXRenderSlice answer (1 for success) and the slice they apply to (-1 for all); then one
// record per slice: position in ticks, length in frames at the first query, length at every
// later query (and rendered).

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace RexStandIn {

constexpr size_t kHeaderBytes = 12 + 36 + 20;

struct Slice {
    int32_t position;
    int32_t length;
    int32_t laterLength;
};

struct Loop {
    int32_t info[9];
    int32_t createStatus = 1, infoStatus = 1, sliceInfoStatus = 1, renderStatus = 1, failingSlice = -1;
    std::vector<Slice> slices;
};

// Sample `frame` of `slice` on `channel`: a level per slice, a ramp along it, the second
// channel negated. Exact in 32-bit floats for frames below 65536.
inline float Sample(int32_t slice, int32_t channel, int32_t frame) {
    const float value = float(slice + 1) / 64.0f + float(frame % 65536) / 65536.0f;
    return channel ? -value : value;
}

inline std::vector<uint8_t> Bytes(const Loop& loop) {
    std::vector<int32_t> words(loop.info, loop.info + 9);
    for (int32_t w : {loop.createStatus, loop.infoStatus, loop.sliceInfoStatus, loop.renderStatus, loop.failingSlice})
        words.push_back(w);
    for (const Slice& s : loop.slices) words.insert(words.end(), {s.position, s.length, s.laterLength});
    std::vector<uint8_t> out{'C', 'A', 'T', ' ', 0, 0, 0, 0, 'R', 'E', 'X', '2'};
    const size_t at = out.size();
    out.resize(at + words.size() * 4);
    std::memcpy(out.data() + at, words.data(), words.size() * 4);
    return out;
}

}  // namespace RexStandIn
