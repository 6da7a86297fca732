#pragma once
#include <cstddef>
#include <cstdint>

namespace Platform::Text {

// Converts UTF-8 (the system's narrow encoding) to UTF-16.
// Two-call protocol: with `out` null (or `outCapacity` 0) it returns the number of
// UTF-16 units the conversion needs; otherwise it writes at most `outCapacity`
// units and returns how many it wrote, or 0 when they do not fit.
// `inLength` < 0 means `in` is NUL-terminated and the terminator is converted too.
// Bytes that are not UTF-8 read as Utf8.h says.
std::size_t NarrowToUtf16(const char* in, std::ptrdiff_t inLength, char16_t* out, std::size_t outCapacity);

}  // namespace Platform::Text
