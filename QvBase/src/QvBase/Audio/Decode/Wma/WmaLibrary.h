#pragma once
#include <QvBase/Util/DynamicLibrary.h>
#include <QvBase/Util/SharedPtr.h>

#include <cstddef>
#include <cstdint>

namespace Audio::Decode::WMA {

// The process-wide holder of the media runtime "WMVCore.DLL": loaded at the first use,
// tried again at every use while it cannot be loaded, freed at exit. Returns a new
// reference to the library, empty when it is not available.
SharedPtr<Util::DynamicLibrary> TakeLibrary();

// Whether the runtime takes `bytes` for the start of a Windows Media file; false without
// the runtime.
bool ProbeBytes(const uint8_t* bytes, size_t count);

}  // namespace Audio::Decode::WMA
