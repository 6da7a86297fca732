#pragma once

#include <cstdint>

namespace Audio::Decode {

// The format code of a decoder and of the header probe.
enum class Type : uint32_t {
    WindowsMedia = 1,
    Wav = 2,
    Aiff = 3,
    Mp3 = 4,  // recognised by extension only; no decoder exists
    Rex = 5,
};

}  // namespace Audio::Decode
