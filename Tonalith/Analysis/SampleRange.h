#pragma once
#include <cstdint>

namespace UI {

// An inclusive range of sample-frame numbers; empty when first > last.
struct SampleRange {
    std::uint64_t first = 1;
    std::uint64_t last = 0;

    SampleRange() = default;
    // {start, start + count - 1}; a count of 0 gives the empty {start + 1, start}.
    SampleRange(std::uint64_t start, std::uint64_t count) : first(start + 1), last(start) {
        if (count > 0) {
            first = start;
            last = start + count - 1;
        }
    }
    static SampleRange FromEnds(std::uint64_t first, std::uint64_t last) {
        SampleRange range;
        range.first = first;
        range.last = last;
        return range;
    }

    bool IsEmpty() const { return first > last; }
    // Every 64-bit frame number: its length does not fit the 64-bit count.
    bool SpansAll() const { return first == 0 && last == UINT64_MAX; }
    // 0 when empty (and when spanning all frames, whose length wraps).
    std::uint64_t Length() const { return last < first ? 0 : last - first + 1; }

    friend bool operator==(const SampleRange&, const SampleRange&) = default;
};

}  // namespace UI
