#pragma once
#include <Tonalith/Analysis/SampleRange.h>
#include <Tonalith/Analysis/ValueRange.h>

#include <cstdint>

namespace UI {

// The view a calculator must produce, as a display describes it. The defaults are
// those of fresh scales, so a default request changes nothing.
struct AudioViewRequest {
    std::uint32_t channels = 0;
    std::uint64_t length = 0;
    SampleRange visible;
    ValueRange ampFull;
    ValueRange ampVisible;
    bool bMel = false;
    ValueRange freqFull;
    ValueRange freqVisible;
};

}  // namespace UI
