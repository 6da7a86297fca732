#pragma once

#include <QvBase/Audio/Decode/Stream.h>
#include <QvBase/Util/SharedPtr.h>
#include <QvBase/Util/String.h>

namespace Audio::Decode {

// The decoder for a file, chosen by its header and, when no header matches, by its extension;
// not yet opened. Empty when no decoder can be made for the file.
SharedPtr<Stream> CreateStream(const String& path);

}  // namespace Audio::Decode
