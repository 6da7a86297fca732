#pragma once
#include <QvBase/Util/String.h>

#include <cstdint>

namespace Util {

// The runtime's open mode ("rb", "w+b", "rt", ...) for the mode bits of File::Open.
String FileRuntimeMode(std::uint32_t mode);

}  // namespace Util
