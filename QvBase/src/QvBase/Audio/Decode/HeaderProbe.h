#pragma once

#include <QvBase/Audio/Decode/Type.h>
#include <QvBase/Util/String.h>

#include <cstddef>
#include <cstdint>
#include <optional>

namespace Audio::Decode {

// The format the first bytes of a file announce, if any.
std::optional<Type> ProbeHeaderBytes(const uint8_t* bytes, size_t count);

// Reads at most the first 2048 bytes of the file at `path` and probes them. A file that
// cannot be read, or holds fewer than 12 bytes, matches nothing.
std::optional<Type> ProbeHeader(const String& path);

// The format the file name's extension suggests (lower-cased); WAV for anything unknown.
Type TypeFromExtension(const String& path);

}  // namespace Audio::Decode
