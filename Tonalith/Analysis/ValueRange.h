#pragma once

namespace UI {

// A {low, high} pair of floats (Hz or amplitude). Not validated: {1, 0} is the
// customary empty range, and inverted ranges are kept as given.
struct ValueRange {
    float low = 1.0f;
    float high = 0.0f;

    // Exact float comparison, as the view synchronisation needs (NaN never equals).
    friend bool operator==(const ValueRange&, const ValueRange&) = default;
};

// Rows {top, bottom} of one channel's band, top first; {1, 0} means no band.
struct RowBand {
    int top = 1;
    int bottom = 0;

    bool IsEmpty() const { return top > bottom; }
    int Height() const { return bottom - top + 1; }
    friend bool operator==(const RowBand&, const RowBand&) = default;
};

// A row that may be missing.
struct RowResult {
    int row = 0;
    bool valid = false;
    friend bool operator==(const RowResult&, const RowResult&) = default;
};

}  // namespace UI
