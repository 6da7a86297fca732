#include <QvBase/Audio/Decode/Wma/WmaLibrary.h>

#include <Platform/Media/MediaRuntime.h>

namespace Audio::Decode::WMA {

namespace {

// Made before the program's entry point and released by the exit-time teardown, which
// frees the library when it was loaded.
SharedPtr<Util::DynamicLibrary> g_library{nullptr};

}  // namespace

SharedPtr<Util::DynamicLibrary> TakeLibrary() {
    if (!g_library) g_library = SharedPtr<Util::DynamicLibrary>(new Util::DynamicLibrary("WMVCore.DLL"));
    if (!g_library->IsLoaded() && !g_library->Load()) g_library = SharedPtr<Util::DynamicLibrary>(nullptr);
    return g_library;
}

bool ProbeBytes(const uint8_t* bytes, size_t count) {
    const SharedPtr<Util::DynamicLibrary> library = TakeLibrary();
    if (!library) return false;
    const auto validate = reinterpret_cast<Platform::Media::ValidateDataFunction>(
        library->GetFunction(Platform::Media::kValidateDataName));
    if (!validate) return false;
    uint32_t size = uint32_t(count);
    return validate(bytes, &size) >= 0;
}

}  // namespace Audio::Decode::WMA
